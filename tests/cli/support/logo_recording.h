#pragma once
// A generated recording whose logo comes and goes on a known schedule.
#include <vector>

#include "picture.h"

namespace pramvix::testing {

// The logo (a semi-transparent white box outline) sits in this region of a
// 96x48 picture; the region given to the detection is a little larger.
struct LogoRecording {
  static constexpr int kWidth = 96, kHeight = 48;
  static constexpr int kX = 40, kY = 8, kRegionWidth = 36, kRegionHeight = 28;

  std::vector<local::Picture> frames;
  local::Picture reference;  // the logo over black
};

// Frame n shows the logo where present[n]; the scene beneath moves slowly and
// has soft texture, so frames without the logo give misses, not nothing.
LogoRecording MakeLogoRecording(const std::vector<bool>& present);

// present for [0, count) except the frames in [from, to).
std::vector<bool> PresenceWithBreak(int count, int from, int to);

}  // namespace pramvix::testing
