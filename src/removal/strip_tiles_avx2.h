#pragma once
// The row pass over sixteen rows at once, for the AVX2 variant. The
// softening is a recurrence along each row (a pixel softens from its left
// neighbour as already softened), which keeps a single row's lanes waiting on
// one another; the rows do not depend on each other. So a strip of sixteen
// rows is worked in tiles of sixteen pixels: each row of a tile is corrected
// in its own register, the tile is turned so that a register holds one
// column (a pixel of every row), the columns are softened one after another
// with the sixteen rows side by side, and the tile is turned back. For the
// AVX2 variants' files only.
#include <immintrin.h>

#include <cstddef>
#include <cstdint>

#include "base/vector_lanes.h"
#include "base/yuy2.h"
#include "removal/lanes_avx2.h"
#include "removal/row_pass.h"

namespace pramvix {
namespace {

constexpr int kStripRows = 16;

// Turns sixteen registers of sixteen 16-bit lanes about their diagonal: lane
// j of register i goes to lane i of register j.
PRAMVIX_TARGET_AVX2 inline void Transpose(__m256i (&a)[kStripRows]) {
  __m256i t[kStripRows];
  // Within each 128-bit half, rows 0–7 and rows 8–15 apart: t[8h + j] holds
  // column j of rows 8h … 8h + 7 in its low half and column j + 8 in its high.
  for (int h = 0; h < 2; ++h) {
    const __m256i* r = a + 8 * h;
    __m256i s[8], u[8];
    for (int i = 0; i < 4; ++i) {
      s[2 * i] = _mm256_unpacklo_epi16(r[2 * i], r[2 * i + 1]);
      s[2 * i + 1] = _mm256_unpackhi_epi16(r[2 * i], r[2 * i + 1]);
    }
    for (int i = 0; i < 2; ++i) {
      u[4 * i] = _mm256_unpacklo_epi32(s[4 * i], s[4 * i + 2]);
      u[4 * i + 1] = _mm256_unpackhi_epi32(s[4 * i], s[4 * i + 2]);
      u[4 * i + 2] = _mm256_unpacklo_epi32(s[4 * i + 1], s[4 * i + 3]);
      u[4 * i + 3] = _mm256_unpackhi_epi32(s[4 * i + 1], s[4 * i + 3]);
    }
    __m256i* o = t + 8 * h;
    for (int i = 0; i < 4; ++i) {
      o[2 * i] = _mm256_unpacklo_epi64(u[i], u[4 + i]);
      o[2 * i + 1] = _mm256_unpackhi_epi64(u[i], u[4 + i]);
    }
  }
  for (int j = 0; j < 8; ++j) {
    a[j] = _mm256_permute2x128_si256(t[j], t[8 + j], 0x20);
    a[j + 8] = _mm256_permute2x128_si256(t[j], t[8 + j], 0x31);
  }
}

// floor(n / 9) for 16-bit lanes n < 2^15: n·7282 / 2^16 is n / 9 plus
// 2n / (9·2^16), under the 1/9 that separates n / 9 from the next whole
// number.
PRAMVIX_TARGET_AVX2 inline __m256i DivideBy9(__m256i n) { return _mm256_mulhi_epu16(n, _mm256_set1_epi16(7282)); }

// The pass over sixteen rows from pixel `first` on, in tiles of sixteen
// pixels while a tile's neighbours all lie inside both rows; the steps before
// `first` must have been made. Each row keeps its own edge luma. Tiles with
// nothing to do are left alone once their rows are read.
template <class Correction>
class StripTiles {
 public:
  PRAMVIX_TARGET_AVX2 StripTiles(const RemovalRule& rule, const Correction& correct, const MutableFrame& main,
                                 const ConstFrame& reference, int firstRow, int x)
      : correct_(correct),
        everywhere_(rule.softening == Softening::kEverywhere),
        invertAll_(rule.threshold == 0),
        invert_(rule.threshold == 0 || rule.logoPixels == LogoPixels::kMark) {
    below_ = _mm256_broadcastsi128_si256(LaneBound(int64_t{rule.threshold} - 1));
    for (int i = 0; i < kStripRows; ++i) {
      main_[i] = main.Row(firstRow + i);
      reference_[i] = reference.Row(firstRow + i);
      const RowPass pass(rule, reference_[i][2 * static_cast<ptrdiff_t>(x)]);
      edge_[i] = static_cast<int16_t>(pass.edge);
    }
  }

  // Steps k, k + 1, … before innerEnd, in tiles of sixteen; the last may
  // make fewer steps where the rows hold the sixteen pixels after it
  // (readEnd: the first pixel without both neighbours in both rows). Gives the
  // step after them, every row settled as the plain pass leaves it there.
  PRAMVIX_TARGET_AVX2 int Run(int k, int innerEnd, int readEnd) {
    while (k < innerEnd && k + 16 <= readEnd) {
      const int steps = innerEnd - k < 16 ? innerEnd - k : 16;
      if (steps < 16) {
        Tile(k, steps);
        Settle(k + steps - 1);
        return k + steps;
      }
      Tile(k, 16);
      k += 16;
    }
    Settle(k - 1);
    return k;
  }

 private:
  static ptrdiff_t At(int k) { return 2 * static_cast<ptrdiff_t>(k); }

  PRAMVIX_TARGET_AVX2 static __m256i Distance(__m256i a, __m256i b) {
    return _mm256_abs_epi16(_mm256_sub_epi16(a, b));
  }

  // Steps k … k + steps − 1 of every row (steps ≤ 16): pixels k … k + 15
  // corrected, k − 1 … k + steps − 2 softened or not and stored; pixel
  // k + steps − 1 stays pending in the carries.
  PRAMVIX_TARGET_AVX2 __attribute__((always_inline)) void Tile(int k, int steps) {
    const __m256i lumaMask = _mm256_set1_epi16(0x00FF);
    const __m256i softBit = _mm256_set1_epi16(static_cast<int16_t>(0x8000));
    __m256i lanes[kStripRows];
    __m256i busy = _mm256_setzero_si256();  // logo pixels and steps that soften
    // Each row's new lumas, with the flag of the steps that soften in bit 15.
    for (int i = 0; i < kStripRows; ++i) {
      const uint8_t* reference = reference_[i] + At(k);
      const __m256i s = _mm256_and_si256(lanes256::Load(main_[i] + At(k)), lumaMask);
      const __m256i L = _mm256_and_si256(lanes256::Load(reference), lumaMask);
      const __m256i logo = invertAll_ ? _mm256_set1_epi16(-1)
                                      : _mm256_cmpgt_epi16(Distance(L, _mm256_set1_epi16(edge_[i])), below_);
      const unsigned logoLanes = static_cast<unsigned>(_mm256_movemask_epi8(logo));
      __m256i v = s;
      if (logoLanes != 0) {
        v = _mm256_blendv_epi8(s, invert_ ? _mm256_xor_si256(s, lumaMask) : correct_(s, L, logoLanes), logo);
      }
      const __m256i left = _mm256_and_si256(lanes256::Load(reference - 2), lumaMask);
      const __m256i right = _mm256_and_si256(lanes256::Load(reference + 2), lumaMask);
      const __m256i soften =
          everywhere_ ? softBit : _mm256_and_si256(softBit, _mm256_cmpgt_epi16(Distance(left, right), below_));
      lanes[i] = _mm256_or_si256(v, soften);
      busy = _mm256_or_si256(busy, _mm256_or_si256(logo, soften));
    }
    if (_mm256_testz_si256(busy, busy)) {
      Settle(k - 1);  // the steps correct and soften nothing
      return;
    }
    if (!live_) Resume(k);
    Transpose(lanes);
    // Column j is step k + j: it softens pixel k + j − 1 from the one before
    // it, as softened, and its own and its right neighbour's new luma. Two
    // columns a step, so that the chain from column to column is half as
    // long: where both soften, floor((floor(n / 3) + m) / 3) =
    // floor((n + 3m) / 9) gives the second from the one before the first;
    // where only the second does, its left neighbour is the first's own new
    // luma. The first of the two is worked out beside the chain.
    const __m256i lowBits = _mm256_set1_epi16(0x7FFF);
    int j = 0;
    for (; j + 2 <= steps; j += 2) {
      const __m256i c0 = _mm256_and_si256(lanes[j], lowBits), c1 = _mm256_and_si256(lanes[j + 1], lowBits);
      const __m256i soften0 = _mm256_srai_epi16(lanes[j], 15), soften1 = _mm256_srai_epi16(lanes[j + 1], 15);
      const __m256i sum0 = _mm256_add_epi16(pending_, c0), sum1 = _mm256_add_epi16(c0, c1);
      const __m256i weighted = _mm256_add_epi16(sum0, _mm256_mullo_epi16(sum1, _mm256_set1_epi16(3)));
      const __m256i both = DivideBy9(_mm256_add_epi16(before_, weighted));
      const __m256i second = lanes256::DivideBy3(_mm256_add_epi16(pending_, sum1));
      lanes[j] = _mm256_blendv_epi8(pending_, lanes256::DivideBy3(_mm256_add_epi16(before_, sum0)), soften0);
      before_ = _mm256_blendv_epi8(c0, _mm256_blendv_epi8(second, both, soften0), soften1);
      lanes[j + 1] = before_;
      pending_ = c1;
    }
    for (; j < steps; ++j) {
      const __m256i c = _mm256_and_si256(lanes[j], lowBits);
      const __m256i soften = _mm256_srai_epi16(lanes[j], 15);
      const __m256i softened = lanes256::DivideBy3(_mm256_add_epi16(before_, _mm256_add_epi16(pending_, c)));
      before_ = _mm256_blendv_epi8(pending_, softened, soften);
      lanes[j] = before_;
      pending_ = c;
    }
    Transpose(lanes);
    // The luma bytes stored: all but the pending pixel's and those after it.
    alignas(32) static constexpr uint8_t kFirst[64] = {
        0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF,
        0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF};
    const __m256i stored = _mm256_and_si256(lumaMask, lanes256::Load(kFirst + 32 - 2 * steps));
    for (int i = 0; i < kStripRows; ++i) {
      uint8_t* at = main_[i] + At(k - 1);
      const __m256i old = lanes256::Load(at);
      const __m256i luma = _mm256_blendv_epi8(old, lanes[i], stored);
      _mm256_storeu_si256(reinterpret_cast<__m256i*>(at), luma);
    }
  }

  // Takes up the rows at step k: pixel k − 2 as final, k − 1 as corrected.
  PRAMVIX_TARGET_AVX2 void Resume(int k) {
    alignas(32) uint16_t before[kStripRows], pending[kStripRows];
    for (int i = 0; i < kStripRows; ++i) {
      before[i] = main_[i][At(k - 2)];
      pending[i] = main_[i][At(k - 1)];
    }
    before_ = _mm256_load_si256(reinterpret_cast<const __m256i*>(before));
    pending_ = _mm256_load_si256(reinterpret_cast<const __m256i*>(pending));
    live_ = true;
  }

  // Writes each row's pending pixel p, if the carries hold one.
  PRAMVIX_TARGET_AVX2 void Settle(int p) {
    if (!live_) return;
    alignas(32) uint16_t pending[kStripRows];
    _mm256_store_si256(reinterpret_cast<__m256i*>(pending), pending_);
    for (int i = 0; i < kStripRows; ++i) main_[i][At(p)] = static_cast<uint8_t>(pending[i]);
    live_ = false;
  }

  const Correction& correct_;
  bool everywhere_, invertAll_, invert_;
  __m256i below_;
  uint8_t* main_[kStripRows];
  const uint8_t* reference_[kStripRows];
  int16_t edge_[kStripRows];
  bool live_ = false;  // the carries hold the rows' last two pixels
  __m256i before_ = _mm256_setzero_si256();   // each row's pixel k − 2, final
  __m256i pending_ = _mm256_setzero_si256();  // each row's pixel k − 1, corrected, not yet softened
};

}  // namespace
}  // namespace pramvix
