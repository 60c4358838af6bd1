#pragma once
// The row pass sixteen pixels at a time, for the AVX2 variant: the steps of
// the eight-pixel blocks (row_pass_vector.h) on 256-bit lanes, so that the
// fixed work of a block serves twice the pixels. Include after
// row_pass_vector.h, in the AVX2 variant's file only.
#include <immintrin.h>

#include <cstddef>
#include <cstdint>

#include "removal/lanes_avx2.h"
#include "removal/row_pass.h"
#include "removal/thirds.h"

namespace pramvix {
namespace {

using lanes256::DivideBy3;
using lanes256::LaneBefore;

// Running sums of eight float lanes, across the two 128-bit halves.
PRAMVIX_TARGET_AVX2 inline __m256 RunningSums(__m256 x) {
  x = _mm256_add_ps(x, _mm256_castsi256_ps(_mm256_slli_si256(_mm256_castps_si256(x), 4)));
  x = _mm256_add_ps(x, _mm256_castsi256_ps(_mm256_slli_si256(_mm256_castps_si256(x), 8)));
  const __m256 lowTotal = _mm256_shuffle_ps(x, x, 0xFF);  // lane 3 of each half, in all its lanes
  return _mm256_add_ps(x, _mm256_permute2f128_ps(lowTotal, lowTotal, 0x08));  // low half's total into the high
}

PRAMVIX_TARGET_AVX2 inline int LastLane(__m256 x) {
  const __m128 high = _mm256_extractf128_ps(x, 1);
  return _mm_cvtss_si32(_mm_shuffle_ps(high, high, 0xFF));
}

// The pass over blocks of sixteen pixels whose neighbours all lie inside both
// rows, for the settings of one row pass.
//
// A block's results stay in registers for the next: a pixel's luma is final
// only once the next step has softened it or not, so the block at k stores
// pixels k − 1 … k + 14, with the chroma it read, and keeps pixel k + 15
// pending. The softening of a block reads its bytes just as the correction
// stored them, same place and width, which the processor hands on from the
// store; it never reads bytes stored at another offset by the block before
// (that would wait for the stores to land). Settle() writes the pending
// pixel; the row then holds what the plain pass leaves before its next step.
template <class Correction>
class WideBlocks {
 public:
  PRAMVIX_TARGET_AVX2 WideBlocks(const RowPass& pass, const Correction& correct, uint8_t* main,
                                 const uint8_t* reference)
      : correct_(correct),
        main_(main),
        reference_(reference),
        everywhere_(pass.everywhere),
        invertAll_(pass.threshold == 0),
        invert_(pass.threshold == 0 || pass.mark),
        // Only the quiet spans of a pass that softens at reference edges are
        // skipped; one that inverts or softens everywhere has none.
        skipQuiet_(pass.threshold > 0 && !pass.everywhere) {
    edge_ = _mm256_set1_epi16(static_cast<int16_t>(pass.edge));
    below_ = _mm256_broadcastsi128_si256(LaneBound(int64_t{pass.threshold} - 1));
    const RowPass::QuietBand quiet = pass.Quiet();
    low_ = _mm_set1_epi8(static_cast<char>(quiet.low));
    high_ = _mm_set1_epi8(static_cast<char>(quiet.high));
  }

  // Pixels k, k + 1, … in blocks of sixteen while a block ends before
  // innerEnd, by spans of 32 that are left alone where Quiet() finds them so.
  // Gives the pixel after them, with the row settled.
  //
  // The blocks of up to eight spans are worked in two rounds: first each
  // block's new lumas (written in place, chroma as it was), then the
  // softening over them. The blocks of the first round do not depend on one
  // another, so the processor overlaps their long chains of latency, which a
  // block that did both in turn would keep it from doing.
  PRAMVIX_TARGET_AVX2 int Run(int k, int innerEnd) {
    for (int spans; (spans = (innerEnd - k) / 32) > 0; k += 32 * spans) {
      if (spans > 8) spans = 8;
      unsigned quiet = 0;
      for (int i = 0; i < spans; ++i) {
        const int span = k + 32 * i;
        if (skipQuiet_ && Quiet(reference_, span, low_, high_)) {
          quiet |= 1u << i;
          continue;
        }
        Uncover(span);
        Uncover(span + 16);
      }
      for (int i = 0; i < spans; ++i) {
        const int span = k + 32 * i;
        if ((quiet >> i & 1) != 0) {
          Settle();  // step `span` softens nothing, so the pending pixel is final
          continue;
        }
        Soften(span);
        Soften(span + 16);
      }
    }
    if (k + 16 <= innerEnd) {
      Uncover(k);
      Soften(k);
      k += 16;
    }
    Settle();
    return k;
  }

 private:
  // The new lumas of pixels k … k + 15, written in place; reads reference
  // pixels k … k + 15.
  PRAMVIX_TARGET_AVX2 __attribute__((always_inline)) void Uncover(int k) const {
    const __m256i lumaMask = _mm256_set1_epi16(0x00FF);
    uint8_t* at = main_ + 2 * static_cast<ptrdiff_t>(k);
    const __m256i raw = lanes256::Load(at);
    const __m256i L = _mm256_and_si256(lanes256::Load(reference_ + 2 * static_cast<ptrdiff_t>(k)), lumaMask);
    const __m256i logo = invertAll_ ? _mm256_set1_epi16(-1) : _mm256_cmpgt_epi16(Distance(L, edge_), below_);
    const unsigned logoLanes = static_cast<unsigned>(_mm256_movemask_epi8(logo));
    if (logoLanes == 0) return;
    const __m256i s = _mm256_and_si256(raw, lumaMask);
    const __m256i v = _mm256_blendv_epi8(s, invert_ ? _mm256_xor_si256(s, lumaMask) : correct_(s, L, logoLanes), logo);
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(at), _mm256_or_si256(_mm256_andnot_si256(lumaMask, raw), v));
  }

  // The softening by steps k … k + 15, k ≥ 2, after the steps before k, over
  // the lumas Uncover() left; reads reference pixels k − 1 … k + 16 and main
  // pixels k − 2 … k + 15.
  PRAMVIX_TARGET_AVX2 __attribute__((always_inline)) void Soften(int k) {
    if (!live_) Resume(k);
    const __m256i lumaMask = _mm256_set1_epi16(0x00FF);
    uint8_t* at = main_ + 2 * static_cast<ptrdiff_t>(k);
    const uint8_t* reference = reference_ + 2 * static_cast<ptrdiff_t>(k);
    const __m256i raw = lanes256::Load(at);
    const __m256i v = _mm256_and_si256(raw, lumaMask);
    const __m256i soften =
        everywhere_ ? _mm256_set1_epi16(-1)
                    : _mm256_cmpgt_epi16(Distance(_mm256_and_si256(lanes256::Load(reference - 2), lumaMask),
                                                  _mm256_and_si256(lanes256::Load(reference + 2), lumaMask)),
                                         below_);
    const __m256i own = LaneBefore(v_, v);  // pixels k − 1 … k + 14
    const unsigned softLanes = static_cast<unsigned>(_mm256_movemask_epi8(soften));
    __m256i y = own;
    if (softLanes == 0xFFFFFFFFu) {
      y = SoftenedAll(own, v);
    } else {
      if (softLanes != 0) y = Softened(own, v, soften, softLanes);
      last_ = _mm256_extract_epi16(y, 15);
    }
    const __m256i chroma = _mm256_andnot_si256(lumaMask, LaneBefore(raw_, raw));
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(at - 2), _mm256_or_si256(chroma, y));
    raw_ = raw;
    v_ = v;
    pending_ = k + 15;
  }

  PRAMVIX_TARGET_AVX2 static __m256i Distance(__m256i a, __m256i b) {
    return _mm256_abs_epi16(_mm256_sub_epi16(a, b));
  }

  // Softens pixels k − 1 … k + 14 where `soften` (the lanes of steps
  // k … k + 15) is set. `own` holds those pixels' lumas before softening,
  // `right` each one's right neighbour. A softened pixel becomes
  // (y[p − 1] + own[p] + right[p]) / 3, y[p − 1] being its left neighbour as
  // already softened (for lane 0: last_, pixel k − 2); the others keep their
  // own luma. Worked on all lanes at once, y ← F(y) is repeated from y = own
  // until nothing changes: a lane whose left neighbour is final comes out
  // final, so after i rounds every run of softened lanes is final in its
  // first i lanes; and F has one fixed point, the result (each lane follows
  // from the one before it), so stopping where F(y) = y is exact.
  //
  // Only a run of softened lanes from lane 0 on needs last_: a block whose
  // first step softens nothing is worked out without it, and does not wait
  // for the block before.
  PRAMVIX_TARGET_AVX2 __m256i Softened(__m256i own, __m256i right, __m256i soften, unsigned softLanes) const {
    const __m256i sums = _mm256_add_epi16(own, right);
    const __m256i before = (softLanes & 1) != 0 ? _mm256_set1_epi16(static_cast<int16_t>(last_)) : _mm256_setzero_si256();
    return lanes256::Softened(own, sums, soften, before);
  }

  // Softened() where every lane softens, in one go. Each step is
  // y' = floor((y + c) / 3), c the sum of the pixel's own and its right
  // neighbour's luma; since floor((floor(n / 3) + c) / 3) = floor((n + 3c) / 9),
  // step m of eight gives y_m = floor((y_0 + c_1 + 3 c_2 + … + 3^(m−1) c_m) / 3^m).
  // Each half of the block takes eight such steps side by side, from last_
  // and from the low half's last result. The sums stay below 2^24, so floats
  // hold them exactly (the quotients: thirds.h). The two results that the
  // chain from block to block goes through are worked out in integers.
  PRAMVIX_TARGET_AVX2 __m256i SoftenedAll(__m256i own, __m256i right) {
    const __m256i c = _mm256_add_epi16(own, right);
    const __m256 weights = _mm256_setr_ps(1, 3, 9, 27, 81, 243, 729, 2187);
    const __m256 low =
        RunningSums(_mm256_mul_ps(_mm256_cvtepi32_ps(_mm256_cvtepu16_epi32(_mm256_castsi256_si128(c))), weights));
    const __m256 high = RunningSums(
        _mm256_mul_ps(_mm256_cvtepi32_ps(_mm256_cvtepu16_epi32(_mm256_extracti128_si256(c, 1))), weights));
    const unsigned y0 = static_cast<unsigned>(last_);
    const unsigned y8 = (y0 + static_cast<unsigned>(LastLane(low))) / 6561;
    last_ = static_cast<int>((y8 + static_cast<unsigned>(LastLane(high))) / 6561);
    const __m256i yLow = FloorByPowersOfThree(_mm256_add_ps(low, _mm256_set1_ps(static_cast<float>(y0))));
    const __m256i yHigh = FloorByPowersOfThree(_mm256_add_ps(high, _mm256_set1_ps(static_cast<float>(y8))));
    // Packing works within 128-bit halves: lanes 0–3, 8–11, 4–7, 12–15 back in order.
    return _mm256_permute4x64_epi64(_mm256_packus_epi32(yLow, yHigh), 0xD8);
  }

  // Writes the pending pixel, if any.
  PRAMVIX_TARGET_AVX2 void Settle() {
    if (!live_) return;
    main_[2 * static_cast<ptrdiff_t>(pending_)] = static_cast<uint8_t>(_mm256_extract_epi16(v_, 15));
    live_ = false;
  }

  // What the block at k takes from the one before, read from the row: pixel
  // k − 1 as the last step left it (luma and chroma) and pixel k − 2.
  PRAMVIX_TARGET_AVX2 void Resume(int k) {
    const uint8_t* at = main_ + 2 * static_cast<ptrdiff_t>(k);
    raw_ = _mm256_insert_epi16(_mm256_setzero_si256(), static_cast<int16_t>(at[-2] | at[-1] << 8), 15);
    v_ = _mm256_insert_epi16(_mm256_setzero_si256(), at[-2], 15);
    last_ = at[-4];
    live_ = true;
  }

  const Correction& correct_;
  uint8_t* main_;
  const uint8_t* reference_;
  bool everywhere_, invertAll_, invert_, skipQuiet_;
  __m256i edge_, below_;
  __m128i low_, high_;
  bool live_ = false;  // raw_, v_ and last_ hold the block before
  int pending_ = 0;
  int last_ = 0;  // final luma of pixel pending_ − 1
  __m256i raw_ = _mm256_setzero_si256(), v_ = _mm256_setzero_si256();
};

// A row's steps from k, its blocks of sixteen made: a block of eight where
// its neighbours are inside both rows, then the pixels one at a time.
template <class Correction>
PRAMVIX_TARGET_AVX2 void FinishRow(MutableLumaRow main, ConstLumaRow reference, const RowPass& pass,
                                   const Correction& correct, int k, int innerEnd, int end) {
  const BlockPass<Correction> blocks(pass, correct, &main[0], &reference[0]);
  for (; k + 8 <= innerEnd; k += 8) blocks.Block(k);
  for (; k < innerEnd; ++k) pass.Step<false>(main, reference, k);
  for (; k < end; ++k) pass.Step<true>(main, reference, k);
}

// The pass over one row: blocks of sixteen, then of eight, where all of a
// block's neighbours are inside both rows, the pixels before and after them
// one at a time.
template <class Correction>
PRAMVIX_TARGET_AVX2 void WideRowPass(MutableLumaRow main, ConstLumaRow reference, int x, int width,
                                     const RemovalRule& rule, const Correction& correct) {
  if (width <= 0) return;
  const RowPass pass(rule, reference[x]);
  const int end = x + width;
  const int innerEnd = InnerEnd(main, reference, end);
  int k = x;
  for (; k < end && k < 2; ++k) pass.Step<true>(main, reference, k);
  if (k + 16 <= innerEnd) k = WideBlocks<Correction>(pass, correct, &main[0], &reference[0]).Run(k, innerEnd);
  FinishRow(main, reference, pass, correct, k, innerEnd, end);
}

}  // namespace
}  // namespace pramvix
