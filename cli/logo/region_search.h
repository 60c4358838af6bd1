#pragma once
#include <cstdint>
#include <optional>
#include <vector>

#include "base/simd.h"
#include "frame_view.h"
#include "search_kernels.h"

namespace pramvix::cli::logo {

// Finds the logo from where luma steps stay put across frames. Works on the
// frame in cells of scale x scale pixels (their means): 2 below 3840 pixels
// wide, 4 from there, 8 from 7680, which is plenty to place the region: the
// fit refines its edges at full size.
//
// Per cell and per direction it sums the step g (right minus left neighbour,
// below minus above) and g times the mean luma m of the 32x32 pixel block
// around it, and the squares of both steps. A step that a line in m explains over the frames
// stays put: a white logo gives a steady step (the mean), a grey or coloured
// one a step that flips with the background's brightness (the slope in m).
// Moving content gives steps that neither explains. A step also counts by
// the share of the frames in which it shows, so that a mark that stood still
// through one scene does not pass for the logo. The frames' cells wait
// in a batch of kBatch frames, which are then summed row by row, so that the
// sums (frame-sized) are walked once per batch instead of once per frame.
class EdgeStatistics {
 public:
  static constexpr int kBatch = 8;

  // `simd`: the instruction set for the cells and the step sums (the same
  // results each).
  EdgeStatistics(int width, int height, Simd simd = BestSimd());

  void Add(const FrameView& frame);
  int Frames() const { return frames_; }
  // Halves the weight of the frames so far against the frames to come, which
  // stand for twice as many of the clip's (a pipe's next level).
  void Halve();

  // Add in two parts, so that the first can run on another thread: the
  // frame's cell means into `cells` (CellBytes long: the cells, then the
  // means of their 32x32 pixel blocks; false, and nothing written, for a
  // frame of another size), and those into the sums.
  size_t CellBytes() const { return static_cast<size_t>(cw_) * ch_ + static_cast<size_t>(bw_) * bh_; }
  bool MakeCells(const FrameView& frame, uint8_t* cells) const;
  // The same from a frame of this size whose luma comes in bands of
  // kBandRows rows (the last one shorter), when HasCells.
  static constexpr int kBandRows = 64;
  void MakeCells(const LumaRows& luma, uint8_t* cells) const;
  bool HasCells() const { return cw_ >= 3 && ch_ >= 3; }  // a frame too small has no steps to sum
  // Takes the cells by swapping them with a used buffer of the same size.
  void AddCells(std::vector<uint8_t>& cells);

  // Per cell: 0, or how steady its step is (1 … 255, about the share of
  // the frames that show it).
  std::vector<uint8_t> SteadyEdges();
  int Scale() const { return scale_; }
  int CellsWide() const { return cw_; }
  int CellsHigh() const { return ch_; }

 private:
  void Enter();  // takes the batch's next cells in
  void Flush();  // sums the waiting frames

  int width_, height_, scale_;
  CellRowKernel cellRow_;
  StepSumKernel stepSum_;
  bool vectors_;  // the steady cells two at a time
  int shift_, cw_, ch_, block_, bw_, bh_;
  int frames_ = 0;
  double weight_ = 0;                  // frames_, less what Halve() took
  int waiting_ = 0;                    // frames in the batch
  std::vector<std::vector<uint8_t>> batch_;  // kBatch frames' cells and block means
  std::vector<int16_t> means_;         // kBatch planes of block means, one row per block row, spread over the cells
  std::vector<int64_t> sumM_, sumM2_;  // per block, over frames
  // Planes of per-cell sums of gx, gx*m, gy, gy*m, gx^2 + gy^2, and of the
  // frames in which the step shows.
  std::vector<int32_t> sums_;
};

// The found box in full-size pixels, or nothing when no steady cluster of
// edges stands out. Long straight lines that cross most of the frame (the
// edges of black borders) are not logos and are set aside first.
std::optional<Box> FindLogoBox(EdgeStatistics& statistics);

}  // namespace pramvix::cli::logo
