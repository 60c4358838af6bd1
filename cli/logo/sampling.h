#pragma once
#include <cstdint>
#include <memory>
#include <vector>

#include "frame_view.h"
#include "y4m.h"

namespace pramvix::cli::logo {

// Step to the next frame in the level schedule, after `taken` frames.
int LevelStride(int taken, int cap);

// Which frames the analysis looks at.
struct SampleRule {
  int first = 0;
  int last = -1;     // included; -1: to the end
  int cap = 2000;    // at most this many frames are taken
  // A file's frames are read by parts: the luma a band at a time for the
  // search, and only the rows the fits ask for whole (FrameSampler::ByParts).
  // False: whole frames, as from a pipe.
  bool byParts = true;
};

// The largest cap: the analysis keeps 32-bit sums of squared steps per pixel.
constexpr int kMaxSampleCap = 4000;

// Reads each frame to analyse once and hands it out. When the length of the
// range is known (a file, or --frames A:B) every k-th frame is taken with k
// chosen so that at most `cap` frames spread over the whole range. A file
// visits them in kPasses interleaved passes (every kPasses-th taken frame,
// then the ones between, ...), so that the first few dozen frames handed out
// already span the whole clip and a logo that shows only late is found
// early; it reads each frame at its offset, by parts (SampleRule::byParts).
// A pipe is read forward, through the frames not taken. When the length is not known (a pipe to
// its end) frames are taken in 16 levels of cap/16 frames each, the first
// level at every frame, each next one at twice the step of the last: cap
// 2000 covers about 8 million frames, early parts more densely than late
// ones (the search weighs each frame by its step: Weight); what follows
// that is not looked at.
class FrameSampler {
 public:
  FrameSampler(std::unique_ptr<Y4MReader> reader, SampleRule rule);

  static constexpr int kPasses = 8;

  // Moves to the next frame to analyse; false when there is none.
  bool Next();
  // Whether frames come out of order, in interleaved passes (a file).
  bool Interleaved() const { return interleaved_; }
  FrameView Frame() const { return FrameView::OfPlanar(planar_.data(), width_, height_); }
  // Hands the current frame's bytes over by swapping them with `buffer`,
  // which becomes the buffer the next frame is read into (no copy).
  void SwapFrame(std::vector<uint8_t>& buffer);
  // Whether the frames are read by parts (a file, SampleRule::byParts):
  // then Next() only checks the frame, and its bytes are read as asked,
  // from any thread: ReadLuma reads rows [top, top + rows) of frame
  // `number`'s luma into `out`, row after row; ReadRows the luma and chroma
  // of rows [top, bottom) into `planar`, a whole frame's bytes as Frame()
  // views them, at their places.
  bool ByParts() const { return byParts_; }
  void ReadLuma(int number, int top, int rows, uint8_t* out) const { reader_->ReadLumaAt(number, top, rows, out); }
  void ReadRows(int number, int top, int bottom, uint8_t* planar) const;
  int Number() const { return number_; }   // frame number in the clip
  int Taken() const { return taken_; }     // frames handed out so far
  int Width() const { return width_; }
  int Height() const { return height_; }
  const Y4MFormat& Format() const { return reader_->Format(); }
  // How many frames of the clip the frame handed out as number `taken`
  // (0, 1, ...) stands for: its step in the level schedule of a pipe of
  // unknown length, else 1. Fixed at construction, so any thread may ask.
  int Weight(int taken) const { return knownLength_ ? 1 : LevelStride(taken, rule_.cap); }
  // Of the frames read in order (from a pipe, frames passed over included),
  // how many, and how many repeat the frame before them byte for byte in
  // three rows of luma: ffmpeg decoding key frames only repeats each until
  // the next unless told not to, which costs the reading every frame again.
  int ReadInOrder() const { return readInOrder_; }
  int Repeats() const { return repeats_; }

 private:
  int NextWanted() const;
  bool ReadNextInOrder();  // the reader's next frame, its repeating checked
  int InterleavedFrame(int taken) const;  // the frame handed out as number `taken`

  std::unique_ptr<Y4MReader> reader_;
  SampleRule rule_;
  int width_;
  int height_;
  std::vector<uint8_t> planar_;
  int stride_ = 1;       // known length: fixed step
  bool knownLength_ = false;
  bool interleaved_ = false;
  bool byParts_ = false;
  int count_ = 0;        // interleaved: frames to take
  int number_ = -1;
  int taken_ = 0;
  std::vector<uint8_t> probe_;  // three rows of the last frame read in order
  int readInOrder_ = 0;
  int repeats_ = 0;
};

}  // namespace pramvix::cli::logo
