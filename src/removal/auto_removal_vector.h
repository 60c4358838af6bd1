#pragma once
// NoLogoAuto's row pass eight pixels at a time, for the x86-64 variants. Each
// variant's file defines PRAMVIX_VECTOR_TARGET (its set's function attribute,
// or nothing) before including this and hands in its set: the test of a span
// and the correction of eight pixels. Everything here has internal linkage,
// so each set compiles its own copy.
#include <emmintrin.h>

#include <cstddef>
#include <cstdint>

#include "base/vector_lanes.h"
#include "removal/auto_removal.h"
#include "removal/row_pass.h"

namespace pramvix {
namespace auto_removal {
namespace {

// Bytes that are nonzero where a and b differ by the threshold or more.
PRAMVIX_VECTOR_TARGET inline __m128i ThresholdApart(__m128i a, __m128i b) {
  const __m128i distance = _mm_or_si128(_mm_subs_epu8(a, b), _mm_subs_epu8(b, a));
  return _mm_subs_epu8(distance, _mm_set1_epi8(kAutoThreshold - 1));
}

// Whether pixels k … k + 31 are left as they are: no reference luma there is
// a threshold away from the edge luma, so no pixel is corrected, and no two
// reference lumas two apart (k − 1 and k + 1, …, k + 30 and k + 32) are a
// threshold apart, so no pixel is softened. These are exactly the tests of the
// row pass, so the answer is neither cautious nor bold. Reads reference
// pixels k − 1 … k + 32. `edge` holds the edge luma in every byte.
PRAMVIX_VECTOR_TARGET inline bool UntouchedSse2(const uint8_t* reference, int k, __m128i edge) {
  const uint8_t* at = reference + 2 * static_cast<ptrdiff_t>(k);
  __m128i work = _mm_setzero_si128();
  for (int offset = 0; offset < 64; offset += 16) {
    const __m128i luma = _mm_loadu_si128(reinterpret_cast<const __m128i*>(at + offset));
    const __m128i left = _mm_loadu_si128(reinterpret_cast<const __m128i*>(at + offset - 2));
    const __m128i right = _mm_loadu_si128(reinterpret_cast<const __m128i*>(at + offset + 2));
    work = _mm_or_si128(work, _mm_or_si128(ThresholdApart(luma, edge), ThresholdApart(left, right)));
  }
  work = _mm_and_si128(work, _mm_set1_epi16(0x00FF));  // chroma does not count
  return _mm_movemask_epi8(_mm_cmpeq_epi8(work, _mm_setzero_si128())) == 0xFFFF;
}

// floor(n / 3) for 16-bit lanes n ≤ 765: n·43691 / 2^17 = n/3 + n/(3·2^17),
// and the second term stays under the 1/3 that separates n/3 from the next
// whole number while n < 2^17.
PRAMVIX_VECTOR_TARGET inline __m128i DivideBy3(__m128i n) {
  return _mm_srli_epi16(_mm_mulhi_epu16(n, _mm_set1_epi16(static_cast<int16_t>(0xAAAB))), 1);
}

// Lane 0 takes `first`, lane i + 1 lane i of v.
PRAMVIX_VECTOR_TARGET inline __m128i ShiftedIn(__m128i v, int first) {
  return _mm_insert_epi16(_mm_slli_si128(v, 2), first, 0);
}

// Softens pixels first − 1 … first + 6 where `soften` (the lanes of steps
// first … first + 7) is set; v is the block's luma as the correction left it.
// Pixel p becomes (y[p − 1] + v[p] + v[p + 1]) / 3 where it is softened,
// y[p − 1] being its left neighbour as already softened, and stays v[p]
// otherwise. Worked on all lanes at once, y ← F(y) is repeated from y = v
// until nothing changes: a lane whose left neighbour is right comes out right,
// so after i rounds every run of softened lanes is right in its first i lanes,
// and F's only fixed point is the result (each lane follows from the one
// before it), so stopping where F(y) = y is exact. Nine rounds at most.
PRAMVIX_VECTOR_TARGET inline void SoftenBlock(uint8_t* row, int first, __m128i v, __m128i soften) {
  const uint8_t* luma = row + 2 * static_cast<ptrdiff_t>(first);  // pixel first
  const __m128i own = ShiftedIn(v, luma[-2]);  // pixels first − 1 … first + 6
  const __m128i sums = _mm_add_epi16(own, v);  // each with its right neighbour
  const int before = luma[-4];                 // pixel first − 2, final
  __m128i y = own;
  for (;;) {
    const __m128i next = Select(soften, DivideBy3(_mm_add_epi16(ShiftedIn(y, before), sums)), own);
    if (_mm_movemask_epi8(_mm_cmpeq_epi16(next, y)) == 0xFFFF) break;
    y = next;
  }
  StoreLumaAt(row, first - 1, y);
}

// v = s − q limited to 0 … 250, from 16-bit lanes that packing s − q has
// saturated (which keeps each value's side of the limits).
PRAMVIX_VECTOR_TARGET inline __m128i Limited(__m128i packed) {
  return _mm_min_epi16(_mm_max_epi16(packed, _mm_setzero_si128()), _mm_set1_epi16(250));
}

// The correction is v = s − q limited to 0 … 250, where the plain code
// divides twice in double precision: q = trunc((238 − s) / r), r = b / d,
// b = 238 − L, d = (L − 16) + 0.001. The sets work out the same q as
// trunc((238 − s)·(d / b)) in single precision instead: eight lanes a step,
// one division per lane rather than two, and none where eight equal
// reference lumas share d / b.
//
// Why it truncates to the same integer: (L − 16), b and 238 − s are whole and
// exact in floats; 0.001, the sum d, the quotient d / b and the product each
// round with a relative error of at most 2^−24, the plain code's steps with
// at most 2^−53, so the single-precision t and the plain quotient Q differ by
// under 2^−21.9·|Q|. Over all 65536 pairs (s, L) with L ≠ 238, Q comes no
// closer to a whole number than 2^−17.9·|Q| (at s = 17, L = 255, Q is
// −3107.013) and is never whole but 0: no whole number lies between t and Q,
// so both truncate alike. The tests compare every pair with the plain code.
// For L = 238, b = 0 and the plain quotient is infinite or not a number,
// which counts as 0: those lanes are set to 0 whatever t gave. For every
// other L, |Q| < 2^16, so no quotient needs saturating and its float holds it.
constexpr float kFull = 238.0f;
constexpr float kBlack = 16.0f;
constexpr int kFullLuma = 238;

// d / b of one reference luma L, as the lanes work it out (times the gain 1,
// which changes nothing).
inline float InverseRatio(int L) {
  const float b = kFull - static_cast<float>(L);
  const float d = (static_cast<float>(L) - kBlack) + 0.001f;
  return d / b;
}

// d / b of the last flat block (eight equal reference lumas), kept while the
// next one repeats its luma, as blocks inside a logo do. For one row on one
// thread.
class FlatInverse {
 public:
  float Of(int L) {
    if (L != luma_) {
      luma_ = L;
      inverse_ = InverseRatio(L);
    }
    return inverse_;
  }

 private:
  int luma_ = -1;
  float inverse_ = 0;
};

// Eight pixels (16-bit lanes) through the set's correction or inversion, and
// the softening, over one row: the settings as locals, as RowPass keeps them.
template <class Set>
class AutoBlocks {
 public:
  PRAMVIX_VECTOR_TARGET AutoBlocks(uint8_t* main, const uint8_t* reference, int edge, bool mark)
      : main_(main), reference_(reference), mark_(mark) {
    edgeBytes_ = _mm_set1_epi8(static_cast<char>(edge));
    edgeLanes_ = _mm_set1_epi16(static_cast<int16_t>(edge));
  }

  // Pixels k … k + 31, or nothing where the span is left as it is; reads
  // reference pixels k − 1 … k + 32.
  PRAMVIX_VECTOR_TARGET void Span(int k) {
    if (Set::Untouched(reference_, k, edgeBytes_)) return;
    for (int block = k; block < k + 32; block += 8) Block(block);
  }

  // Pixels k … k + 7; reads reference pixels k − 1 … k + 8 and main pixels
  // k − 2 … k + 7.
  PRAMVIX_VECTOR_TARGET void Block(int k) {
    const __m128i below = _mm_set1_epi16(kAutoThreshold - 1);
    const __m128i L = LumaAt(reference_, k);
    const __m128i logo = _mm_cmpgt_epi16(Distance(edgeLanes_, L), below);
    const __m128i soften = _mm_cmpgt_epi16(Distance(LumaAt(reference_, k - 1), LumaAt(reference_, k + 1)), below);
    const unsigned logoLanes = static_cast<unsigned>(_mm_movemask_epi8(logo));
    __m128i v = LumaAt(main_, k);
    if (logoLanes != 0) {
      const __m128i fixed = mark_ ? _mm_xor_si128(v, _mm_set1_epi16(0x00FF)) : Correct(v, L, logoLanes);
      v = Select(logo, fixed, v);
      StoreLumaAt(main_, k, v);
    }
    if (_mm_movemask_epi8(soften) != 0) SoftenBlock(main_, k, v, soften);
  }

 private:
  // The lanes of s over L that `lanes` (a byte mask) selects, corrected;
  // others come back 0.
  PRAMVIX_VECTOR_TARGET __m128i Correct(__m128i s, __m128i L, unsigned lanes) {
    const int first = _mm_extract_epi16(L, 0);
    const bool flat =
        _mm_movemask_epi8(_mm_cmpeq_epi16(L, _mm_set1_epi16(static_cast<int16_t>(first)))) == 0xFFFF;
    return Set::Correct(s, L, lanes, flat, flat ? flat_.Of(first) : 0.0f);
  }

  uint8_t* main_;
  const uint8_t* reference_;
  bool mark_;
  __m128i edgeBytes_, edgeLanes_;
  FlatInverse flat_;
};

// The pass over one row: pixel 1 and the last pixels one at a time (they
// reach beyond a row's ends), spans of 32 and blocks of 8 in between.
template <class Set>
PRAMVIX_VECTOR_TARGET void AutoRowPass(MutableLumaRow main, ConstLumaRow reference, LogoPixels pixels) {
  const int w = main.Width();
  if (w <= 1) return;
  const RowPass pass(AutoRule(pixels), reference[1]);
  const int innerEnd = InnerEnd(main, reference, w);
  pass.Step<true>(main, reference, 1);
  int k = 2;
  AutoBlocks<Set> blocks(&main[0], &reference[0], reference[1], pixels == LogoPixels::kMark);
  for (; k + 32 <= innerEnd; k += 32) blocks.Span(k);
  for (; k + 8 <= innerEnd; k += 8) blocks.Block(k);
  for (; k < innerEnd; ++k) pass.Step<false>(main, reference, k);
  for (; k < w; ++k) pass.Step<true>(main, reference, k);
}

}  // namespace
}  // namespace auto_removal
}  // namespace pramvix
