// Every conversion of a double to an integer gives its documented result for
// quotients that are not numbers, infinite or beyond the 32-bit range. The
// sanitizer build checks each conversion for undefined behaviour as well.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>

#include "base/arithmetic.h"
#include "overlay/blend_kernel.h"
#include "plugin/arguments.h"

namespace pramvix {
namespace {

constexpr int32_t kMost = std::numeric_limits<int32_t>::max();
constexpr int32_t kLeast = std::numeric_limits<int32_t>::min();
const double kInf = std::numeric_limits<double>::infinity();

// Not finite gives 0; finite values truncate toward zero and saturate.
TEST(UndefinedArithmetic, TruncateToInt32) {
  struct Case { double q; int32_t v; };
  const Case cases[] = {{std::nan(""), 0},
                        {-std::nan(""), 0},
                        {kInf, 0},
                        {-kInf, 0},
                        {-0.0, 0},
                        {std::numeric_limits<double>::denorm_min(), 0},
                        {-0.999, 0},
                        {2147483646.999, 2147483646},
                        {2147483647.0, kMost},
                        {2147483647.5, kMost},
                        {2147483648.0, kMost},
                        {1e300, kMost},
                        {std::numeric_limits<double>::max(), kMost},
                        {-2147483647.999, -2147483647},
                        {-2147483648.0, kLeast},
                        {-2147483648.999, kLeast},
                        {-2147483649.0, kLeast},
                        {-std::numeric_limits<double>::max(), kLeast}};
  for (const Case& c : cases) EXPECT_EQ(TruncateToInt32(c.q), c.v) << "q = " << c.q;
}

// A float argument read as an integer: truncated toward zero, saturated, and
// infinities saturate too; not a number is 0. An integer is taken as it is.
TEST(UndefinedArithmetic, IntFromFloatArg) {
  const float inf = std::numeric_limits<float>::infinity();
  struct Case { float f; int v; };
  const Case cases[] = {{std::nanf(""), 0},      {inf, kMost},          {-inf, kLeast},
                        {3e9f, kMost},           {-3e9f, kLeast},       {2147483520.0f, 2147483520},
                        {2147483648.0f, kMost},  {-2147483648.0f, kLeast}, {-0.9f, 0},
                        {1.9f, 1},               {std::numeric_limits<float>::max(), kMost}};
  for (const Case& c : cases) {
    EXPECT_EQ(IntFromFloatArg(AVSValue(std::vector<AVSValue>{AVSValue(c.f)}), 0), c.v) << "f = " << c.f;
  }
  EXPECT_EQ(IntFromFloatArg(AVSValue(std::vector<AVSValue>{AVSValue(kLeast)}), 0), kLeast);
}

// Every byte triple: the shift's quotient is infinite only where the logo is
// at 240 (no shift), and otherwise stays far inside the 32-bit range; the
// result is always clamped to 16…238.
TEST(UndefinedArithmetic, BlendedLumaOverEveryByteTriple) {
  int wrong = 0;
  for (int a = 0; a < 256; ++a) {
    for (int b = 0; b < 256; ++b) {
      for (int c = 0; c < 256; ++c) {
        const int v = BlendedLuma(a, b, c);
        const int unshifted = a < 16 ? 16 : (a > 238 ? 238 : a);
        wrong += v < 16 || v > 238 || (c == 240 && v != unshifted);
      }
    }
  }
  EXPECT_EQ(wrong, 0);
  // The largest shifts: a logo one step from 240 against the farthest reference.
  EXPECT_EQ(BlendedLuma(0, 0, 239), 238);     // 240 / (1 / 239.001) = 57360
  EXPECT_EQ(BlendedLuma(0, 0, 241), 16);      // 240 / (−1 / 241.001) = −57840
  EXPECT_EQ(BlendedLuma(0, 255, 239), 16);    // 240 / (1 / −15.999) = −3839
  EXPECT_EQ(BlendedLuma(255, 0, 241), 238);   // −15 / (−1 / 241.001) = 3615
}

}  // namespace
}  // namespace pramvix
