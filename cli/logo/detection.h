#pragma once
#include <cstdint>
#include <vector>

#include "frame_view.h"
#include "picture.h"

namespace pramvix::cli::logo {

// A bounded, evenly thinned set of luma crops of sampled frames: when full,
// every second crop is dropped and only every second frame offered after
// that is kept, so the crops spread over the whole stream.
class CropStore {
 public:
  static constexpr size_t kCapacity = 96;

  void Reset(const Box& box);
  void Offer(const FrameView& frame);
  const Box& CropBox() const { return box_; }
  const std::vector<std::vector<uint8_t>>& Crops() const { return crops_; }

 private:
  Box box_;
  std::vector<std::vector<uint8_t>> crops_;
  int step_ = 1;
  int offered_ = 0;
};

// Thresholds for the filters that tell frames with the logo from frames
// without it, and how well they did on the kept crops.
struct DetectionAdvice {
  int logoThreshold = 0;
  int frameThreshold = 0;
  int frames = 0;          // crops looked at
  int withLogo = 0;        // of which seemed to show the logo
  int agreeing = 0;        // crops the filter's test put on the same side
  bool separated = false;  // frames of both kinds were seen
};

// IfLogo's test (three-pixel means in the reference, a step strictly above
// the frame threshold) and IfNoLogo's (single samples, a step at least the
// frame threshold or a dark pixel), each with the frame threshold that best
// splits the crops as a threshold-free score splits them.
DetectionAdvice AdviseIfLogo(const local::Picture& reference, const Box& region, const CropStore& crops);
DetectionAdvice AdviseIfNoLogo(const local::Picture& reference, const Box& region, const CropStore& crops);

}  // namespace pramvix::cli::logo
