#include "cli/support/logo_recording.h"

#include <cmath>

namespace pramvix::testing {

namespace {

using R = LogoRecording;

// The logo: a three-pixel outline of a box, inset in the region (three, so
// IfLogo's averaged edges see more hits than misses in every row).
bool IsLogo(int p, int r) {
  const int left = R::kX + 4, right = R::kX + 27, top = R::kY + 4, bottom = R::kY + 19;
  if (p < left || p > right || r < top || r > bottom) return false;
  return p < left + 3 || p > right - 3 || r < top + 3 || r > bottom - 3;
}

}  // namespace

LogoRecording MakeLogoRecording(const std::vector<bool>& present) {
  LogoRecording recording;
  recording.reference = local::Picture::YUY2(R::kWidth, R::kHeight, 16);
  for (int r = 0; r < R::kHeight; ++r) {
    for (int p = 0; p < R::kWidth; ++p) {
      if (IsLogo(p, r)) recording.reference.Luma(r, p) = 235;
    }
  }
  for (size_t n = 0; n < present.size(); ++n) {
    local::Picture frame = local::Picture::YUY2(R::kWidth, R::kHeight);
    for (int r = 0; r < R::kHeight; ++r) {
      for (int p = 0; p < R::kWidth; ++p) {
        const double scene = 90 + 40 * std::sin((p + 0.5 * r + 1.5 * static_cast<double>(n)) * 0.07) +
                             3 * std::sin(p * 1.3 + r * 0.7);
        const double value = present[n] && IsLogo(p, r) ? scene * 0.4 + 235 * 0.6 : scene;
        frame.Luma(r, p) = static_cast<uint8_t>(std::lround(value));
      }
    }
    recording.frames.push_back(std::move(frame));
  }
  return recording;
}

std::vector<bool> PresenceWithBreak(int count, int from, int to) {
  std::vector<bool> present(static_cast<size_t>(count), true);
  for (int n = from; n < to && n < count; ++n) present[static_cast<size_t>(n)] = false;
  return present;
}

}  // namespace pramvix::testing
