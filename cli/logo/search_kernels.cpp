#include "search_kernels.h"

#include <cstdlib>

#if PRAMVIX_X86_64
#include <immintrin.h>
#endif

namespace pramvix::cli::logo {

namespace {

void CellRowPlain(const uint8_t* top, const uint8_t* bottom, int count, uint8_t* out) {
  for (int c = 0; c < count; ++c) {
    out[c] = static_cast<uint8_t>((top[2 * c] + top[2 * c + 1] + bottom[2 * c] + bottom[2 * c + 1] + 2) >> 2);
  }
}

// One cell's steps of one frame into the sums.
inline void AddCellSteps(const uint8_t* row, const int16_t* m, int width, int c, int32_t* sx, int32_t* sxm, int32_t* sy,
                         int32_t* sym, int32_t* squares, int32_t* shown) {
  const int gx = row[c + 1] - row[c - 1], gy = row[c + width] - row[c - width];
  sx[c] += gx;
  sxm[c] += gx * m[c];
  sy[c] += gy;
  sym[c] += gy * m[c];
  squares[c] += gx * gx + gy * gy;
  shown[c] += std::abs(gx) + std::abs(gy) >= kShownStep;
}

void StepSumPlain(const uint8_t* const* rows, const int16_t* const* means, int frames, int width, int32_t* sx,
                  int32_t* sxm, int32_t* sy, int32_t* sym, int32_t* squares, int32_t* shown) {
  for (int k = 0; k < frames; ++k) {
    for (int c = 1; c + 1 < width; ++c) AddCellSteps(rows[k], means[k], width, c, sx, sxm, sy, sym, squares, shown);
  }
}

#if PRAMVIX_X86_64
// The SSE2 bodies also finish the rows of the AVX2 ones, which take twice
// the cells a step (on CPUs that split 256-bit operations in two they gain
// little, on those that do not about half the time).
#define PRAMVIX_INLINE inline __attribute__((always_inline))

PRAMVIX_INLINE __m128i PairSums(const uint8_t* at) {
  const __m128i x = _mm_loadu_si128(reinterpret_cast<const __m128i*>(at));
  return _mm_add_epi16(_mm_and_si128(x, _mm_set1_epi16(0x00FF)), _mm_srli_epi16(x, 8));
}

PRAMVIX_INLINE void CellRowBody(const uint8_t* top, const uint8_t* bottom, int count, uint8_t* out, int c = 0) {
  const __m128i two = _mm_set1_epi16(2);
  for (; c + 16 <= count; c += 16) {
    const __m128i a = _mm_add_epi16(PairSums(top + 2 * c), PairSums(bottom + 2 * c));
    const __m128i b = _mm_add_epi16(PairSums(top + 2 * c + 16), PairSums(bottom + 2 * c + 16));
    const __m128i means = _mm_packus_epi16(_mm_srli_epi16(_mm_add_epi16(a, two), 2), _mm_srli_epi16(_mm_add_epi16(b, two), 2));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out + c), means);
  }
  CellRowPlain(top + 2 * c, bottom + 2 * c, count - c, out + c);
}

// Eight bytes widened to 16-bit lanes.
PRAMVIX_INLINE __m128i Widened(const uint8_t* at) {
  return _mm_unpacklo_epi8(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(at)), _mm_setzero_si128());
}

PRAMVIX_INLINE void AddTo(int32_t* sums, __m128i low, __m128i high) {
  __m128i* at = reinterpret_cast<__m128i*>(sums);
  _mm_storeu_si128(at, _mm_add_epi32(_mm_loadu_si128(at), low));
  _mm_storeu_si128(at + 1, _mm_add_epi32(_mm_loadu_si128(at + 1), high));
}

// Eight cells at a time, two frames a step, the steps summed in registers
// before they join the sums: 16-bit sums of gx and gy, and the products in
// pairs of frames, (gx, gx')·(m, m') and (gx, gx')·(gx, gx') in 32-bit lanes,
// which halves the multiplies (the narrowest unit on some CPUs). An odd
// frame pairs with a frame of no steps.
PRAMVIX_INLINE void StepSumBody(const uint8_t* const* rows, const int16_t* const* means, int frames, int width,
                                int32_t* sx, int32_t* sxm, int32_t* sy, int32_t* sym, int32_t* squares, int32_t* shown,
                                int c = 1) {
  const __m128i zero = _mm_setzero_si128(), belowShown = _mm_set1_epi16(kShownStep - 1);
  for (; c + 8 < width; c += 8) {
    __m128i sumX = zero, sumY = zero, squaresLo = zero, squaresHi = zero, sumShown = zero;
    __m128i xmLo = zero, xmHi = zero, ymLo = zero, ymHi = zero;
    __m128i gx[2], gy[2], m[2];
    for (int k = 0; k < frames; k += 2) {
      for (int j = 0; j < 2; ++j) {
        if (k + j == frames) {
          gx[j] = gy[j] = m[j] = zero;
          continue;
        }
        const uint8_t* row = rows[k + j] + c;
        gx[j] = _mm_sub_epi16(Widened(row + 1), Widened(row - 1));
        gy[j] = _mm_sub_epi16(Widened(row + width), Widened(row - width));
        m[j] = _mm_loadu_si128(reinterpret_cast<const __m128i*>(means[k + j] + c));
        sumX = _mm_add_epi16(sumX, gx[j]);
        sumY = _mm_add_epi16(sumY, gy[j]);
        const __m128i size = _mm_add_epi16(_mm_max_epi16(gx[j], _mm_sub_epi16(zero, gx[j])), _mm_max_epi16(gy[j], _mm_sub_epi16(zero, gy[j])));
        sumShown = _mm_sub_epi16(sumShown, _mm_cmpgt_epi16(size, belowShown));  // -1 where it shows
      }
      const __m128i xLo = _mm_unpacklo_epi16(gx[0], gx[1]), xHi = _mm_unpackhi_epi16(gx[0], gx[1]);
      const __m128i yLo = _mm_unpacklo_epi16(gy[0], gy[1]), yHi = _mm_unpackhi_epi16(gy[0], gy[1]);
      const __m128i mLo = _mm_unpacklo_epi16(m[0], m[1]), mHi = _mm_unpackhi_epi16(m[0], m[1]);
      squaresLo = _mm_add_epi32(squaresLo, _mm_add_epi32(_mm_madd_epi16(xLo, xLo), _mm_madd_epi16(yLo, yLo)));
      squaresHi = _mm_add_epi32(squaresHi, _mm_add_epi32(_mm_madd_epi16(xHi, xHi), _mm_madd_epi16(yHi, yHi)));
      xmLo = _mm_add_epi32(xmLo, _mm_madd_epi16(xLo, mLo));
      xmHi = _mm_add_epi32(xmHi, _mm_madd_epi16(xHi, mHi));
      ymLo = _mm_add_epi32(ymLo, _mm_madd_epi16(yLo, mLo));
      ymHi = _mm_add_epi32(ymHi, _mm_madd_epi16(yHi, mHi));
    }
    // Sign-extended: each 16-bit sum in the high half of a lane, shifted down.
    AddTo(sx + c, _mm_srai_epi32(_mm_unpacklo_epi16(sumX, sumX), 16), _mm_srai_epi32(_mm_unpackhi_epi16(sumX, sumX), 16));
    AddTo(sy + c, _mm_srai_epi32(_mm_unpacklo_epi16(sumY, sumY), 16), _mm_srai_epi32(_mm_unpackhi_epi16(sumY, sumY), 16));
    AddTo(sxm + c, xmLo, xmHi);
    AddTo(sym + c, ymLo, ymHi);
    AddTo(squares + c, squaresLo, squaresHi);
    AddTo(shown + c, _mm_unpacklo_epi16(sumShown, zero), _mm_unpackhi_epi16(sumShown, zero));
  }
  for (int k = 0; k < frames; ++k) {
    for (int t = c; t + 1 < width; ++t) AddCellSteps(rows[k], means[k], width, t, sx, sxm, sy, sym, squares, shown);
  }
}

void CellRowSse2(const uint8_t* top, const uint8_t* bottom, int count, uint8_t* out) {
  CellRowBody(top, bottom, count, out);
}
PRAMVIX_TARGET_AVX2 PRAMVIX_INLINE __m256i PairSums256(const uint8_t* at) {
  const __m256i x = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(at));
  return _mm256_add_epi16(_mm256_and_si256(x, _mm256_set1_epi16(0x00FF)), _mm256_srli_epi16(x, 8));
}

// 32 cells a step; the pack interleaves the 128-bit halves, which one
// permutation puts back in order.
PRAMVIX_TARGET_AVX2 void CellRowAvx2(const uint8_t* top, const uint8_t* bottom, int count, uint8_t* out) {
  const __m256i two = _mm256_set1_epi16(2);
  int c = 0;
  for (; c + 32 <= count; c += 32) {
    const __m256i a = _mm256_add_epi16(PairSums256(top + 2 * c), PairSums256(bottom + 2 * c));
    const __m256i b = _mm256_add_epi16(PairSums256(top + 2 * c + 32), PairSums256(bottom + 2 * c + 32));
    const __m256i packed = _mm256_packus_epi16(_mm256_srli_epi16(_mm256_add_epi16(a, two), 2),
                                               _mm256_srli_epi16(_mm256_add_epi16(b, two), 2));
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(out + c), _mm256_permute4x64_epi64(packed, 0xD8));
  }
  CellRowBody(top, bottom, count, out, c);
}
void StepSumSse2(const uint8_t* const* rows, const int16_t* const* means, int frames, int width, int32_t* sx,
                 int32_t* sxm, int32_t* sy, int32_t* sym, int32_t* squares, int32_t* shown) {
  StepSumBody(rows, means, frames, width, sx, sxm, sy, sym, squares, shown);
}
PRAMVIX_TARGET_AVX2 PRAMVIX_INLINE __m256i Widened256(const uint8_t* at) {
  return _mm256_cvtepu8_epi16(_mm_loadu_si128(reinterpret_cast<const __m128i*>(at)));
}

// Adds 32-bit lanes that hold cells 0-3 and 8-11 (low) and 4-7 and 12-15
// (high), as the 256-bit unpacks leave them, to the sums of 16 cells.
PRAMVIX_TARGET_AVX2 PRAMVIX_INLINE void AddTo256(int32_t* sums, __m256i low, __m256i high) {
  __m256i* at = reinterpret_cast<__m256i*>(sums);
  _mm256_storeu_si256(at, _mm256_add_epi32(_mm256_loadu_si256(at), _mm256_permute2x128_si256(low, high, 0x20)));
  _mm256_storeu_si256(at + 1, _mm256_add_epi32(_mm256_loadu_si256(at + 1), _mm256_permute2x128_si256(low, high, 0x31)));
}

// StepSumBody's steps for 16 cells at a time.
PRAMVIX_TARGET_AVX2 void StepSumAvx2(const uint8_t* const* rows, const int16_t* const* means, int frames, int width,
                                     int32_t* sx, int32_t* sxm, int32_t* sy, int32_t* sym, int32_t* squares,
                                     int32_t* shown) {
  const __m256i zero = _mm256_setzero_si256(), belowShown = _mm256_set1_epi16(kShownStep - 1);
  int c = 1;
  for (; c + 16 < width; c += 16) {
    __m256i sumX = zero, sumY = zero, squaresLo = zero, squaresHi = zero, sumShown = zero;
    __m256i xmLo = zero, xmHi = zero, ymLo = zero, ymHi = zero;
    __m256i gx[2], gy[2], m[2];
    for (int k = 0; k < frames; k += 2) {
      for (int j = 0; j < 2; ++j) {
        if (k + j == frames) {
          gx[j] = gy[j] = m[j] = zero;
          continue;
        }
        const uint8_t* row = rows[k + j] + c;
        gx[j] = _mm256_sub_epi16(Widened256(row + 1), Widened256(row - 1));
        gy[j] = _mm256_sub_epi16(Widened256(row + width), Widened256(row - width));
        m[j] = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(means[k + j] + c));
        sumX = _mm256_add_epi16(sumX, gx[j]);
        sumY = _mm256_add_epi16(sumY, gy[j]);
        const __m256i size = _mm256_add_epi16(_mm256_abs_epi16(gx[j]), _mm256_abs_epi16(gy[j]));
        sumShown = _mm256_sub_epi16(sumShown, _mm256_cmpgt_epi16(size, belowShown));
      }
      const __m256i xLo = _mm256_unpacklo_epi16(gx[0], gx[1]), xHi = _mm256_unpackhi_epi16(gx[0], gx[1]);
      const __m256i yLo = _mm256_unpacklo_epi16(gy[0], gy[1]), yHi = _mm256_unpackhi_epi16(gy[0], gy[1]);
      const __m256i mLo = _mm256_unpacklo_epi16(m[0], m[1]), mHi = _mm256_unpackhi_epi16(m[0], m[1]);
      squaresLo = _mm256_add_epi32(squaresLo, _mm256_add_epi32(_mm256_madd_epi16(xLo, xLo), _mm256_madd_epi16(yLo, yLo)));
      squaresHi = _mm256_add_epi32(squaresHi, _mm256_add_epi32(_mm256_madd_epi16(xHi, xHi), _mm256_madd_epi16(yHi, yHi)));
      xmLo = _mm256_add_epi32(xmLo, _mm256_madd_epi16(xLo, mLo));
      xmHi = _mm256_add_epi32(xmHi, _mm256_madd_epi16(xHi, mHi));
      ymLo = _mm256_add_epi32(ymLo, _mm256_madd_epi16(yLo, mLo));
      ymHi = _mm256_add_epi32(ymHi, _mm256_madd_epi16(yHi, mHi));
    }
    AddTo256(sx + c, _mm256_srai_epi32(_mm256_unpacklo_epi16(sumX, sumX), 16), _mm256_srai_epi32(_mm256_unpackhi_epi16(sumX, sumX), 16));
    AddTo256(sy + c, _mm256_srai_epi32(_mm256_unpacklo_epi16(sumY, sumY), 16), _mm256_srai_epi32(_mm256_unpackhi_epi16(sumY, sumY), 16));
    AddTo256(sxm + c, xmLo, xmHi);
    AddTo256(sym + c, ymLo, ymHi);
    AddTo256(squares + c, squaresLo, squaresHi);
    AddTo256(shown + c, _mm256_unpacklo_epi16(sumShown, zero), _mm256_unpackhi_epi16(sumShown, zero));
  }
  StepSumBody(rows, means, frames, width, sx, sxm, sy, sym, squares, shown, c);
}
#undef PRAMVIX_INLINE
#endif

}  // namespace

CellRowKernel CellRowFor(Simd simd) {
#if PRAMVIX_X86_64
  if (simd >= Simd::kAvx2) return CellRowAvx2;
  if (simd == Simd::kSse2) return CellRowSse2;
#endif
  (void)simd;
  return CellRowPlain;
}

StepSumKernel StepSumFor(Simd simd) {
#if PRAMVIX_X86_64
  if (simd >= Simd::kAvx2) return StepSumAvx2;
  if (simd == Simd::kSse2) return StepSumSse2;
#endif
  (void)simd;
  return StepSumPlain;
}

}  // namespace pramvix::cli::logo
