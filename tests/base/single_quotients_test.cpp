// The single-precision quotients of the vector corrections: which truncated
// products a·w count as sure, on both instruction sets.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>
#include <vector>

#include "base/ratio_correction.h"
#include "base/single_quotients_x86.h"
#include "support/variant_check.h"

namespace pramvix {
namespace {

TEST(SingleQuotients, TriedOnlyWhereTheirOperandsAreExactAsFloats) {
  // top and base whole numbers within 2^23, a float's gain, and an offset
  // that leaves room for any quotient below 2^24.
  struct Row {
    RatioCorrection c;
    bool fits;
  };
  const double kDoubleOnly = 0.1;  // not a float's value
  const std::vector<Row> rows = {
      {{238, 16, 1.0, -1, 0, 0, 250}, true},
      {{240, 37, 1.0, +1, 0, 16, 238}, true},
      {{8388608, 16, 1.0, -1, 0, 0, 250}, true},
      {{8388609, 16, 1.0, -1, 0, 0, 250}, false},
      {{-8388608, 16, 1.0, -1, 0, 0, 250}, true},
      {{-8388609, 16, 1.0, -1, 0, 0, 250}, false},
      {{238.5, 16, 1.0, -1, 0, 0, 250}, false},
      {{238, 16.5, 1.0, -1, 0, 0, 250}, false},
      {{238, 8388609, 1.0, -1, 0, 0, 250}, false},
      {{238, 16, static_cast<double>(0.1f), -1, 0, 0, 250}, true},
      {{238, 16, kDoubleOnly, -1, 0, 0, 250}, false},
      {{238, 16, 1e300, -1, 0, 0, 250}, false},
      {{238, 16, std::numeric_limits<double>::infinity(), -1, 0, 0, 250}, false},
      {{238, 16, std::nan(""), -1, 0, 0, 250}, false},
      {{238, 16, 1.0, -1, 1 << 30, 0, 250}, true},
      {{238, 16, 1.0, -1, (1 << 30) + 1, 0, 250}, false},
      {{238, 16, 1.0, -1, -(1 << 30), 0, 250}, true},
      {{238, 16, 1.0, -1, -(1 << 30) - 1, 0, 250}, false},
  };
  for (const Row& row : rows) {
    EXPECT_EQ(row.c.SinglePrecisionFits(), row.fits)
        << "top=" << row.c.top << " base=" << row.c.base << " gain=" << row.c.gain << " offset=" << row.c.offset;
  }
}

#if PRAMVIX_X86_64

struct Case {
  float a, w;
  bool sure;
  int32_t q;  // when sure
};

constexpr float kInf = std::numeric_limits<float>::infinity();

// Products that truncate alike however they are rounded count as sure;
// those within about 2^−20 of their size from a whole number other than 0,
// not finite, or from about 2^20 on, do not.
const std::vector<Case> kCases = {
    {5, 0.5f, true, 2},
    {-5, 0.5f, true, -2},
    {1, 0.25f, true, 0},
    {-1, 0.999f, true, 0},         // 0.001 from −1
    {100, 1.00001f, true, 100},    // 0.001 above 100
    {100, 1.0000001f, false, 0},   // 1.2·10^−5 above 100, under 100·2^−20
    {3, 1.0f / 3, false, 0},       // a float's third of 3 is 1 to a rounding
    {1, 1 - 0x1p-22f, false, 0},   // just below 1
    {-1, 1 + 0x1p-22f, false, 0},  // just below −1
    {1, 0x1p-22f, true, 0},        // near 0, which truncation does not see
    {0, 123.0f, true, 0},
    {1, 0, true, 0},
    {1, 1000.5f, true, 1000},
    {-1, 0x1p17f + 0.5f, true, -131072},
    {1, 0x1p20f + 0.5f, false, 0},  // halfway, but 2^20 makes the ends a whole number apart
    {1, 0x1p24f + 2, false, 0},
    {1, 0x1p31f, false, 0},
    {-1, 0x1p31f, false, 0},  // −2^31: the saturated value itself
    {1, kInf, false, 0},
    {0, kInf, false, 0},  // not a number
    {7, std::nanf(""), false, 0},
};

PRAMVIX_TARGET_AVX2 void SureAvx2(const float* a, const float* w, int32_t* q, int32_t* sure) {
  __m256i lanes;
  const __m256i got = SureQuotientsAvx2(_mm256_loadu_ps(a), _mm256_loadu_ps(w), lanes);
  _mm256_storeu_si256(reinterpret_cast<__m256i*>(q), got);
  _mm256_storeu_si256(reinterpret_cast<__m256i*>(sure), lanes);
}

void SureSse2(const float* a, const float* w, int32_t* q, int32_t* sure) {
  for (int half = 0; half < 8; half += 4) {
    __m128i lanes;
    const __m128i got = SureQuotientsSse2(_mm_loadu_ps(a + half), _mm_loadu_ps(w + half), lanes);
    _mm_storeu_si128(reinterpret_cast<__m128i*>(q + half), got);
    _mm_storeu_si128(reinterpret_cast<__m128i*>(sure + half), lanes);
  }
}

// Each set this CPU runs, eight lanes at a time.
TEST(SingleQuotients, SureOnlyWhereTruncationCannotTurn) {
  std::vector<Case> cases = kCases;
  while (cases.size() % 8 != 0) cases.push_back({0, 1, true, 0});
  std::vector<float> a, w;
  for (const Case& c : cases) {
    a.push_back(c.a);
    w.push_back(c.w);
  }
  for (const Simd simd : testing::VectorSimd()) {
    std::vector<int32_t> q(cases.size()), sure(cases.size());
    for (size_t i = 0; i < cases.size(); i += 8) (simd >= Simd::kAvx2 ? SureAvx2 : SureSse2)(&a[i], &w[i], &q[i], &sure[i]);
    for (size_t i = 0; i < cases.size(); ++i) {
      const Case& c = cases[i];
      EXPECT_EQ(sure[i] != 0, c.sure) << SimdName(simd) << ": a=" << c.a << " w=" << c.w;
      if (c.sure && sure[i] != 0) {
        EXPECT_EQ(q[i], c.q) << SimdName(simd) << ": a=" << c.a << " w=" << c.w;
      }
    }
  }
}

#endif

}  // namespace
}  // namespace pramvix
