// The switching filters' row tests in SSE2 and AVX2, for rows without marks
// (with marks, a position reads what an earlier one wrote, so those rows run
// the plain tests). Each pixel's luma is a 16-bit lane, the chroma byte masked
// off, so sums of three lumas fit; each lane tallies its own edges and hits,
// and the tallies are summed once per block of steps. Positions whose
// neighbours could fall outside a row run the plain code.
#include "detect/logo_edge_scan_x86.h"

#if PRAMVIX_X86_64
#include <immintrin.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>

#include "base/arithmetic.h"

namespace pramvix {

namespace {

// A lane tally grows by at most one a step; summed after this many steps, it
// never leaves the signed 16-bit range.
constexpr int kBlockSteps = 1 << 14;

// Differences of lumas lie in 0…255, so d > bound decides the same as with
// the bound clamped to −1…255, which fits a lane; d ≥ step is d > step − 1.
short AboveBound(int64_t bound) { return static_cast<short>(std::clamp<int64_t>(bound, -1, 255)); }

// A rule's comparisons as lane bounds: an edge where the logo difference
// exceeds edgeAbove, a step in the main frame where its difference exceeds
// stepAbove.
struct LaneRule {
  short edgeAbove;
  short stepAbove;
};

LaneRule IfLogoLanes(const TestRule& rule) {
  return {AboveBound(int64_t{rule.logoStep} - 1), AboveBound(rule.frameStep)};
}

LaneRule IfNoLogoLanes(const TestRule& rule) {
  return {AboveBound(int64_t{rule.logoStep} - 1), AboveBound(int64_t{rule.frameStep} - 1)};
}

struct Span {
  int begin;
  int end;
};

// The positions of x … end − 1 whose neighbours all lie inside both rows
// (the region lies inside both): IfLogo reads logo pixels p − 4 … p + 2 and
// main pixel p − 2.
Span IfLogoInner(ConstLumaRow logo, int x, int end) {
  const int begin = std::min(std::max(x, 4), end);
  return {begin, std::max(begin, std::min(end, logo.Width() - 2))};
}

// IfNoLogo reads pixels p − 2 of both rows.
Span IfNoLogoInner(int x, int end) { return {std::min(std::max(x, 2), end), end}; }

// Where a block of whole steps of n positions from p ends.
int BlockEnd(int p, int end, int n) { return p + n * std::min((end - p) / n, kBlockSteps); }

void Add(RowCounts& counts, const RowCounts& more) {
  counts.hits += more.hits;
  counts.misses += more.misses;
}

// Positions from … to − 1 as IfNoLogoRow counts them when it writes no marks;
// firstBright: the row's first region pixel is 16 or more.
RowCounts IfNoLogoCounts(MutableLumaRow main, ConstLumaRow logo, bool firstBright, int from, int to,
                         const TestRule& rule) {
  RowCounts counts;
  for (int p = from; p < to; ++p) {
    if (Abs(logo.Held(p - 2) - logo[p]) < rule.logoStep) continue;
    const bool dark = main[p] < 16 && firstBright;
    if (Abs(main.Held(p - 2) - main[p]) >= rule.frameStep || dark) {
      ++counts.hits;
    } else {
      ++counts.misses;
    }
  }
  return counts;
}

// --- 8 positions in SSE2 lanes; rows are addressed from pixel 0's luma. ---

inline __m128i Load8(const uint8_t* row, ptrdiff_t p) {
  return _mm_loadu_si128(reinterpret_cast<const __m128i*>(row + 2 * p));
}

inline __m128i Luma8(const uint8_t* row, ptrdiff_t p) { return _mm_and_si128(Load8(row, p), _mm_set1_epi16(0x00FF)); }

// |luma(p − 2) − luma(p)| for p … p + 7. Bytewise on the pixel pairs, then the
// chroma bytes' differences are dropped.
inline __m128i StepFrom8(const uint8_t* row, ptrdiff_t p) {
  const __m128i before = Load8(row, p - 2);
  const __m128i now = Load8(row, p);
  const __m128i step = _mm_or_si128(_mm_subs_epu8(before, now), _mm_subs_epu8(now, before));
  return _mm_and_si128(step, _mm_set1_epi16(0x00FF));
}

// The means of pixels q … q + 2 for q = p … p + 7, each a division by 3: for
// sums below 2^16, s / 3 is (s · 0xAAAB) >> 17.
inline __m128i Mean3At8(const uint8_t* row, ptrdiff_t p) {
  const __m128i sum = _mm_add_epi16(_mm_add_epi16(Luma8(row, p), Luma8(row, p + 1)), Luma8(row, p + 2));
  return _mm_srli_epi16(_mm_mulhi_epu16(sum, _mm_set1_epi16(static_cast<short>(0xAAAB))), 1);
}

inline __m128i AbsDiff8(__m128i a, __m128i b) { return _mm_or_si128(_mm_subs_epu16(a, b), _mm_subs_epu16(b, a)); }

struct Masks8 {
  __m128i edge;
  __m128i hit;
};

// IfLogo's tests at p … p + 7, from the logo means at p − 4 … p + 3 (left)
// and p … p + 7 (right).
inline Masks8 IfLogo8(const uint8_t* main, ptrdiff_t p, __m128i left, __m128i right, const LaneRule& rule) {
  return {_mm_cmpgt_epi16(AbsDiff8(left, right), _mm_set1_epi16(rule.edgeAbove)),
          _mm_cmpgt_epi16(StepFrom8(main, p), _mm_set1_epi16(rule.stepAbove))};
}

inline Masks8 IfLogoAt8(const uint8_t* main, const uint8_t* logo, ptrdiff_t p, const LaneRule& rule) {
  return IfLogo8(main, p, Mean3At8(logo, p - 4), Mean3At8(logo, p), rule);
}

// The left means of a step are the last four right means of the step before
// and the first four of its own: [before's high half, right's low half].
inline __m128i LeftMeans8(__m128i before, __m128i right) {
  return _mm_castpd_si128(_mm_shuffle_pd(_mm_castsi128_pd(before), _mm_castsi128_pd(right), 1));
}

inline Masks8 IfNoLogo8(const uint8_t* main, const uint8_t* logo, ptrdiff_t p, const LaneRule& rule,
                        __m128i firstBright) {
  const __m128i dark = _mm_and_si128(_mm_cmplt_epi16(Luma8(main, p), _mm_set1_epi16(16)), firstBright);
  return {_mm_cmpgt_epi16(StepFrom8(logo, p), _mm_set1_epi16(rule.edgeAbove)),
          _mm_or_si128(_mm_cmpgt_epi16(StepFrom8(main, p), _mm_set1_epi16(rule.stepAbove)), dark)};
}

// Only the last `count` of the 8 positions (the others were counted before).
inline Masks8 Last8(Masks8 m, int count) {
  const __m128i lane = _mm_setr_epi16(0, 1, 2, 3, 4, 5, 6, 7);
  m.edge = _mm_and_si128(m.edge, _mm_cmpgt_epi16(lane, _mm_set1_epi16(static_cast<short>(7 - count))));
  return m;
}

inline int SumInt32(__m128i v) {
  v = _mm_add_epi32(v, _mm_shuffle_epi32(v, _MM_SHUFFLE(1, 0, 3, 2)));
  v = _mm_add_epi32(v, _mm_shuffle_epi32(v, _MM_SHUFFLE(2, 3, 0, 1)));
  return _mm_cvtsi128_si32(v);
}

// Edges and hits per lane (a true mask lane is −1, so subtracting it counts).
struct Tally8 {
  __m128i edges = _mm_setzero_si128();
  __m128i hits = _mm_setzero_si128();

  void Add(const Masks8& m) {
    edges = _mm_sub_epi16(edges, m.edge);
    hits = _mm_sub_epi16(hits, _mm_and_si128(m.edge, m.hit));
  }
  void AddTo(RowCounts& counts) const {
    const int allHits = SumInt32(_mm_madd_epi16(hits, _mm_set1_epi16(1)));
    counts.hits += allHits;
    counts.misses += SumInt32(_mm_madd_epi16(edges, _mm_set1_epi16(1))) - allHits;
  }
};

// --- 16 positions in AVX2 lanes. ---

PRAMVIX_TARGET_AVX2 inline __m256i Load16(const uint8_t* row, ptrdiff_t p) {
  return _mm256_loadu_si256(reinterpret_cast<const __m256i*>(row + 2 * p));
}

PRAMVIX_TARGET_AVX2 inline __m256i Luma16(const uint8_t* row, ptrdiff_t p) {
  return _mm256_and_si256(Load16(row, p), _mm256_set1_epi16(0x00FF));
}

PRAMVIX_TARGET_AVX2 inline __m256i StepFrom16(const uint8_t* row, ptrdiff_t p) {
  const __m256i before = Load16(row, p - 2);
  const __m256i now = Load16(row, p);
  const __m256i step = _mm256_or_si256(_mm256_subs_epu8(before, now), _mm256_subs_epu8(now, before));
  return _mm256_and_si256(step, _mm256_set1_epi16(0x00FF));
}

PRAMVIX_TARGET_AVX2 inline __m256i Mean3At16(const uint8_t* row, ptrdiff_t p) {
  const __m256i sum = _mm256_add_epi16(_mm256_add_epi16(Luma16(row, p), Luma16(row, p + 1)), Luma16(row, p + 2));
  return _mm256_srli_epi16(_mm256_mulhi_epu16(sum, _mm256_set1_epi16(static_cast<short>(0xAAAB))), 1);
}

PRAMVIX_TARGET_AVX2 inline __m256i AbsDiff16(__m256i a, __m256i b) {
  return _mm256_or_si256(_mm256_subs_epu16(a, b), _mm256_subs_epu16(b, a));
}

struct Masks16 {
  __m256i edge;
  __m256i hit;
};

PRAMVIX_TARGET_AVX2 inline Masks16 IfLogo16(const uint8_t* main, ptrdiff_t p, __m256i left, __m256i right,
                                            const LaneRule& rule) {
  return {_mm256_cmpgt_epi16(AbsDiff16(left, right), _mm256_set1_epi16(rule.edgeAbove)),
          _mm256_cmpgt_epi16(StepFrom16(main, p), _mm256_set1_epi16(rule.stepAbove))};
}

PRAMVIX_TARGET_AVX2 inline Masks16 IfLogoAt16(const uint8_t* main, const uint8_t* logo, ptrdiff_t p,
                                              const LaneRule& rule) {
  return IfLogo16(main, p, Mean3At16(logo, p - 4), Mean3At16(logo, p), rule);
}

// Right means turned by one quarter, [12…15, 0…3, 4…7, 8…11]: the left means
// of a step are those of its own with the first quarter taken from the turned
// means of the step before.
PRAMVIX_TARGET_AVX2 inline __m256i Turned16(__m256i right) {
  return _mm256_permute4x64_epi64(right, _MM_SHUFFLE(2, 1, 0, 3));
}

PRAMVIX_TARGET_AVX2 inline __m256i LeftMeans16(__m256i turnedBefore, __m256i turned) {
  return _mm256_blend_epi32(turned, turnedBefore, 0x03);
}

PRAMVIX_TARGET_AVX2 inline Masks16 IfNoLogo16(const uint8_t* main, const uint8_t* logo, ptrdiff_t p,
                                              const LaneRule& rule, __m256i firstBright) {
  const __m256i dark = _mm256_and_si256(_mm256_cmpgt_epi16(_mm256_set1_epi16(16), Luma16(main, p)), firstBright);
  return {_mm256_cmpgt_epi16(StepFrom16(logo, p), _mm256_set1_epi16(rule.edgeAbove)),
          _mm256_or_si256(_mm256_cmpgt_epi16(StepFrom16(main, p), _mm256_set1_epi16(rule.stepAbove)), dark)};
}

PRAMVIX_TARGET_AVX2 inline Masks16 Last16(Masks16 m, int count) {
  const __m256i lane = _mm256_setr_epi16(0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15);
  m.edge = _mm256_and_si256(m.edge, _mm256_cmpgt_epi16(lane, _mm256_set1_epi16(static_cast<short>(15 - count))));
  return m;
}

PRAMVIX_TARGET_AVX2 inline int SumLanes16(__m256i v) {
  const __m256i pairs = _mm256_madd_epi16(v, _mm256_set1_epi16(1));
  return SumInt32(_mm_add_epi32(_mm256_castsi256_si128(pairs), _mm256_extracti128_si256(pairs, 1)));
}

struct Tally16 {
  __m256i edges;
  __m256i hits;

  PRAMVIX_TARGET_AVX2 Tally16() : edges(_mm256_setzero_si256()), hits(_mm256_setzero_si256()) {}
  PRAMVIX_TARGET_AVX2 void Add(const Masks16& m) {
    edges = _mm256_sub_epi16(edges, m.edge);
    hits = _mm256_sub_epi16(hits, _mm256_and_si256(m.edge, m.hit));
  }
  PRAMVIX_TARGET_AVX2 void AddTo(RowCounts& counts) const {
    const int allHits = SumLanes16(hits);
    counts.hits += allHits;
    counts.misses += SumLanes16(edges) - allHits;
  }
};

}  // namespace

// Each variant runs whole steps over the inner positions, then one more step
// that ends with them and counts only the positions not counted yet; a row
// with too few inner positions for one step runs a narrower variant.

RowCounts IfLogoRowSse2(MutableLumaRow main, ConstLumaRow logo, int x, int width, const TestRule& rule) {
  if (rule.marking || width <= 0) return IfLogoRow(main, logo, x, width, rule);
  const int end = x + width;
  const Span inner = IfLogoInner(logo, x, end);
  if (inner.end - inner.begin < 8) return IfLogoRow(main, logo, x, width, rule);
  RowCounts counts = x < inner.begin ? IfLogoRow(main, logo, x, inner.begin - x, rule) : RowCounts{};
  const LaneRule lanes = IfLogoLanes(rule);
  const uint8_t* m = &main[0];
  const uint8_t* l = &logo[0];
  // Each step's right means serve the next step as left ones; the first step
  // finds the means at p − 4 … p − 1 in the high half.
  __m128i before = _mm_unpacklo_epi64(Mean3At8(l, inner.begin - 4), Mean3At8(l, inner.begin - 4));
  for (int p = inner.begin; p < inner.end;) {
    Tally8 tally;
    for (const int stop = BlockEnd(p, inner.end, 8); p < stop; p += 8) {
      const __m128i right = Mean3At8(l, p);
      tally.Add(IfLogo8(m, p, LeftMeans8(before, right), right, lanes));
      before = right;
    }
    if (p < inner.end && inner.end - p < 8) {
      tally.Add(Last8(IfLogoAt8(m, l, inner.end - 8, lanes), inner.end - p));
      p = inner.end;
    }
    tally.AddTo(counts);
  }
  if (inner.end < end) Add(counts, IfLogoRow(main, logo, inner.end, end - inner.end, rule));
  return counts;
}

PRAMVIX_TARGET_AVX2
RowCounts IfLogoRowAvx2(MutableLumaRow main, ConstLumaRow logo, int x, int width, const TestRule& rule) {
  if (rule.marking || width <= 0) return IfLogoRow(main, logo, x, width, rule);
  const int end = x + width;
  const Span inner = IfLogoInner(logo, x, end);
  if (inner.end - inner.begin < 16) return IfLogoRowSse2(main, logo, x, width, rule);
  RowCounts counts = x < inner.begin ? IfLogoRow(main, logo, x, inner.begin - x, rule) : RowCounts{};
  const LaneRule lanes = IfLogoLanes(rule);
  const uint8_t* m = &main[0];
  const uint8_t* l = &logo[0];
  // Each step's right means serve the next step as left ones; the first step
  // finds the means at p − 4 … p − 1 in the first quarter.
  __m256i turnedBefore = Mean3At16(l, inner.begin - 4);
  for (int p = inner.begin; p < inner.end;) {
    Tally16 tally;
    for (const int stop = BlockEnd(p, inner.end, 16); p < stop; p += 16) {
      const __m256i right = Mean3At16(l, p);
      const __m256i turned = Turned16(right);
      tally.Add(IfLogo16(m, p, LeftMeans16(turnedBefore, turned), right, lanes));
      turnedBefore = turned;
    }
    if (p < inner.end && inner.end - p < 16) {
      tally.Add(Last16(IfLogoAt16(m, l, inner.end - 16, lanes), inner.end - p));
      p = inner.end;
    }
    tally.AddTo(counts);
  }
  if (inner.end < end) Add(counts, IfLogoRow(main, logo, inner.end, end - inner.end, rule));
  return counts;
}

RowCounts IfNoLogoRowSse2(MutableLumaRow main, ConstLumaRow logo, int x, int width, const TestRule& rule) {
  if (rule.marking || width <= 0) return IfNoLogoRow(main, logo, x, width, rule);
  const int end = x + width;
  const Span inner = IfNoLogoInner(x, end);
  if (inner.end - inner.begin < 8) return IfNoLogoRow(main, logo, x, width, rule);
  const bool firstBright = main[x] >= 16;
  RowCounts counts = IfNoLogoCounts(main, logo, firstBright, x, inner.begin, rule);
  const LaneRule lanes = IfNoLogoLanes(rule);
  const __m128i bright = _mm_set1_epi16(firstBright ? -1 : 0);
  const uint8_t* m = &main[0];
  const uint8_t* l = &logo[0];
  for (int p = inner.begin; p < inner.end;) {
    Tally8 tally;
    for (const int stop = BlockEnd(p, inner.end, 8); p < stop; p += 8) {
      tally.Add(IfNoLogo8(m, l, p, lanes, bright));
    }
    if (p < inner.end && inner.end - p < 8) {
      tally.Add(Last8(IfNoLogo8(m, l, inner.end - 8, lanes, bright), inner.end - p));
      p = inner.end;
    }
    tally.AddTo(counts);
  }
  return counts;
}

PRAMVIX_TARGET_AVX2
RowCounts IfNoLogoRowAvx2(MutableLumaRow main, ConstLumaRow logo, int x, int width, const TestRule& rule) {
  if (rule.marking || width <= 0) return IfNoLogoRow(main, logo, x, width, rule);
  const int end = x + width;
  const Span inner = IfNoLogoInner(x, end);
  if (inner.end - inner.begin < 16) return IfNoLogoRowSse2(main, logo, x, width, rule);
  const bool firstBright = main[x] >= 16;
  RowCounts counts = IfNoLogoCounts(main, logo, firstBright, x, inner.begin, rule);
  const LaneRule lanes = IfNoLogoLanes(rule);
  const __m256i bright = _mm256_set1_epi16(firstBright ? -1 : 0);
  const uint8_t* m = &main[0];
  const uint8_t* l = &logo[0];
  for (int p = inner.begin; p < inner.end;) {
    Tally16 tally;
    for (const int stop = BlockEnd(p, inner.end, 16); p < stop; p += 16) {
      tally.Add(IfNoLogo16(m, l, p, lanes, bright));
    }
    if (p < inner.end && inner.end - p < 16) {
      tally.Add(Last16(IfNoLogo16(m, l, inner.end - 16, lanes, bright), inner.end - p));
      p = inner.end;
    }
    tally.AddTo(counts);
  }
  return counts;
}

}  // namespace pramvix
#endif
