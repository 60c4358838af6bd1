// The switching filters' row tests in SSE2, for rows without marks
// (with marks, a position reads what an earlier one wrote, so those rows run
// the plain tests). Each pixel's luma is a 16-bit lane, the chroma byte masked
// off, so sums of three lumas fit; each lane tallies its own edges and hits,
// and the tallies are summed once per block of steps. Positions whose
// neighbours could fall outside a row run the plain code.
#include "detect/logo_edge_scan_x86.h"

#if PRAMVIX_X86_64
#include <algorithm>
#include <cstddef>
#include <cstdint>

#include "base/vector_lanes.h"

namespace pramvix {

namespace {

// A lane tally grows by at most one a step; summed after this many steps, it
// never leaves the signed 16-bit range.
constexpr int kBlockSteps = 1 << 14;

// A rule's comparisons as lane bounds: an edge where the logo difference
// exceeds edgeAbove, a step in the main frame where its difference exceeds
// stepAbove.
struct LaneRule {
  __m128i edgeAbove;
  __m128i stepAbove;
};

LaneRule IfLogoLanes(const TestRule& rule) {
  return {LaneBound(int64_t{rule.logoStep} - 1), LaneBound(rule.frameStep)};
}

LaneRule IfNoLogoLanes(const TestRule& rule) {
  return {LaneBound(int64_t{rule.logoStep} - 1), LaneBound(int64_t{rule.frameStep} - 1)};
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

// Where a block of whole steps of 8 positions from p ends.
int BlockEnd(int p, int end) { return p + 8 * std::min((end - p) / 8, kBlockSteps); }

void Add(RowCounts& counts, const RowCounts& more) {
  counts.hits += more.hits;
  counts.misses += more.misses;
}

// |luma(p − 2) − luma(p)| for p … p + 7: bytewise on the pixel pairs, then the
// chroma bytes' differences are dropped.
inline __m128i StepAt(const uint8_t* row, ptrdiff_t p) {
  const __m128i before = PixelsAt(row, p - 2);
  const __m128i now = PixelsAt(row, p);
  return _mm_and_si128(_mm_or_si128(_mm_subs_epu8(before, now), _mm_subs_epu8(now, before)), _mm_set1_epi16(0x00FF));
}

// The means of pixels q … q + 2 for q = p … p + 7, each a division by 3: for
// sums below 2^16, s / 3 is (s · 0xAAAB) >> 17.
inline __m128i Mean3At(const uint8_t* row, ptrdiff_t p) {
  const __m128i sum = _mm_add_epi16(_mm_add_epi16(LumaAt(row, p), LumaAt(row, p + 1)), LumaAt(row, p + 2));
  return _mm_srli_epi16(_mm_mulhi_epu16(sum, _mm_set1_epi16(static_cast<short>(0xAAAB))), 1);
}

// The edges and hits of 8 positions.
struct Masks {
  __m128i edge;
  __m128i hit;
};

// IfLogo's tests at p … p + 7, from the logo means at p − 4 … p + 3 (left)
// and p … p + 7 (right).
inline Masks IfLogoMasks(const uint8_t* main, ptrdiff_t p, __m128i left, __m128i right, const LaneRule& rule) {
  return {_mm_cmpgt_epi16(Distance(left, right), rule.edgeAbove), _mm_cmpgt_epi16(StepAt(main, p), rule.stepAbove)};
}

inline Masks IfLogoMasksAt(const uint8_t* main, const uint8_t* logo, ptrdiff_t p, const LaneRule& rule) {
  return IfLogoMasks(main, p, Mean3At(logo, p - 4), Mean3At(logo, p), rule);
}

// The left means of a step are the last four right means of the step before
// and the first four of its own: [before's high half, right's low half].
inline __m128i LeftMeans(__m128i before, __m128i right) {
  return _mm_castpd_si128(_mm_shuffle_pd(_mm_castsi128_pd(before), _mm_castsi128_pd(right), 1));
}

inline Masks IfNoLogoMasks(const uint8_t* main, const uint8_t* logo, ptrdiff_t p, const LaneRule& rule,
                           __m128i firstBright) {
  const __m128i dark = _mm_and_si128(_mm_cmplt_epi16(LumaAt(main, p), _mm_set1_epi16(16)), firstBright);
  return {_mm_cmpgt_epi16(StepAt(logo, p), rule.edgeAbove),
          _mm_or_si128(_mm_cmpgt_epi16(StepAt(main, p), rule.stepAbove), dark)};
}

// Only the last `count` of the 8 positions (the others were counted before).
inline Masks OnlyLast(Masks m, int count) {
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
struct Tally {
  __m128i edges = _mm_setzero_si128();
  __m128i hits = _mm_setzero_si128();

  void Add(const Masks& m) {
    edges = _mm_sub_epi16(edges, m.edge);
    hits = _mm_sub_epi16(hits, _mm_and_si128(m.edge, m.hit));
  }
  void AddTo(RowCounts& counts) const {
    const int allHits = SumInt32(_mm_madd_epi16(hits, _mm_set1_epi16(1)));
    counts.hits += allHits;
    counts.misses += SumInt32(_mm_madd_epi16(edges, _mm_set1_epi16(1))) - allHits;
  }
};

}  // namespace

// Each test runs whole steps over the inner positions, then one more step
// that ends with them and counts only the positions not counted yet; the
// positions before and after the inner ones, and rows with too few of them
// for one step, run the plain test.

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
  __m128i before = _mm_unpacklo_epi64(Mean3At(l, inner.begin - 4), Mean3At(l, inner.begin - 4));
  for (int p = inner.begin; p < inner.end;) {
    Tally tally;
    for (const int stop = BlockEnd(p, inner.end); p < stop; p += 8) {
      const __m128i right = Mean3At(l, p);
      tally.Add(IfLogoMasks(m, p, LeftMeans(before, right), right, lanes));
      before = right;
    }
    if (p < inner.end && inner.end - p < 8) {
      tally.Add(OnlyLast(IfLogoMasksAt(m, l, inner.end - 8, lanes), inner.end - p));
      p = inner.end;
    }
    tally.AddTo(counts);
  }
  if (inner.end < end) Add(counts, IfLogoRow(main, logo, inner.end, end - inner.end, rule));
  return counts;
}

// Without marks, the row's first pixel stays as it is: whether it is dark is
// decided once.
RowCounts IfNoLogoRowSse2(MutableLumaRow main, ConstLumaRow logo, int x, int width, const TestRule& rule) {
  if (rule.marking || width <= 0) return IfNoLogoRow(main, logo, x, width, rule);
  const int end = x + width;
  const Span inner = IfNoLogoInner(x, end);
  if (inner.end - inner.begin < 8) return IfNoLogoRow(main, logo, x, width, rule);
  RowCounts counts = x < inner.begin ? IfNoLogoRow(main, logo, x, inner.begin - x, rule) : RowCounts{};
  const LaneRule lanes = IfNoLogoLanes(rule);
  const __m128i firstBright = _mm_set1_epi16(main[x] >= 16 ? -1 : 0);
  const uint8_t* m = &main[0];
  const uint8_t* l = &logo[0];
  for (int p = inner.begin; p < inner.end;) {
    Tally tally;
    for (const int stop = BlockEnd(p, inner.end); p < stop; p += 8) {
      tally.Add(IfNoLogoMasks(m, l, p, lanes, firstBright));
    }
    if (p < inner.end && inner.end - p < 8) {
      tally.Add(OnlyLast(IfNoLogoMasks(m, l, inner.end - 8, lanes, firstBright), inner.end - p));
      p = inner.end;
    }
    tally.AddTo(counts);
  }
  return counts;
}

}  // namespace pramvix
#endif
