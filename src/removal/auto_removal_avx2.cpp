#include "base/simd.h"
#if PRAMVIX_X86_64
#include <immintrin.h>

#include "removal/auto_removal_x86.h"
#include "removal/lanes_avx2.h"

#define PRAMVIX_VECTOR_TARGET PRAMVIX_TARGET_AVX2
#include "removal/auto_removal_vector.h"
#include "removal/auto_removal_avx2_set.h"

namespace pramvix {
namespace auto_removal {
namespace {

using lanes256::LaneBefore;
using lanes256::Load;

// As AutoBlocks, sixteen pixels a block: the same steps on 256-bit lanes.
class WideBlocks {
 public:
  PRAMVIX_TARGET_AVX2 WideBlocks(uint8_t* main, const uint8_t* reference, int edge, bool mark)
      : main_(main), reference_(reference), mark_(mark), bytes_(edge) {
    edgeLanes_ = _mm256_set1_epi16(static_cast<int16_t>(edge));
  }

  // Spans of 64 pixels from pixel 2, each tested near the edge luma as a
  // whole and exactly by halves, then a half where it fits, then the pixels
  // left: as a whole where they are left alone, else in blocks of 16 where
  // they fit. Gives the pixel after them, with the row settled.
  PRAMVIX_TARGET_AVX2 int Spans(int innerEnd) {
    int k = 2;
    for (; k + 64 <= innerEnd; k += 64) {
      FetchAhead(reference_ + 2 * static_cast<ptrdiff_t>(k), 2);
      if (Avx2::NearEdge(reference_, k, 64, bytes_.low, bytes_.high)) {
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
    if (k < innerEnd && LeftAlone(reference_, k, innerEnd, bytes_.edge, Avx2::Untouched)) {
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
    const int busy = Avx2::BusyBlocks(reference_, k, bytes_.edge);
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
  EdgeBytes bytes_;
  __m256i edgeLanes_;
  bool live_ = false;
  int pending_ = 0;
  __m256i raw_ = _mm256_setzero_si256(), v_ = _mm256_setzero_si256(), y_ = _mm256_setzero_si256();
};

int Avx2::Spans(uint8_t* main, const uint8_t*, const uint8_t* reference, int edge, bool mark, int innerEnd) {
  return WideBlocks(main, reference, edge, mark).Spans(innerEnd);
}

}  // namespace
}  // namespace auto_removal

PRAMVIX_TARGET_AVX2 void RemoveLogoAutoRowAvx2(MutableLumaRow main, ConstLumaRow source, ConstLumaRow reference,
                                                LogoPixels pixels) {
  auto_removal::AutoRowPass<auto_removal::Avx2>(main, source, reference, pixels);
}

}  // namespace pramvix
#endif
