#pragma once
// NoLogoAuto's row pass in blocks of pixels, for the x86-64 variants. Each
// variant's file defines PRAMVIX_VECTOR_TARGET (its set's function attribute,
// or nothing) before including this and hands in its set: the pass over the
// spans of a row, the tests of a span and the correction of eight pixels.
// Everything here has internal linkage, so each set compiles its own copy.
#include <emmintrin.h>
#include <xmmintrin.h>

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

// Which of the blocks of eight pixels from k to k + 31 have something to do,
// bit i for pixels k + 8i … k + 8i + 7: a reference luma there a threshold
// away from the edge luma (a pixel corrected), or two reference lumas two
// apart (k − 1 and k + 1, …, k + 30 and k + 32) a threshold apart (a pixel
// softened). These are exactly the tests of the row pass, so the answer is
// neither cautious nor bold. Reads reference pixels k − 1 … k + 32. `edge`
// holds the edge luma in every byte.
PRAMVIX_VECTOR_TARGET inline int BusyBlocksSse2(const uint8_t* reference, int k, __m128i edge) {
  const uint8_t* at = reference + 2 * static_cast<ptrdiff_t>(k);
  int busy = 0;
  for (int block = 0; block < 4; ++block) {
    const int offset = 16 * block;
    const __m128i luma = _mm_loadu_si128(reinterpret_cast<const __m128i*>(at + offset));
    const __m128i left = _mm_loadu_si128(reinterpret_cast<const __m128i*>(at + offset - 2));
    const __m128i right = _mm_loadu_si128(reinterpret_cast<const __m128i*>(at + offset + 2));
    __m128i work = _mm_or_si128(ThresholdApart(luma, edge), ThresholdApart(left, right));
    work = _mm_and_si128(work, _mm_set1_epi16(0x00FF));  // chroma does not count
    busy |= (_mm_movemask_epi8(_mm_cmpeq_epi8(work, _mm_setzero_si128())) != 0xFFFF) << block;
  }
  return busy;
}

// Whether pixels k … k + 31 are left as they are.
PRAMVIX_VECTOR_TARGET inline bool UntouchedSse2(const uint8_t* reference, int k, __m128i edge) {
  return BusyBlocksSse2(reference, k, edge) == 0;
}

// A quicker test that passes most untouched spans: every reference luma
// from pixel k − 1 to k + 32 lies within 2 of the edge luma. Then none is 5
// away from it and no two are 5 apart. `low` and `high` hold edge − 2 and
// edge + 2 (limited to 0 … 255) in every byte.
PRAMVIX_VECTOR_TARGET inline bool NearEdgeSse2(const uint8_t* reference, int k, __m128i low, __m128i high) {
  const uint8_t* at = reference + 2 * static_cast<ptrdiff_t>(k);
  __m128i outside = _mm_setzero_si128();
  for (const int offset : {-2, 14, 30, 46, 50}) {  // bytes of pixels k − 1 … k + 32
    const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(at + offset));
    outside = _mm_or_si128(outside, _mm_or_si128(_mm_subs_epu8(bytes, high), _mm_subs_epu8(low, bytes)));
  }
  outside = _mm_and_si128(outside, _mm_set1_epi16(0x00FF));  // chroma does not count
  return _mm_movemask_epi8(_mm_cmpeq_epi8(outside, _mm_setzero_si128())) == 0xFFFF;
}

// Whether pixels k … end − 1 of a row's end, fewer than 32, are left as they
// are: the 32 pixels that end at `end` are, as `untouched` tests them (end −
// 32 ≥ 1, so that the test reads inside the row; it may look back at pixels
// the pass has done, which only makes it stricter).
template <class Untouched>
PRAMVIX_VECTOR_TARGET inline bool LeftAlone(const uint8_t* reference, int k, int end, __m128i edge,
                                             Untouched untouched) {
  return end - 32 >= 1 && end - 32 <= k && untouched(reference, end - 32, edge);
}

// Asks the caches for `lines` lines of reference bytes 1024 bytes past `at`:
// the request has just copied the main frame, which pushes the reference out
// of them. The address is worked out as an integer, since it may lie past
// the picture, where a prefetch is harmless but a pointer may not point.
inline void FetchAhead(const uint8_t* at, int lines) {
  const uintptr_t ahead = reinterpret_cast<uintptr_t>(at) + 1024;
  for (int line = 0; line < lines; ++line) {
    _mm_prefetch(reinterpret_cast<const char*>(ahead + 64 * static_cast<uintptr_t>(line)), _MM_HINT_T0);
  }
}

// A row's edge luma in every byte, for the exact span tests, and edge ∓ 2
// (limited to 0 … 255) for the quick one.
struct EdgeBytes {
  PRAMVIX_VECTOR_TARGET explicit EdgeBytes(int edge)
      : edge(_mm_set1_epi8(static_cast<char>(edge))),
        low(_mm_set1_epi8(static_cast<char>(edge > 2 ? edge - 2 : 0))),
        high(_mm_set1_epi8(static_cast<char>(edge < 253 ? edge + 2 : 255))) {}
  __m128i edge, low, high;
};

// floor(n / 3) for 16-bit lanes n ≤ 765: n·43691 / 2^17 = n/3 + n/(3·2^17),
// and the second term stays under the 1/3 that separates n/3 from the next
// whole number while n < 2^17.
PRAMVIX_VECTOR_TARGET inline __m128i DivideBy3(__m128i n) {
  return _mm_srli_epi16(_mm_mulhi_epu16(n, _mm_set1_epi16(static_cast<int16_t>(0xAAAB))), 1);
}

// The eight 16-bit lanes that end one lane before `current`: the last lane of
// `previous`, then lanes 0 … 6 of `current`. With blocks of eight pixels,
// those are pixels k − 1 … k + 6 for the block at k.
PRAMVIX_VECTOR_TARGET inline __m128i LaneBefore(__m128i previous, __m128i current) {
  return _mm_or_si128(_mm_slli_si128(current, 2), _mm_srli_si128(previous, 14));
}

// The softening of pixels k − 1 … k + 6 for the block at k, where `soften`
// (the lanes of steps k … k + 7) is set. `own` holds those pixels' lumas as
// the correction left them, `right` each one's right neighbour (pixels
// k … k + 7), and the last lane of `before` the final luma of pixel k − 2.
// A softened pixel becomes (y[p − 1] + own[p] + right[p]) / 3, y[p − 1] being
// its left neighbour as already softened; the others keep their own luma.
// Worked on all lanes at once, y ← F(y) is repeated from y = own until
// nothing changes: a lane whose left neighbour is final comes out final, so
// after i rounds every run of softened lanes is final in its first i lanes;
// and F has one fixed point, the result (each lane follows from the one
// before it), so stopping where F(y) = y is exact. Nine rounds at most.
PRAMVIX_VECTOR_TARGET inline __m128i Softened(__m128i own, __m128i right, __m128i soften, __m128i before) {
  const __m128i sums = _mm_add_epi16(own, right);
  const auto round = [&](__m128i y) PRAMVIX_VECTOR_TARGET {
    return Select(soften, DivideBy3(_mm_add_epi16(LaneBefore(before, y), sums)), own);
  };
  // Runs of up to three softened pixels, the most common, take three rounds
  // and the test without a branch that depends on them.
  __m128i y = round(round(round(own)));
  for (;;) {
    const __m128i next = round(y);
    if (_mm_movemask_epi8(_mm_cmpeq_epi16(next, y)) == 0xFFFF) return y;
    y = next;
  }
}

// v = s − q limited to 0 … 250, from 16-bit lanes that packing s − q has
// saturated (which keeps each value's side of the limits).
PRAMVIX_VECTOR_TARGET inline __m128i Limited(__m128i packed) {
  return _mm_min_epi16(_mm_max_epi16(packed, _mm_setzero_si128()), _mm_set1_epi16(250));
}

// The correction is v = s − q limited to 0 … 250, where the plain code
// divides twice in double precision: q = trunc((238 − s) / r), r = b / d,
// b = 238 − L, d = (L − 16) + 0.001. The sets work out the same q as
// trunc((238 − s)·(d·c)) in single precision instead, eight lanes a step and
// no division: c is the processor's estimate of 1 / b refined by one Newton
// step, c = e·(2 − b·e).
//
// Why it truncates to the same integer: (L − 16), b and 238 − s are whole and
// exact in floats. The estimate e lies within 1.5·2^−12 of 1 / b (relative;
// the instruction set promises that bound on every processor); the step
// squares that error to under 2.3·2^−24 and adds three roundings of at most
// 2^−24 each. 0.001, the sum d, the product d·c and the product with 238 − s
// round once each, the plain code's steps at most 2^−53: the single-precision
// t and the plain quotient Q differ by under 9.3·2^−24·|Q| < 2^−20.7·|Q|. Over
// all 65536 pairs (s, L) with L ≠ 238, Q comes no closer to a whole number
// than 2^−17.8·|Q| (at s = 17, L = 255, Q is −3107.013) and is never whole but
// 0 (then 238 − s and t are 0): no whole number lies between t and Q, so both
// truncate alike. (The AVX-512 set divides d / b instead: one rounding in
// place of the estimate and the step, so t lies within 4·2^−24·|Q| of Q.)
// The tests compare every pair with the plain code, and a
// test checks the error bound of the step against the bound of the estimate.
// For L = 238, b = 0 and the plain quotient is infinite or not a number,
// which counts as 0: those lanes are set to 0 whatever t gave. For every
// other L, |Q| < 2^16, so no quotient needs saturating and its float holds it.
constexpr float kFull = 238.0f;
constexpr float kBlack = 16.0f;
constexpr int kFullLuma = 238;

// e·(2 − b·e): an estimate e of 1 / b made closer.
PRAMVIX_VECTOR_TARGET inline __m128 NewtonStep(__m128 b, __m128 e) {
  return _mm_mul_ps(e, _mm_sub_ps(_mm_set1_ps(2.0f), _mm_mul_ps(b, e)));
}

// 1 / b in every lane from the processor's estimate, by one Newton step.
PRAMVIX_VECTOR_TARGET inline __m128 Reciprocal(__m128 b) { return NewtonStep(b, _mm_rcp_ps(b)); }

// Eight pixels (16-bit lanes) through the set's correction or inversion, and
// the softening, over one row: the settings as locals, as RowPass keeps them.
//
// A block's results stay in registers for the next: a pixel's luma is final
// only once the next step has softened it or not, so the block at k stores
// pixels k − 1 … k + 6, with the chroma it read, and keeps pixel k + 7
// pending. Reading back bytes just stored, partly over an earlier store,
// would wait for the stores to land. Settle() writes the pending pixel; the
// row then holds what the plain pass leaves before its next step.
template <class Set>
class AutoBlocks {
 public:
  PRAMVIX_VECTOR_TARGET AutoBlocks(uint8_t* main, const uint8_t* reference, int edge, bool mark)
      : main_(main), reference_(reference), mark_(mark), bytes_(edge) {
    edgeLanes_ = _mm_set1_epi16(static_cast<int16_t>(edge));
  }

  // Spans of 32 pixels from pixel 2 while they end before innerEnd, then the
  // pixels left if they are left alone; gives the pixel after them, with the
  // row settled.
  PRAMVIX_VECTOR_TARGET int Spans(int innerEnd) {
    int k = 2;
    for (; k + 32 <= innerEnd; k += 32) {
      FetchAhead(reference_ + 2 * static_cast<ptrdiff_t>(k), 1);
      Span(k);
    }
    Settle();
    return k < innerEnd && LeftAlone(reference_, k, innerEnd, bytes_.edge, Set::Untouched) ? innerEnd : k;
  }

  // Pixels k … k + 31 in blocks of eight, each left as it is where it has
  // nothing to do; reads reference pixels k − 1 … k + 32.
  PRAMVIX_VECTOR_TARGET void Span(int k) {
    const int busy = Set::NearEdge(reference_, k, bytes_.low, bytes_.high) ? 0 : BusyBlocksSse2(reference_, k, bytes_.edge);
    for (int block = 0; block < 4; ++block) {
      if ((busy >> block & 1) != 0) {
        Block(k + 8 * block);
      } else {
        Settle();  // step k + 8·block softens nothing, so the pending pixel is final
      }
    }
  }

  // Pixels k … k + 7, k ≥ 2, after the steps before k; reads reference pixels
  // k − 1 … k + 8 and main pixels k − 2 … k + 7.
  PRAMVIX_VECTOR_TARGET void Block(int k) {
    if (!live_) Resume(k);
    const __m128i below = _mm_set1_epi16(kAutoThreshold - 1);
    const __m128i lumaMask = _mm_set1_epi16(0x00FF);
    uint8_t* at = main_ + 2 * static_cast<ptrdiff_t>(k);
    const __m128i raw = _mm_loadu_si128(reinterpret_cast<const __m128i*>(at));
    const __m128i L = LumaAt(reference_, k);
    const __m128i logo = _mm_cmpgt_epi16(Distance(edgeLanes_, L), below);
    const __m128i soften = _mm_cmpgt_epi16(Distance(LumaAt(reference_, k - 1), LumaAt(reference_, k + 1)), below);
    const __m128i s = _mm_and_si128(raw, lumaMask);
    // Every lane is corrected, then the rule picks: a branch on whether any
    // lane is logo would be mispredicted at every logo edge.
    const __m128i v = Select(logo, mark_ ? _mm_xor_si128(s, lumaMask) : Set::Correct(s, L), s);
    const __m128i own = LaneBefore(v_, v);  // pixels k − 1 … k + 6
    // Softening chains each block to the one before; most blocks soften
    // nothing and need not wait for it.
    const __m128i y = _mm_movemask_epi8(soften) != 0 ? Softened(own, v, soften, y_) : own;
    const __m128i chroma = _mm_andnot_si128(lumaMask, LaneBefore(raw_, raw));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(at - 2), _mm_or_si128(chroma, y));
    raw_ = raw;
    v_ = v;
    y_ = y;
    pending_ = k + 7;
  }

  // Writes the pending pixel, if any.
  PRAMVIX_VECTOR_TARGET void Settle() {
    if (!live_) return;
    main_[2 * static_cast<ptrdiff_t>(pending_)] = static_cast<uint8_t>(_mm_extract_epi16(v_, 7));
    live_ = false;
  }

 private:
  // The lanes the block at k takes from the one before, read from the row:
  // pixel k − 1 as the last step left it (luma and chroma) and pixel k − 2.
  PRAMVIX_VECTOR_TARGET void Resume(int k) {
    const uint8_t* at = main_ + 2 * static_cast<ptrdiff_t>(k);
    raw_ = _mm_insert_epi16(_mm_setzero_si128(), at[-2] | at[-1] << 8, 7);
    v_ = _mm_insert_epi16(_mm_setzero_si128(), at[-2], 7);
    y_ = _mm_insert_epi16(_mm_setzero_si128(), at[-4], 7);
    live_ = true;
  }

  uint8_t* main_;
  const uint8_t* reference_;
  bool mark_;
  EdgeBytes bytes_;
  __m128i edgeLanes_;
  bool live_ = false;  // the lanes below hold the block before
  int pending_ = 0;
  __m128i raw_ = _mm_setzero_si128(), v_ = _mm_setzero_si128(), y_ = _mm_setzero_si128();
};

// The pass over one row: pixel 1 and the last pixels one at a time (they
// reach beyond a row's ends), the set's spans from pixel 2 on, which end at a
// pixel k with the row settled, and blocks of 8 after them. A set that reads
// the source row itself (kFromSource) writes pixels 2 … k − 1 of main and
// leaves the rest to be copied; the others work on main after a copy of the
// whole row.
template <class Set>
PRAMVIX_VECTOR_TARGET void AutoRowPass(MutableLumaRow main, ConstLumaRow source, ConstLumaRow reference,
                                       LogoPixels pixels) {
  const int w = main.Width();
  CopyPixels(main, source, 0, w <= 1 || !Set::kFromSource ? w : 2);
  if (w <= 1) return;
  const RowPass pass(AutoRule(pixels), reference[1]);
  const int innerEnd = InnerEnd(main, reference, w);
  pass.Step<true>(main, reference, 1);
  const bool mark = pixels == LogoPixels::kMark;
  int k = Set::Spans(&main[0], &source[0], &reference[0], reference[1], mark, innerEnd);
  if (Set::kFromSource) {
    CopyPixels(main, source, k, w);
    if (k < innerEnd && LeftAlone(&reference[0], k, innerEnd, EdgeBytes(reference[1]).edge, Set::Untouched)) {
      k = innerEnd;
    }
  }
  AutoBlocks<Set> blocks(&main[0], &reference[0], reference[1], mark);
  for (; k + 8 <= innerEnd; k += 8) blocks.Block(k);
  blocks.Settle();
  for (; k < innerEnd; ++k) pass.Step<false>(main, reference, k);
  for (; k < w; ++k) pass.Step<true>(main, reference, k);
}

}  // namespace
}  // namespace auto_removal
}  // namespace pramvix
