#pragma once
#include <cstdint>
#include <optional>
#include <vector>

#include "frame_view.h"

namespace pramvix::cli::logo {

// Finds the logo from where luma steps stay put across frames. Works on the
// frame halved in both directions (2x2 means), which is plenty to place the
// region: the fit refines its edges at full size.
//
// Per half-size pixel and per direction it sums the step g (right minus left
// neighbour, below minus above), g squared, and g times the mean luma m of
// the 32x32 block around it. A step that a line in m explains over the frames
// stays put: a white logo gives a steady step (the mean), a grey or coloured
// one a step that flips with the background's brightness (the slope in m).
// Moving content gives steps that neither explains.
class EdgeStatistics {
 public:
  EdgeStatistics(int width, int height);

  void Add(const FrameView& frame);
  int Frames() const { return frames_; }

  // Per half-size pixel: whether it holds a steady step.
  std::vector<uint8_t> SteadyEdges() const;
  int HalfWidth() const { return hw_; }
  int HalfHeight() const { return hh_; }

 private:
  static constexpr int kBlock = 16;  // half-size pixels per block side

  int width_, height_, hw_, hh_, bw_, bh_;
  int frames_ = 0;
  std::vector<uint8_t> half_;
  std::vector<int32_t> blockMean_, counts_;  // this frame's block means
  std::vector<int32_t> rowMeans_;           // the block means along one row
  std::vector<int64_t> sumM_, sumM2_;  // per block, over frames
  // Planes of per-half-size-pixel sums of gx, gx*m, gx^2, gy, gy*m, gy^2.
  std::vector<int32_t> sums_;
};

// The found box in full-size pixels, or nothing when no steady cluster of
// edges stands out. Long straight lines that cross most of the frame (the
// edges of black borders) are not logos and are set aside first.
std::optional<Box> FindLogoBox(const EdgeStatistics& statistics);

}  // namespace pramvix::cli::logo
