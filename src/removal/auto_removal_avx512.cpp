#include "base/simd.h"
#if PRAMVIX_X86_64
// GCC 12's AVX-512 intrinsics start some results from a deliberately undefined
// register, which its flow analysis reports as uninitialised.
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"
#endif
#include <immintrin.h>

#include "removal/auto_removal_x86.h"

#define PRAMVIX_VECTOR_TARGET PRAMVIX_TARGET_AVX512
#include "removal/auto_removal_vector.h"
#include "removal/auto_removal_avx2_set.h"

namespace pramvix {
namespace auto_removal {
namespace {

#define PRAMVIX_TARGET PRAMVIX_TARGET_AVX512

PRAMVIX_TARGET inline __m512i Load512(const uint8_t* p) { return _mm512_loadu_si512(p); }

// Lanes whose lumas in a and b lie a threshold or more apart (`below` holds
// the threshold less one).
PRAMVIX_TARGET inline __mmask32 Apart(__m512i a, __m512i b, __m512i below) {
  return _mm512_cmpgt_epi16_mask(_mm512_abs_epi16(_mm512_sub_epi16(a, b)), below);
}

// Where each pixel's lane lies after packing the even and odd pixels' 32-bit
// lanes: pixel 8j + 2i of 128-bit part j in lane 8j + i, pixel 8j + 2i + 1 in
// lane 8j + 4 + i.
alignas(64) constexpr int16_t kUnpacked[32] = {0,  4,  1,  5,  2,  6,  3,  7,  8,  12, 9,  13, 10, 14, 11, 15,
                                               16, 20, 17, 21, 18, 22, 19, 23, 24, 28, 25, 29, 26, 30, 27, 31};

// For _mm512_permutex2var_epi16(before, kLaneBefore, lanes): lane 0 from the
// last lane of `before`, lane j from lane j − 1 of `lanes`.
alignas(64) constexpr int16_t kLaneBefore[32] = {31, 32, 33, 34, 35, 36, 37, 38, 39, 40, 41, 42, 43, 44, 45, 46,
                                                 47, 48, 49, 50, 51, 52, 53, 54, 55, 56, 57, 58, 59, 60, 61, 62};

// The pass's constants, made once a row rather than once a block.
struct Constants {
  PRAMVIX_TARGET Constants()
      : full(_mm512_set1_ps(kFull)),
        black(_mm512_set1_ps(kBlack)),
        tiny(_mm512_set1_ps(0.001f)),
        fullLuma(_mm512_set1_epi32(kFullLuma)),
        lowHalf(_mm512_set1_epi32(0xFFFF)),
        unpacked(_mm512_loadu_si512(kUnpacked)),
        laneBefore(_mm512_loadu_si512(kLaneBefore)),
        limit(_mm512_set1_epi16(250)),
        third(_mm512_set1_epi16(21846)),
        lumaMask(_mm512_set1_epi16(0x00FF)),
        below(_mm512_set1_epi16(kAutoThreshold - 1)) {}
  __m512 full, black, tiny;
  __m512i fullLuma, lowHalf, unpacked, laneBefore, limit, third, lumaMask, below;
};

// s − q for sixteen pixels in 32-bit lanes (see the correction of the
// narrower sets). Here d / b is one division, rounded once, which is closer
// than the estimate and its step and so truncates alike; measured, it also
// costs less here than the estimate and the three operations of the step.
// Where b is 0 the lane is set apart before dividing (a masked lane raises no
// floating-point exception): its ratio is 0, so q is 0.
PRAMVIX_TARGET inline __m512i Quotients16(__m512i s32, __m512i L32, const Constants& c) {
  const __m512 luma = _mm512_cvtepi32_ps(L32);
  const __m512 b = _mm512_sub_ps(c.full, luma);
  const __m512 d = _mm512_add_ps(_mm512_sub_ps(luma, c.black), c.tiny);
  const __mmask16 finite = _mm512_cmpneq_epi32_mask(L32, c.fullLuma);
  const __m512 ratio = _mm512_maskz_div_ps(finite, d, b);
  const __m512 t = _mm512_mul_ps(_mm512_sub_ps(c.full, _mm512_cvtepi32_ps(s32)), ratio);
  return _mm512_sub_epi32(s32, _mm512_cvttps_epi32(t));
}

// The correction of 32 lanes of lumas (each in the low byte of its 16-bit
// lane): pixels 2i and 2i + 1 are the halves of 32-bit lane i.
PRAMVIX_TARGET inline __m512i Correct32(__m512i s, __m512i L, const Constants& c) {
  const __m512i even = Quotients16(_mm512_and_si512(s, c.lowHalf), _mm512_and_si512(L, c.lowHalf), c);
  const __m512i odd = Quotients16(_mm512_srli_epi32(s, 16), _mm512_srli_epi32(L, 16), c);
  // Packing saturates each s − q to 16 bits, which keeps its side of the
  // limits; it leaves each 128-bit part's four even lanes, then its four odd
  // ones, which one permutation puts back in order.
  const __m512i packed = _mm512_permutexvar_epi16(c.unpacked, _mm512_packs_epi32(even, odd));
  return _mm512_min_epi16(_mm512_max_epi16(packed, _mm512_setzero_si512()), c.limit);
}

// floor(n / 3) for 16-bit lanes n ≤ 765 (see lanes256::DivideBy3).
PRAMVIX_TARGET inline __m512i DivideBy3(__m512i n, __m512i third) { return _mm512_mulhi_epu16(n, third); }

// AVX-512: 32 pixels a block, the lane tests in mask registers.
struct Avx512 : Avx2 {
  static constexpr bool kFromSource = true;
  static int Spans(uint8_t* main, const uint8_t* source, const uint8_t* reference, int edge, bool mark, int innerEnd);
};

// As WideBlocks of the AVX2 pass, 32 pixels a block, reading the row's main
// pixels from `source` and writing them to `main`: where the two differ, every
// span is written, the spans left alone as copies, so that a shared frame is
// copied by the pass itself instead of whole beforehand. Pixels 0 and 1 must
// be in main already.
class Blocks512 {
 public:
  PRAMVIX_TARGET Blocks512(uint8_t* main, const uint8_t* source, const uint8_t* reference, int edge, bool mark)
      : main_(main), source_(source), reference_(reference), mark_(mark), bytes_(edge) {
    edgeLanes_ = _mm512_set1_epi16(static_cast<int16_t>(edge));
  }

  PRAMVIX_TARGET int Spans(int innerEnd) {
    int k = 2;
    // Inside a logo one busy span follows another: the quick test is left
    // out after a span with work, where it would fail.
    bool busy = false;
    for (; k + 64 <= innerEnd; k += 64) {
      FetchAhead(reference_ + 2 * static_cast<ptrdiff_t>(k), 2);
      if (!busy && Avx2::NearEdge(reference_, k, 64, bytes_.low, bytes_.high)) {
        Settle();
        Copy(k);
        Copy(k + 32);
        continue;
      }
      busy = Test(k) | Test(k + 32);
    }
    if (k + 32 <= innerEnd) {
      Test(k);
      k += 32;
    }
    Settle();
    return k;
  }

 private:
  // Whether the block had work.
  PRAMVIX_TARGET bool Test(int k) {
    const uint8_t* reference = reference_ + 2 * static_cast<ptrdiff_t>(k);
    const __m512i lumaMask = c_.lumaMask;
    const __m512i L = _mm512_and_si512(Load512(reference), lumaMask);
    const __m512i left = _mm512_and_si512(Load512(reference - 2), lumaMask);
    const __m512i right = _mm512_and_si512(Load512(reference + 2), lumaMask);
    const __mmask32 logo = Apart(L, edgeLanes_, c_.below);
    const __mmask32 soften = Apart(left, right, c_.below);
    if ((logo | soften) == 0) {
      Settle();
      Copy(k);
      return false;
    }
    Block(k, L, logo, soften);
    return true;
  }

  PRAMVIX_TARGET void Block(int k, __m512i L, __mmask32 logo, __mmask32 soften) {
    if (!live_) Resume(k);
    const __m512i lumaMask = c_.lumaMask, index = c_.laneBefore;
    uint8_t* at = main_ + 2 * static_cast<ptrdiff_t>(k);
    const __m512i raw = Load512(source_ + 2 * static_cast<ptrdiff_t>(k));
    const __m512i s = _mm512_and_si512(raw, lumaMask);
    const __m512i v = _mm512_mask_mov_epi16(s, logo, mark_ ? _mm512_xor_si512(s, lumaMask) : Correct32(s, L, c_));
    const __m512i own = _mm512_permutex2var_epi16(v_, index, v);  // pixels k − 1 … k + 30
    __m512i y = own;
    if (soften != 0) {
      const __m512i before = (soften & 1) != 0 ? y_ : _mm512_setzero_si512();
      const __m512i sums = _mm512_add_epi16(own, v);
      const auto round = [&](__m512i x) PRAMVIX_TARGET {
        return _mm512_mask_mov_epi16(own, soften, DivideBy3(_mm512_add_epi16(_mm512_permutex2var_epi16(before, index, x), sums), c_.third));
      };
      // After i rounds every run of softened lanes is final in its first i
      // lanes (the lane before a run is final from the start): three rounds
      // finish runs of up to three, the most common, and one more round per
      // lane finishes a longer run.
      y = round(round(round(own)));
      for (uint32_t longer = soften & soften >> 1 & soften >> 2 & soften >> 3; longer != 0; longer &= longer >> 1) {
        y = round(y);
      }
    }
    const __m512i chroma = _mm512_andnot_si512(lumaMask, _mm512_permutex2var_epi16(raw_, index, raw));
    _mm512_storeu_si512(at - 2, _mm512_or_si512(chroma, y));
    raw_ = raw;
    v_ = v;
    y_ = y;
    pending_ = k + 31;
  }

  PRAMVIX_TARGET void Settle() {
    if (!live_) return;
    main_[2 * static_cast<ptrdiff_t>(pending_)] =
        static_cast<uint8_t>(_mm_extract_epi16(_mm512_extracti32x4_epi32(v_, 3), 7));
    main_[2 * static_cast<ptrdiff_t>(pending_) + 1] =
        static_cast<uint8_t>(_mm_extract_epi16(_mm512_extracti32x4_epi32(raw_, 3), 7) >> 8);
    live_ = false;
  }

  // Pixels k … k + 31 as the source holds them (in place, they are).
  PRAMVIX_TARGET void Copy(int k) {
    if (source_ == main_) return;
    _mm512_storeu_si512(main_ + 2 * static_cast<ptrdiff_t>(k), Load512(source_ + 2 * static_cast<ptrdiff_t>(k)));
  }

  PRAMVIX_TARGET void Resume(int k) {
    const uint8_t* at = main_ + 2 * static_cast<ptrdiff_t>(k);
    const __mmask32 last = 1u << 31;
    raw_ = _mm512_maskz_set1_epi16(last, static_cast<int16_t>(at[-2] | at[-1] << 8));
    v_ = _mm512_maskz_set1_epi16(last, at[-2]);
    y_ = _mm512_maskz_set1_epi16(last, at[-4]);
    live_ = true;
  }

  uint8_t* main_;
  const uint8_t* source_;
  const uint8_t* reference_;
  bool mark_;
  EdgeBytes bytes_;
  __m512i edgeLanes_;
  Constants c_;
  bool live_ = false;
  int pending_ = 0;
  __m512i raw_ = _mm512_setzero_si512(), v_ = _mm512_setzero_si512(), y_ = _mm512_setzero_si512();
};

int Avx512::Spans(uint8_t* main, const uint8_t* source, const uint8_t* reference, int edge, bool mark, int innerEnd) {
  return Blocks512(main, source, reference, edge, mark).Spans(innerEnd);
}

#undef PRAMVIX_TARGET

}  // namespace
}  // namespace auto_removal

PRAMVIX_TARGET_AVX512 void RemoveLogoAutoRowAvx512(MutableLumaRow main, ConstLumaRow source, ConstLumaRow reference,
                                                    LogoPixels pixels) {
  auto_removal::AutoRowPass<auto_removal::Avx512>(main, source, reference, pixels);
}

}  // namespace pramvix
#endif
