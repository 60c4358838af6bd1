#include "scan/timeline.h"

#include <cmath>
#include <cstdio>

namespace pramvix::cli::scan {

int Timeline::FramesIn(double seconds) const {
  const double frames = std::round(seconds * fpsNumerator / fpsDenominator);
  if (!(frames > 0)) return 0;  // NaN too
  return frames > 2e9 ? 2000000000 : static_cast<int>(frames);
}

std::string ClockTime(double seconds) {
  const double ms = std::round(seconds * 1000);
  // Up to ten thousand hours; beyond that nothing is a video's length.
  const long long total = !(ms > 0) ? 0 : (ms > 3.6e10 ? 36000000000LL : static_cast<long long>(ms));
  char text[48];
  std::snprintf(text, sizeof text, "%lld:%02lld:%02lld.%03lld", total / 3600000, total / 60000 % 60,
                total / 1000 % 60, total % 1000);
  return text;
}

}  // namespace pramvix::cli::scan
