#include "yuy2_rows.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

// Sixteen pairs at a time with SSE2, which every x86-64 CPU has; the plain
// loops do the rest of a row, and all of it elsewhere. Both write the same
// bytes.
namespace pramvix::cli {

namespace {

#if defined(__SSE2__)
constexpr int kBlock = 16;  // pairs per step

__m128i Load(const uint8_t* p) { return _mm_loadu_si128(reinterpret_cast<const __m128i*>(p)); }
void Store(uint8_t* p, __m128i x) { _mm_storeu_si128(reinterpret_cast<__m128i*>(p), x); }
// The even bytes of a and b, in order.
__m128i EvenBytes(__m128i a, __m128i b) {
  const __m128i low = _mm_set1_epi16(0xFF);
  return _mm_packus_epi16(_mm_and_si128(a, low), _mm_and_si128(b, low));
}
// The odd bytes of a and b, in order.
__m128i OddBytes(__m128i a, __m128i b) { return _mm_packus_epi16(_mm_srli_epi16(a, 8), _mm_srli_epi16(b, 8)); }

// U and V of 16 pairs from the 64 packed bytes (or the means of two rows').
template <bool kMean>
void SplitChroma(const uint8_t* top, const uint8_t* bottom, uint8_t* u, uint8_t* v) {
  __m128i uv[2];
  for (int half = 0; half < 2; ++half) {
    __m128i a = Load(top + 32 * half), b = Load(top + 32 * half + 16);
    if constexpr (kMean) {
      a = _mm_avg_epu8(a, Load(bottom + 32 * half));  // (x + y + 1) >> 1
      b = _mm_avg_epu8(b, Load(bottom + 32 * half + 16));
    }
    uv[half] = OddBytes(a, b);  // U V U V … of 8 pairs
  }
  Store(u, EvenBytes(uv[0], uv[1]));
  Store(v, OddBytes(uv[0], uv[1]));
}
#endif

}  // namespace

void PackRow(const uint8_t* y, const uint8_t* u, const uint8_t* v, int pairs, uint8_t* out) {
  int i = 0;
#if defined(__SSE2__)
  for (; i + kBlock <= pairs; i += kBlock) {
    const __m128i uu = Load(u + i), vv = Load(v + i);
    const __m128i uvLow = _mm_unpacklo_epi8(uu, vv), uvHigh = _mm_unpackhi_epi8(uu, vv);
    const __m128i y0 = Load(y + 2 * i), y1 = Load(y + 2 * i + 16);
    Store(out + 4 * i, _mm_unpacklo_epi8(y0, uvLow));
    Store(out + 4 * i + 16, _mm_unpackhi_epi8(y0, uvLow));
    Store(out + 4 * i + 32, _mm_unpacklo_epi8(y1, uvHigh));
    Store(out + 4 * i + 48, _mm_unpackhi_epi8(y1, uvHigh));
  }
#endif
  for (; i < pairs; ++i) {
    out[4 * i] = y[2 * i];
    out[4 * i + 1] = u[i];
    out[4 * i + 2] = y[2 * i + 1];
    out[4 * i + 3] = v[i];
  }
}

void LumaOfRow(const uint8_t* in, int pairs, uint8_t* y) {
  int i = 0;
#if defined(__SSE2__)
  for (; i + kBlock <= pairs; i += kBlock) {
    Store(y + 2 * i, EvenBytes(Load(in + 4 * i), Load(in + 4 * i + 16)));
    Store(y + 2 * i + 16, EvenBytes(Load(in + 4 * i + 32), Load(in + 4 * i + 48)));
  }
#endif
  for (int p = 2 * i; p < 2 * pairs; ++p) y[p] = in[2 * p];
}

void ChromaOfRow(const uint8_t* in, int pairs, uint8_t* u, uint8_t* v) {
  int i = 0;
#if defined(__SSE2__)
  for (; i + kBlock <= pairs; i += kBlock) SplitChroma<false>(in + 4 * i, nullptr, u + i, v + i);
#endif
  for (; i < pairs; ++i) {
    u[i] = in[4 * i + 1];
    v[i] = in[4 * i + 3];
  }
}

void ChromaMeanOfRows(const uint8_t* top, const uint8_t* bottom, int pairs, uint8_t* u, uint8_t* v) {
  int i = 0;
#if defined(__SSE2__)
  for (; i + kBlock <= pairs; i += kBlock) SplitChroma<true>(top + 4 * i, bottom + 4 * i, u + i, v + i);
#endif
  for (; i < pairs; ++i) {
    u[i] = static_cast<uint8_t>((top[4 * i + 1] + bottom[4 * i + 1] + 1) >> 1);
    v[i] = static_cast<uint8_t>((top[4 * i + 3] + bottom[4 * i + 3] + 1) >> 1);
  }
}

}  // namespace pramvix::cli
