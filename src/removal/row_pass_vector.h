#pragma once
// The row pass eight pixels at a time, for the x86-64 variants. Each variant's
// file defines PRAMVIX_VECTOR_TARGET (its set's function attribute, or
// nothing) before including this, and hands in its correction: the luma under
// the logo for eight pixels. Everything here has internal linkage, so each
// set compiles its own copy and none leaks into another's code.
#include <emmintrin.h>

#include <cstdint>

#include "base/vector_lanes.h"
#include "removal/row_pass.h"
#include "removal/thirds.h"

namespace pramvix {
namespace {

// Whether pixels k … k + 31 hold no logo pixel and soften nothing, by a test
// that is quick and sure but may miss some quiet spans: every reference luma
// from k − 1 to k + 32 lies within `reach` of the edge luma, reach being
// under half the threshold. Then no pixel is a threshold away from the edge
// and no two pixels two apart are a threshold apart. `low` and `high` hold
// edge − reach and edge + reach (limited to 0 … 255) in every byte.
PRAMVIX_VECTOR_TARGET inline bool Quiet(const uint8_t* row, int k, __m128i low, __m128i high) {
  const uint8_t* at = row + 2 * static_cast<ptrdiff_t>(k);
  __m128i outside = _mm_setzero_si128();
  // Bytes from pixel k − 1 to pixel k + 32's chroma, in five loads.
  for (const int offset : {-2, 14, 30, 46, 50}) {
    const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(at + offset));
    outside = _mm_or_si128(outside, _mm_or_si128(_mm_subs_epu8(bytes, high), _mm_subs_epu8(low, bytes)));
  }
  outside = _mm_and_si128(outside, _mm_set1_epi16(0x00FF));  // chroma does not count
  return _mm_movemask_epi8(_mm_cmpeq_epi8(outside, _mm_setzero_si128())) == 0xFFFF;
}

// Softens pixel k − 1 for each k = first … first + 7 whose lane is set in
// `lanes` (two mask bits per pixel), in order: each reads its left neighbour
// as the previous one left it. v is the block's luma as stored, before
// softening. A run of softened pixels passes each result on in a register
// rather than reading it back from the byte just stored.
PRAMVIX_VECTOR_TARGET inline void Soften(uint8_t* row, int first, __m128i v, unsigned lanes) {
  uint8_t* luma = row + 2 * static_cast<ptrdiff_t>(first);  // pixel first
  alignas(16) uint16_t own[8];
  _mm_store_si128(reinterpret_cast<__m128i*>(own), v);
  int lastLane = -2, last = 0;  // the pixel last softened, first + lastLane − 1, and its new luma
  while (lanes != 0) {
    const int i = __builtin_ctz(lanes) / 2;
    lanes &= ~(3u << (2 * i));
    // Pixel first + i − 2 changed in this block only if the step before softened it.
    const int leftOfLeft = i == lastLane + 1 ? last : luma[2 * i - 4];
    const int left = i >= 1 ? own[i - 1] : luma[-2];
    last = (leftOfLeft + left + own[i]) / 3;
    lastLane = i;
    luma[2 * i - 2] = static_cast<uint8_t>(last);
  }
}

// Softens pixels first − 1 … first + 6 in turn, every pixel of the block
// softening its left neighbour; v is the block's luma before softening.
//
// Each step is y' = floor((y + c) / 3), y the pixel before as softened and
// c the sum of the pixel's own and its right neighbour's luma. Since
// floor((floor(n / 3) + c) / 3) = floor((n + 3c) / 9), step m gives
// y_m = floor((y_0 + c_1 + 3 c_2 + … + 3^(m−1) c_m) / 3^m): eight steps side
// by side instead of one after another. The sums stay below 2^24, so floats
// hold them exactly (the quotients: thirds.h). Only y_8, which the next block
// starts from, is worked out in integers and stored last, so the chain from
// block to block is one integer division.
PRAMVIX_VECTOR_TARGET inline void SoftenAll(uint8_t* row, int first, __m128i v) {
  uint8_t* luma = row + 2 * static_cast<ptrdiff_t>(first);  // pixel first
  const __m128i zero = _mm_setzero_si128();
  const __m128i before = _mm_insert_epi16(_mm_slli_si128(v, 2), luma[-2], 0);  // v shifted, pixel first − 1 in
  const __m128i c = _mm_add_epi16(before, v);
  __m128 low = _mm_mul_ps(_mm_cvtepi32_ps(_mm_unpacklo_epi16(c, zero)), _mm_setr_ps(1, 3, 9, 27));
  __m128 high = _mm_mul_ps(_mm_cvtepi32_ps(_mm_unpackhi_epi16(c, zero)), _mm_setr_ps(81, 243, 729, 2187));
  // Running sums over the eight lanes.
  low = _mm_add_ps(low, _mm_castsi128_ps(_mm_slli_si128(_mm_castps_si128(low), 4)));
  low = _mm_add_ps(low, _mm_castsi128_ps(_mm_slli_si128(_mm_castps_si128(low), 8)));
  high = _mm_add_ps(high, _mm_castsi128_ps(_mm_slli_si128(_mm_castps_si128(high), 4)));
  high = _mm_add_ps(high, _mm_castsi128_ps(_mm_slli_si128(_mm_castps_si128(high), 8)));
  high = _mm_add_ps(high, _mm_shuffle_ps(low, low, 0xFF));
  const int y0 = luma[-4];
  const int y8 = (y0 + _mm_cvtss_si32(_mm_shuffle_ps(high, high, 0xFF))) / 6561;
  const __m128 start = _mm_set1_ps(static_cast<float>(y0));
  const __m128i y = _mm_packs_epi32(FloorByPowersOfThree(_mm_add_ps(low, start), LowThirds()),
                                    FloorByPowersOfThree(_mm_add_ps(high, start), HighThirds()));
  // y_1 … y_8 are pixels first − 1 … first + 6; pixel first + 7 keeps v
  // until the next pixel softens it.
  StoreLumaAt(row, first - 1, y);
  luma[12] = static_cast<uint8_t>(y8);  // pixel first + 6
}

// The settings of a row pass in vector form, and the pass over blocks of
// eight pixels whose neighbours all lie inside both rows.
template <class Correction>
class BlockPass {
 public:
  PRAMVIX_VECTOR_TARGET BlockPass(const RowPass& pass, const Correction& correct, uint8_t* main,
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
    edge_ = _mm_set1_epi16(static_cast<int16_t>(pass.edge));
    below_ = LaneBound(int64_t{pass.threshold} - 1);
    const RowPass::QuietBand quiet = pass.Quiet();
    low_ = _mm_set1_epi8(static_cast<char>(quiet.low));
    high_ = _mm_set1_epi8(static_cast<char>(quiet.high));
  }

  // Pixels k … k + 31, or nothing where they are quiet; reads reference
  // pixels k − 1 … k + 32.
  PRAMVIX_VECTOR_TARGET void Span(int k) const {
    if (skipQuiet_ && Quiet(reference_, k, low_, high_)) return;
    for (int block = k; block < k + 32; block += 8) Block(block);
  }

  // Pixels k … k + 7; reads reference pixels k − 1 … k + 8.
  PRAMVIX_VECTOR_TARGET __attribute__((always_inline)) void Block(int k) const {
    const __m128i lumaMask = _mm_set1_epi16(0x00FF);
    const __m128i allLanes = _mm_set1_epi16(-1);
    const __m128i L = LumaAt(reference_, k);
    const __m128i logo = invertAll_ ? allLanes : _mm_cmpgt_epi16(Distance(edge_, L), below_);
    const __m128i soften =
        everywhere_ ? allLanes : _mm_cmpgt_epi16(Distance(LumaAt(reference_, k - 1), LumaAt(reference_, k + 1)), below_);
    const unsigned logoLanes = static_cast<unsigned>(_mm_movemask_epi8(logo));
    const unsigned softLanes = static_cast<unsigned>(_mm_movemask_epi8(soften));
    __m128i v = LumaAt(main_, k);
    if (logoLanes != 0) {
      const __m128i fixed = invert_ ? _mm_xor_si128(v, lumaMask) : correct_(v, L, logoLanes);
      v = Select(logo, fixed, v);
      StoreLumaAt(main_, k, v);
    }
    if (softLanes == 0xFFFF) {
      SoftenAll(main_, k, v);
    } else if (softLanes != 0) {
      Soften(main_, k, v, softLanes);
    }
  }

 private:
  const Correction& correct_;
  uint8_t* main_;
  const uint8_t* reference_;
  bool everywhere_, invertAll_, invert_, skipQuiet_;
  __m128i edge_, below_, low_, high_;
};

// The pass over one row: blocks where all of a block's neighbours are inside
// both rows, the pixels before and after one at a time.
template <class Correction>
PRAMVIX_VECTOR_TARGET void VectorRowPass(MutableLumaRow main, ConstLumaRow reference, int x, int width,
                                         const RemovalRule& rule, const Correction& correct) {
  if (width <= 0) return;
  const RowPass pass(rule, reference[x]);
  const int end = x + width;
  const int innerEnd = InnerEnd(main, reference, end);
  int k = x;
  for (; k < end && k < 2; ++k) pass.Step<true>(main, reference, k);
  const BlockPass<Correction> blocks(pass, correct, &main[0], &reference[0]);
  for (; k + 32 <= innerEnd; k += 32) blocks.Span(k);
  for (; k + 8 <= innerEnd; k += 8) blocks.Block(k);
  for (; k < innerEnd; ++k) pass.Step<false>(main, reference, k);
  for (; k < end; ++k) pass.Step<true>(main, reference, k);
}

}  // namespace
}  // namespace pramvix
