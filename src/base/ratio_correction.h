#pragma once
// The double-precision step that NoLogo's family and AddLogo share, in the
// form their vector variants work it out. A pixel of luma s over reference
// (or logo) luma x becomes
//   clamp(s + sign·q + offset, low, high),  q = TruncateToInt32((top − s) / ratio(x)),
//   ratio(x) = (top − x) / ((x − base)·gain + 0.001),
// every operation in double precision as the scalar code does it.
#include <cfloat>
#include <cmath>
#include <cstdint>

namespace pramvix {

struct RatioCorrection {
  double top;
  double base;
  double gain;
  int sign;  // +1 or −1
  int32_t offset;
  int low, high;

  double Ratio(int x) const {
    // One operation per statement, as in the scalar kernels: nothing may be
    // fused into a multiply-add.
    const double b = top - static_cast<double>(x);
    const double scaled = (static_cast<double>(x) - base) * gain;
    const double d = scaled + 0.001;
    return b / d;
  }

  // Where |ratio| is at least this, the quotient is finite and so far inside
  // the 32-bit range that truncating it needs no saturation and
  // s + sign·q + offset fits in 32 bits: |q| stays below the room left by the
  // offset, as |top − s| ≤ |top| + 255; the factor covers the rounding of
  // this bound and of the quotient. Infinite where the offset leaves no room.
  double MinimumRatio() const {
    const double room = 2147483648.0 - 256.0 - std::fabs(static_cast<double>(offset));
    return room > 0 ? (std::fabs(top) + 256.0) / room * 1.001 : INFINITY;
  }

  // Whether the vector variants may try quotients in single precision
  // (single_quotients_x86.h): top and base are whole numbers within 2^23, so
  // that top − s, top − x and x − base are exact as floats; gain is a float;
  // and s + sign·q + offset fits in 32 bits for any |q| ≤ 2^24.
  bool SinglePrecisionFits() const {
    const auto whole = [](double v) { return v == std::trunc(v) && std::fabs(v) <= 8388608.0; };
    const bool floatGain = std::isfinite(gain) && std::fabs(gain) <= FLT_MAX &&
                           static_cast<double>(static_cast<float>(gain)) == gain;
    return whole(top) && whole(base) && floatGain && offset >= -(1 << 30) && offset <= (1 << 30);
  }
};

// Whether the vector corrections' single-precision quotients
// (single_quotients_x86.h), with 1 / ratio(x) worked out in single precision
// lane by lane, are sure for every pair of lumas s and x from 0 to 255 but
// x = top, where the ratio is 0. Then those corrections may take them
// untested. Tries 65280 quotients: once per filter, not per frame. False
// where no vector correction tries them.
bool SureButAtTop(const RatioCorrection& c);

// The ratio of a block of eight equal reference lumas, kept while the next
// such block repeats the luma, as blocks inside a logo do. For one row on one
// thread.
class FlatRatio {
 public:
  explicit FlatRatio(const RatioCorrection& c) : c_(c), minimum_(c.MinimumRatio()) {}

  // Whether the ratio of reference luma x, then in Value(), is large enough.
  bool Large(int x) {
    if (x != x_) {
      x_ = x;
      ratio_ = c_.Ratio(x);
      reciprocal_ = 1.0 / ratio_;
      large_ = std::fabs(ratio_) >= minimum_;
    }
    return large_;
  }
  double Value() const { return ratio_; }
  double Reciprocal() const { return reciprocal_; }  // 1 / Value()

 private:
  RatioCorrection c_;
  double minimum_;
  int x_ = -1;
  double ratio_ = 0;
  double reciprocal_ = 0;
  bool large_ = false;
};

}  // namespace pramvix
