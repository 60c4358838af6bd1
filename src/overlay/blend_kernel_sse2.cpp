#include "base/simd.h"
#if PRAMVIX_X86_64
#include "overlay/blend_kernel_x86.h"

#define PRAMVIX_VECTOR_TARGET
#include "overlay/blend_row_vector.h"

namespace pramvix {

namespace {

// BlendedLuma two pixels at a time, for the row's first logo luma b.
class Sse2Blend {
 public:
  explicit Sse2Blend(int b) : b_(_mm_set1_pd(b)) {}

  // The pixels of eight that `lanes` selects: main luma a and logo luma c
  // in 16-bit lanes.
  __m128i operator()(__m128i a, __m128i c, unsigned lanes) const {
    return EachPairSse2(a, c, lanes, *this);
  }

  __m128d operator()(__m128d a, __m128d c) const {
    const __m128d white = _mm_set1_pd(240.0);
    const __m128d d = _mm_div_pd(_mm_sub_pd(white, c), _mm_add_pd(_mm_sub_pd(c, b_), _mm_set1_pd(0.001)));
    // d = 0 makes the quotient infinite or not a number, which counts as 0.
    const __m128d k = TruncatedSse2(_mm_div_pd(_mm_sub_pd(white, a), d));
    return _mm_min_pd(_mm_max_pd(_mm_add_pd(a, k), _mm_set1_pd(16.0)), _mm_set1_pd(238.0));
  }

 private:
  __m128d b_;
};

}  // namespace

void BlendRowSse2(uint8_t* main, const uint8_t* logo, int width, int threshold) {
  VectorBlendRow(main, logo, width, threshold, Sse2Blend(width > 0 ? logo[0] : 0));
}

}  // namespace pramvix
#endif
