#pragma once
// The logo's timeline: one small record per frame, and the frame rate that
// turns frame numbers into times.
#include <cstdint>
#include <string>
#include <vector>

namespace pramvix::cli::scan {

struct FrameRecord {
  int64_t hits = 0;
  int64_t misses = 0;
  bool present = false;  // the detection's decision: the logo is on screen
};

struct Timeline {
  unsigned fpsNumerator = 25;
  unsigned fpsDenominator = 1;
  std::vector<FrameRecord> frames;

  // The time at which frame n starts, in seconds (n may be the frame count: the end).
  double SecondsAt(double n) const { return n * fpsDenominator / fpsNumerator; }
  // Frames in `seconds`, rounded to the nearest; at least 0.
  int FramesIn(double seconds) const;
};

// "h:mm:ss.mmm", milliseconds rounded; negative times read as 0.
std::string ClockTime(double seconds);

}  // namespace pramvix::cli::scan
