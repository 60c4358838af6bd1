#include "base/simd.h"
#if PRAMVIX_X86_64
#include <immintrin.h>

#include "removal/auto_removal_x86.h"
#include "removal/lanes_avx2.h"

#define PRAMVIX_VECTOR_TARGET PRAMVIX_TARGET_AVX2
#include "removal/auto_removal_vector.h"

namespace pramvix {
namespace auto_removal {
namespace {

PRAMVIX_TARGET_AVX2 inline __m256i ThresholdApart256(__m256i a, __m256i b) {
  const __m256i distance = _mm256_or_si256(_mm256_subs_epu8(a, b), _mm256_subs_epu8(b, a));
  return _mm256_subs_epu8(distance, _mm256_set1_epi8(kAutoThreshold - 1));
}

// Eight lanes of floats at a time.
struct Avx2 {
  static int Spans(uint8_t* main, const uint8_t* reference, int edge, bool mark, int innerEnd);

  // As NearEdgeSse2 over pixels k … k + n − 1 (n 32 or 64), sixteen pixels a
  // load; reads reference pixels k − 1 … k + n.
  PRAMVIX_TARGET_AVX2 static bool NearEdge(const uint8_t* reference, int k, int n, __m128i low, __m128i high) {
    const uint8_t* at = reference + 2 * static_cast<ptrdiff_t>(k);
    const __m256i lows = _mm256_broadcastsi128_si256(low), highs = _mm256_broadcastsi128_si256(high);
    const auto outside = [&](int offset) PRAMVIX_TARGET_AVX2 {
      const __m256i bytes = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(at + offset));
      return _mm256_or_si256(_mm256_subs_epu8(bytes, highs), _mm256_subs_epu8(lows, bytes));
    };
    // Bytes of pixels k − 1 … k + n, the last load overlapping the one before.
    __m256i any = _mm256_or_si256(outside(-2), outside(2 * n - 30));
    for (int offset = 30; offset < 2 * n - 30; offset += 32) any = _mm256_or_si256(any, outside(offset));
    any = _mm256_and_si256(any, _mm256_set1_epi16(0x00FF));  // chroma does not count
    return _mm256_testz_si256(any, any) != 0;
  }

  // Which of the blocks k … k + 15 (bit 0) and k + 16 … k + 31 (bit 1) have
  // something to do, by the tests of BusyBlocksSse2; reads reference pixels
  // k − 1 … k + 32.
  PRAMVIX_TARGET_AVX2 static int BusyBlocks(const uint8_t* reference, int k, __m128i edge) {
    const uint8_t* at = reference + 2 * static_cast<ptrdiff_t>(k);
    const __m256i edges = _mm256_broadcastsi128_si256(edge);
    const auto busy = [&](int offset) PRAMVIX_TARGET_AVX2 {
      const __m256i luma = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(at + offset));
      const __m256i left = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(at + offset - 2));
      const __m256i right = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(at + offset + 2));
      const __m256i work = _mm256_or_si256(ThresholdApart256(luma, edges), ThresholdApart256(left, right));
      return _mm256_testz_si256(work, _mm256_set1_epi16(0x00FF)) == 0;  // chroma does not count
    };
    return static_cast<int>(busy(0)) | static_cast<int>(busy(32)) << 1;
  }

  // As UntouchedSse2, sixteen pixels a load.
  PRAMVIX_TARGET_AVX2 static bool Untouched(const uint8_t* reference, int k, __m128i edge) {
    return BusyBlocks(reference, k, edge) == 0;
  }

  // The correction of all eight lanes.
  PRAMVIX_TARGET_AVX2 static __m128i Correct(__m128i s, __m128i L) {
    const __m256i v = Quotients(_mm256_cvtepu16_epi32(s), _mm256_cvtepu16_epi32(L));
    return Limited(_mm_packs_epi32(_mm256_castsi256_si128(v), _mm256_extracti128_si256(v, 1)));
  }

  // s − q for eight pixels in 32-bit lanes, s and L in the low half of each
  // 32-bit lane.
  PRAMVIX_TARGET_AVX2 static __m256i Quotients(__m256i s32, __m256i L32) {
    const __m256 t = _mm256_mul_ps(_mm256_sub_ps(_mm256_set1_ps(kFull), _mm256_cvtepi32_ps(s32)), Ratios(L32));
    const __m256i q =
        _mm256_andnot_si256(_mm256_cmpeq_epi32(L32, _mm256_set1_epi32(kFullLuma)), _mm256_cvttps_epi32(t));
    return _mm256_sub_epi32(s32, q);
  }

  // d / b of eight reference lumas, without a division (see Reciprocal).
  PRAMVIX_TARGET_AVX2 static __m256 Ratios(__m256i L32) {
    const __m256 luma = _mm256_cvtepi32_ps(L32);
    const __m256 b = _mm256_sub_ps(_mm256_set1_ps(kFull), luma);
    const __m256 d = _mm256_add_ps(_mm256_sub_ps(luma, _mm256_set1_ps(kBlack)), _mm256_set1_ps(0.001f));
    const __m256 e = _mm256_rcp_ps(b);  // refined as NewtonStep does
    return _mm256_mul_ps(d, _mm256_mul_ps(e, _mm256_sub_ps(_mm256_set1_ps(2.0f), _mm256_mul_ps(b, e))));
  }
};

using lanes256::LaneBefore;
using lanes256::Load;

// As AutoBlocks, sixteen pixels a block: the same steps on 256-bit lanes.
class WideBlocks {
 public:
  PRAMVIX_TARGET_AVX2 WideBlocks(uint8_t* main, const uint8_t* reference, int edge, bool mark)
      : main_(main), reference_(reference), mark_(mark) {
    edgeBytes_ = _mm_set1_epi8(static_cast<char>(edge));
    edgeLanes_ = _mm256_set1_epi16(static_cast<int16_t>(edge));
    low_ = _mm_set1_epi8(static_cast<char>(edge > 2 ? edge - 2 : 0));
    high_ = _mm_set1_epi8(static_cast<char>(edge < 253 ? edge + 2 : 255));
  }

  // Spans of 64 pixels from pixel 2, each tested near the edge luma as a
  // whole and exactly by halves, then a half where it fits, then the pixels
  // left: as a whole where they are left alone, else in blocks of 16 where
  // they fit. Gives the pixel after them, with the row settled.
  PRAMVIX_TARGET_AVX2 int Spans(int innerEnd) {
    int k = 2;
    for (; k + 64 <= innerEnd; k += 64) {
      FetchAhead(reference_ + 2 * static_cast<ptrdiff_t>(k), 2);
      if (Avx2::NearEdge(reference_, k, 64, low_, high_)) {
        Settle();  // step k softens nothing, so the pending pixel is final
        continue;
      }
      Half(k);
      Half(k + 32);
    }
    if (k + 32 <= innerEnd) {
      Half(k);
      k += 32;
    }
    if (k < innerEnd && LeftAlone(reference_, k, innerEnd, edgeBytes_, Avx2::Untouched)) {
      Settle();
      return innerEnd;
    }
    for (; k + 16 <= innerEnd; k += 16) Block(k);
    Settle();
    return k;
  }

 private:
  // Pixels k … k + 31 as two blocks, each left as it is where it has nothing
  // to do: a blob's rim then costs the blocks it touches, not the whole half.
  PRAMVIX_TARGET_AVX2 void Half(int k) {
    const int busy = Avx2::BusyBlocks(reference_, k, edgeBytes_);
    for (int block = 0; block < 2; ++block) {
      if ((busy >> block & 1) != 0) {
        Block(k + 16 * block);
      } else {
        Settle();  // step k + 16·block softens nothing, so the pending pixel is final
      }
    }
  }

  // Pixels k … k + 15, k ≥ 2, after the steps before k; reads reference
  // pixels k − 1 … k + 16 and main pixels k − 2 … k + 15.
  PRAMVIX_TARGET_AVX2 void Block(int k) {
    if (!live_) Resume(k);
    const __m256i below = _mm256_set1_epi16(kAutoThreshold - 1);
    const __m256i lumaMask = _mm256_set1_epi16(0x00FF);
    uint8_t* at = main_ + 2 * static_cast<ptrdiff_t>(k);
    const uint8_t* reference = reference_ + 2 * static_cast<ptrdiff_t>(k);
    const __m256i raw = Load(at);
    const __m256i L = _mm256_and_si256(Load(reference), lumaMask);
    const __m256i left = _mm256_and_si256(Load(reference - 2), lumaMask);
    const __m256i right = _mm256_and_si256(Load(reference + 2), lumaMask);
    const __m256i logo = _mm256_cmpgt_epi16(_mm256_abs_epi16(_mm256_sub_epi16(L, edgeLanes_)), below);
    const __m256i soften = _mm256_cmpgt_epi16(_mm256_abs_epi16(_mm256_sub_epi16(left, right)), below);
    const __m256i s = _mm256_and_si256(raw, lumaMask);
    const __m256i v = _mm256_blendv_epi8(s, mark_ ? _mm256_xor_si256(s, lumaMask) : Correct(s, L), logo);
    const __m256i own = LaneBefore(v_, v);  // pixels k − 1 … k + 14
    const __m256i y = _mm256_movemask_epi8(soften) != 0 ? Softened(own, v, soften) : own;
    const __m256i chroma = _mm256_andnot_si256(lumaMask, LaneBefore(raw_, raw));
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(at - 2), _mm256_or_si256(chroma, y));
    raw_ = raw;
    v_ = v;
    y_ = y;
    pending_ = k + 15;
  }

  // Sixteen lanes: the 32-bit halves unpack and pack back within each 128-bit
  // half, so the lanes come back in order.
  PRAMVIX_TARGET_AVX2 static __m256i Correct(__m256i s, __m256i L) {
    const __m256i zero = _mm256_setzero_si256();
    const __m256i low = Avx2::Quotients(_mm256_unpacklo_epi16(s, zero), _mm256_unpacklo_epi16(L, zero));
    const __m256i high = Avx2::Quotients(_mm256_unpackhi_epi16(s, zero), _mm256_unpackhi_epi16(L, zero));
    const __m256i packed = _mm256_packs_epi32(low, high);
    return _mm256_min_epi16(_mm256_max_epi16(packed, zero), _mm256_set1_epi16(250));
  }

  // As the 128-bit Softened, against the final luma of pixel k − 2 in y_.
  // Only a run of softened lanes from lane 0 on needs that luma; others are
  // worked out without it, so blocks that do not soften their first lane do
  // not wait for the block before.
  PRAMVIX_TARGET_AVX2 __m256i Softened(__m256i own, __m256i right, __m256i soften) const {
    const __m256i before = (_mm256_movemask_epi8(soften) & 1) != 0 ? y_ : _mm256_setzero_si256();
    return lanes256::Softened(own, _mm256_add_epi16(own, right), soften, before);
  }

  PRAMVIX_TARGET_AVX2 void Settle() {
    if (!live_) return;
    main_[2 * static_cast<ptrdiff_t>(pending_)] = static_cast<uint8_t>(_mm256_extract_epi16(v_, 15));
    live_ = false;
  }

  PRAMVIX_TARGET_AVX2 void Resume(int k) {
    const uint8_t* at = main_ + 2 * static_cast<ptrdiff_t>(k);
    raw_ = _mm256_insert_epi16(_mm256_setzero_si256(), static_cast<int16_t>(at[-2] | at[-1] << 8), 15);
    v_ = _mm256_insert_epi16(_mm256_setzero_si256(), at[-2], 15);
    y_ = _mm256_insert_epi16(_mm256_setzero_si256(), at[-4], 15);
    live_ = true;
  }

  uint8_t* main_;
  const uint8_t* reference_;
  bool mark_;
  __m128i edgeBytes_, low_, high_;
  __m256i edgeLanes_;
  bool live_ = false;
  int pending_ = 0;
  __m256i raw_ = _mm256_setzero_si256(), v_ = _mm256_setzero_si256(), y_ = _mm256_setzero_si256();
};

int Avx2::Spans(uint8_t* main, const uint8_t* reference, int edge, bool mark, int innerEnd) {
  return WideBlocks(main, reference, edge, mark).Spans(innerEnd);
}

}  // namespace
}  // namespace auto_removal

PRAMVIX_TARGET_AVX2 void RemoveLogoAutoRowAvx2(MutableLumaRow main, ConstLumaRow reference, LogoPixels pixels) {
  auto_removal::AutoRowPass<auto_removal::Avx2>(main, reference, pixels);
}

}  // namespace pramvix
#endif
