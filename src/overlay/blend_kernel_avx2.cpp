#include "base/simd.h"
#if PRAMVIX_X86_64
#include "overlay/blend_kernel_x86.h"

#define PRAMVIX_VECTOR_TARGET PRAMVIX_TARGET_AVX2
#include "overlay/blend_row_vector.h"

namespace pramvix {

namespace {

// BlendedLuma four pixels at a time, for the row's first logo luma b.
class Avx2Blend {
 public:
  PRAMVIX_TARGET_AVX2 explicit Avx2Blend(int b) : b_(_mm256_set1_pd(b)) {}

  // The pixels of eight that `lanes` selects: main luma a and logo luma c
  // in 16-bit lanes.
  PRAMVIX_TARGET_AVX2 __m128i operator()(__m128i a, __m128i c, unsigned lanes) const {
    return EachQuadAvx2(a, c, lanes, *this);
  }

  PRAMVIX_TARGET_AVX2 __m256d operator()(__m256d a, __m256d c) const {
    const __m256d white = _mm256_set1_pd(240.0);
    const __m256d d =
        _mm256_div_pd(_mm256_sub_pd(white, c), _mm256_add_pd(_mm256_sub_pd(c, b_), _mm256_set1_pd(0.001)));
    // d = 0 makes the quotient infinite or not a number, which counts as 0.
    const __m256d k = TruncatedAvx2(_mm256_div_pd(_mm256_sub_pd(white, a), d));
    return _mm256_min_pd(_mm256_max_pd(_mm256_add_pd(a, k), _mm256_set1_pd(16.0)), _mm256_set1_pd(238.0));
  }

 private:
  __m256d b_;
};

}  // namespace

PRAMVIX_TARGET_AVX2 void BlendRowAvx2(uint8_t* main, const uint8_t* logo, int width, int threshold) {
  VectorBlendRow(main, logo, width, threshold, Avx2Blend(width > 0 ? logo[0] : 0));
}

}  // namespace pramvix
#endif
