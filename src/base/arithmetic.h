#pragma once
#include <cmath>
#include <cstdint>
#include <limits>

namespace pramvix {

// Truncates toward zero to a 32-bit integer. A quotient that is infinite or
// not a number gives 0; a finite one outside the 32-bit range saturates.
inline int32_t TruncateToInt32(double q) {
  if (!std::isfinite(q)) return 0;
  if (q >= 2147483647.0) return std::numeric_limits<int32_t>::max();
  if (q <= -2147483648.0) return std::numeric_limits<int32_t>::min();
  return static_cast<int32_t>(q);
}

inline int ClampInt64(int64_t v, int lo, int hi) {
  return v < lo ? lo : (v > hi ? hi : static_cast<int>(v));
}

inline int Abs(int v) { return v < 0 ? -v : v; }  // for differences of bytes only

// |v| for any 32-bit v: the most negative number, whose magnitude does not
// fit, is taken as the largest.
inline int SaturatingAbs(int v) {
  if (v == std::numeric_limits<int>::min()) return std::numeric_limits<int>::max();
  return v < 0 ? -v : v;
}

}  // namespace pramvix
