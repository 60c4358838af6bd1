#include "region_search.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#if PRAMVIX_X86_64
#include <emmintrin.h>
#endif

#include "sampling.h"
#include "search_kernels.h"

namespace pramvix::cli::logo {

namespace {

// Adds the sums of each `scale` neighbouring bytes of a row (scale 2, 4 or
// 8) to sums[0..count): the bytes are summed in place, two or four to a word.
void AddCellRow(const uint8_t* __restrict row, int scale, int count, uint32_t* __restrict sums) {
  if (scale == 2) {
    for (int c = 0; c < count; ++c) {
      uint16_t x;
      std::memcpy(&x, row + 2 * c, 2);
      sums[c] += (x & 0xFFu) + (x >> 8);
    }
    return;
  }
  auto quad = [](const uint8_t* at) {
    uint32_t x;
    std::memcpy(&x, at, 4);
    x = (x & 0x00FF00FFu) + ((x >> 8) & 0x00FF00FFu);
    return (x & 0xFFFFu) + (x >> 16);
  };
  if (scale == 4) {
    for (int c = 0; c < count; ++c) sums[c] += quad(row + 4 * c);
    return;
  }
  for (int c = 0; c < count; ++c) sums[c] += quad(row + 8 * c) + quad(row + 8 * c + 4);
}

// The steady cells of a row, from cell `from` to the last but one: whether
// the step that the mean and the line in m explain reaches `least` and
// `share` of all the step's squares, and if so how steady it is, 1 … 255
// (0 where it is not steady): the share of the squares explained, times the
// share of the frames in which the step shows. A line in m explains a step
// that stood still in one scene as well as a logo's, when that scene's
// brightness differs from the rest: the logo's step shows in most frames.
struct SteadyRow {
  const int32_t *sx, *sxm, *sy, *sym, *squares, *shown;
  const double *mean, *inverse;  // per cell: its block's
  int width;
  double perFrame, least, share;
  uint8_t* out;

  double Explained(int c) const {
    const double gx = sx[c], gy = sy[c];
    const double cx = sxm[c] - gx * mean[c], cy = sym[c] - gy * mean[c];
    return (gx * gx + gy * gy) * perFrame + (cx * cx + cy * cy) * inverse[c];
  }
  uint8_t Steadiness(int c, double explained) const {
    const double showing = std::min(1.0, shown[c] * perFrame);
    return static_cast<uint8_t>(std::clamp(255.0 * showing * explained / std::max(1, squares[c]), 1.0, 255.0));
  }

  void Plain(int from) const {
    for (int c = from; c + 1 < width; ++c) {
      const double explained = Explained(c);
      out[c] = explained >= least && explained >= share * squares[c] ? Steadiness(c, explained) : 0;
    }
  }

#if PRAMVIX_X86_64
  // Two cells a step, with the same operations in the same order as the
  // plain code, so the same results; the few steady cells get their
  // steadiness from the plain code.
  void Sse2() const {
    auto load = [](const int32_t* at) { return _mm_cvtepi32_pd(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(at))); };
    const __m128d perFrames = _mm_set1_pd(perFrame), leasts = _mm_set1_pd(least), shares = _mm_set1_pd(share);
    int c = 1;
    for (; c + 2 < width; c += 2) {
      const __m128d gx = load(sx + c), gy = load(sy + c), m = _mm_loadu_pd(mean + c);
      const __m128d cx = _mm_sub_pd(load(sxm + c), _mm_mul_pd(gx, m)), cy = _mm_sub_pd(load(sym + c), _mm_mul_pd(gy, m));
      const __m128d explained =
          _mm_add_pd(_mm_mul_pd(_mm_add_pd(_mm_mul_pd(gx, gx), _mm_mul_pd(gy, gy)), perFrames),
                     _mm_mul_pd(_mm_add_pd(_mm_mul_pd(cx, cx), _mm_mul_pd(cy, cy)), _mm_loadu_pd(inverse + c)));
      const int steady = _mm_movemask_pd(
          _mm_and_pd(_mm_cmpge_pd(explained, leasts), _mm_cmpge_pd(explained, _mm_mul_pd(shares, load(squares + c)))));
      out[c] = steady & 1 ? Steadiness(c, Explained(c)) : 0;
      out[c + 1] = steady & 2 ? Steadiness(c + 1, Explained(c + 1)) : 0;
    }
    Plain(c);
  }
#endif
};

// Cells of 2x2 pixels up to full HD: coarser ones lose the steps of thin,
// faint strokes a few pixels apart (a cell of 4 pixels averages a pattern of
// 8 away). 4x4 from 3840 pixels wide, 8x8 from 7680, where logos are drawn
// as much larger.
int ScaleFor(int width) {
  int scale = 2;
  while (scale < 8 && width / (2 * scale) >= 960) scale *= 2;
  return scale;
}

}  // namespace

EdgeStatistics::EdgeStatistics(int width, int height, Simd simd)
    : width_(width), height_(height), scale_(ScaleFor(width)), cellRow_(CellRowFor(simd)), stepSum_(StepSumFor(simd)),
      vectors_(simd != Simd::kScalar) {
  shift_ = 0;
  while ((1 << shift_) < scale_) ++shift_;
  cw_ = width / scale_, ch_ = height / scale_;
  block_ = 32 / scale_;
  bw_ = (cw_ + block_ - 1) / block_;
  bh_ = (ch_ + block_ - 1) / block_;
  const size_t cells = static_cast<size_t>(cw_) * ch_;
  batch_.assign(kBatch, std::vector<uint8_t>(CellBytes()));
  means_.resize(static_cast<size_t>(cw_) * bh_ * kBatch);
  sumM_.assign(static_cast<size_t>(bw_) * bh_, 0);
  sumM2_.assign(sumM_.size(), 0);
  sums_.assign(cells * 6, 0);
}

bool EdgeStatistics::MakeCells(const FrameView& frame, uint8_t* cells) const {
  if (frame.width != width_ || frame.height != height_ || !HasCells()) return false;
  MakeCells([&](int top, int) { return frame.y + static_cast<size_t>(top) * width_; }, cells);
  return true;
}

void EdgeStatistics::MakeCells(const LumaRows& luma, uint8_t* cells) const {
  static_assert(kBandRows % 32 == 0, "a band holds whole blocks at every scale");
  const int bits = 2 * shift_, cw = cw_, bandCells = kBandRows / scale_;
  const uint32_t rounding = 1u << (bits - 1);
  std::vector<uint32_t> row(scale_ == 2 ? 0 : static_cast<size_t>(cw));
  std::vector<uint32_t> columns(static_cast<size_t>(cw));
  uint8_t* blockMeans = cells + static_cast<size_t>(cw) * ch_;
  for (int first = 0; first < ch_; first += bandCells) {
    const int last = std::min(ch_, first + bandCells);
    const uint8_t* band = luma(first * scale_, (last - first) * scale_);
    for (int r = first; r < last; ++r) {
      const uint8_t* top = band + static_cast<size_t>((r - first) * scale_) * width_;
      uint8_t* __restrict out = cells + static_cast<size_t>(r) * cw;
      if (scale_ == 2) {
        cellRow_(top, top + width_, cw, out);
        continue;
      }
      uint32_t* __restrict sums = row.data();
      std::fill(sums, sums + cw, 0u);
      for (int k = 0; k < scale_; ++k) AddCellRow(top + static_cast<size_t>(k) * width_, scale_, cw, sums);
      for (int c = 0; c < cw; ++c) out[c] = static_cast<uint8_t>((sums[c] + rounding) >> bits);
    }
    // The band's block means, while its cells are at hand: columns summed
    // down each block row, then across each block; the mean of bytes is a
    // byte.
    for (int br = first / block_; br * block_ < last; ++br) {
      std::fill(columns.begin(), columns.end(), 0u);
      const int rows = std::min(ch_, (br + 1) * block_) - br * block_;
      for (int r = br * block_; r < br * block_ + rows; ++r) {
        const uint8_t* __restrict cellRow = cells + static_cast<size_t>(r) * cw;
        uint32_t* __restrict sums = columns.data();
        for (int c = 0; c < cw; ++c) sums[c] += cellRow[c];
      }
      for (int b = 0; b < bw_; ++b) {
        const int end = std::min(cw_, (b + 1) * block_);
        uint32_t sum = 0;
        for (int c = b * block_; c < end; ++c) sum += columns[static_cast<size_t>(c)];
        blockMeans[static_cast<size_t>(br) * bw_ + b] = static_cast<uint8_t>(sum / static_cast<uint32_t>(rows * (end - b * block_)));
      }
    }
  }
}

void EdgeStatistics::Add(const FrameView& frame) {
  // The 32-bit sums hold kMaxSampleCap frames of the largest steps.
  if (frames_ >= kMaxSampleCap) return;
  if (MakeCells(frame, batch_[static_cast<size_t>(waiting_)].data())) Enter();
}

void EdgeStatistics::AddCells(std::vector<uint8_t>& cells) {
  if (frames_ >= kMaxSampleCap || cells.size() != CellBytes() || cells.empty()) return;
  cells.swap(batch_[static_cast<size_t>(waiting_)]);
  Enter();
}

void EdgeStatistics::Enter() {
  const uint8_t* blockMeans = batch_[static_cast<size_t>(waiting_)].data() + static_cast<size_t>(cw_) * ch_;
  // Each block's mean over all its cells, for the step sums' products.
  int16_t* spread = &means_[static_cast<size_t>(waiting_) * cw_ * bh_];
  for (int br = 0; br < bh_; ++br) {
    for (int b = 0; b < bw_; ++b) {
      const size_t k = static_cast<size_t>(br) * bw_ + b;
      const int32_t mean = blockMeans[k];
      sumM_[k] += mean;
      sumM2_[k] += static_cast<int64_t>(mean) * mean;
      std::fill(spread + static_cast<size_t>(br) * cw_ + b * block_, spread + static_cast<size_t>(br) * cw_ + std::min(cw_, (b + 1) * block_),
                static_cast<int16_t>(mean));
    }
  }
  ++frames_;
  ++weight_;
  if (++waiting_ == kBatch) Flush();
}

void EdgeStatistics::Halve() {
  Flush();
  for (int32_t& sum : sums_) sum /= 2;
  for (int64_t& sum : sumM_) sum /= 2;
  for (int64_t& sum : sumM2_) sum /= 2;
  weight_ /= 2;
}

void EdgeStatistics::Flush() {
  // Row by row, every waiting frame at once: the rows of sums are walked once
  // per batch.
  static_assert(kBatch <= kMaxStepFrames, "a batch's steps are summed in one call");
  const size_t plane = static_cast<size_t>(cw_) * ch_;
  const uint8_t* rows[kBatch];
  const int16_t* means[kBatch];
  for (int r = 1; r + 1 < ch_; ++r) {
    int32_t* sx = &sums_[static_cast<size_t>(r) * cw_];
    for (int k = 0; k < waiting_; ++k) {
      rows[k] = &batch_[static_cast<size_t>(k)][static_cast<size_t>(r) * cw_];
      means[k] = &means_[static_cast<size_t>(k) * cw_ * bh_ + static_cast<size_t>(r / block_) * cw_];
    }
    stepSum_(rows, means, waiting_, cw_, sx, sx + plane, sx + 2 * plane, sx + 3 * plane, sx + 4 * plane, sx + 5 * plane);
  }
  waiting_ = 0;
}

std::vector<uint8_t> EdgeStatistics::SteadyEdges() {
  Flush();
  std::vector<uint8_t> steady(static_cast<size_t>(cw_) * ch_, 0);
  if (frames_ < 2) return steady;
  const double n = weight_, perFrame = 1 / n;
  // A steady step of a few levels that explains a fair share of what moves
  // there, well above what chance gives over n frames (about 2/n).
  const double least = 6.0 * n, share = std::max(0.2, 16.0 / n);
  // Per block: the mean of m over the frames, and 1 / (sum of squares of m
  // about it), or 0 where m hardly moved.
  std::vector<double> meanM(sumM_.size()), byMSquares(sumM_.size());
  for (size_t k = 0; k < meanM.size(); ++k) {
    meanM[k] = sumM_[k] * perFrame;
    const double sxx = sumM2_[k] - n * meanM[k] * meanM[k];
    byMSquares[k] = sxx > n ? 1 / sxx : 0.0;
  }
  // The blocks' values spread over the cells of a block row, so that a row
  // of cells is one plain loop.
  const size_t plane = static_cast<size_t>(cw_) * ch_;
  std::vector<double> rowMean(static_cast<size_t>(cw_)), rowInverse(static_cast<size_t>(cw_));
  for (int r = 1; r + 1 < ch_; ++r) {
    if (r == 1 || r % block_ == 0) {
      for (int c = 0; c < cw_; ++c) {
        const size_t k = static_cast<size_t>(r / block_) * bw_ + c / block_;
        rowMean[c] = meanM[k], rowInverse[c] = byMSquares[k];
      }
    }
    const size_t at = static_cast<size_t>(r) * cw_;
    const int32_t* sx = &sums_[at];
    const SteadyRow row{sx, sx + plane, sx + 2 * plane, sx + 3 * plane, sx + 4 * plane, sx + 5 * plane, rowMean.data(),
                        rowInverse.data(), cw_, perFrame, least, share, &steady[at]};
#if PRAMVIX_X86_64
    if (vectors_) {
      row.Sse2();
      continue;
    }
#endif
    row.Plain(1);
  }
  return steady;
}

namespace {

// Clears rows and columns in which steady edges cross much of the frame:
// the borders of letterboxing or pillarboxing, not a logo.
void ClearLongLines(std::vector<uint8_t>& edges, int w, int h) {
  std::vector<uint8_t> clearRow(h, 0), clearCol(w, 0);
  std::vector<int> columns(w, 0);
  for (int r = 0; r < h; ++r) {
    const uint8_t* row = &edges[static_cast<size_t>(r) * w];
    int count = 0;
    for (int c = 0; c < w; ++c) count += row[c], columns[c] += row[c];
    clearRow[r] = count * 5 > w * 2;
  }
  for (int c = 0; c < w; ++c) clearCol[c] = columns[c] * 5 > h * 2;
  // Each cleared line takes its neighbours along.
  auto widen = [](const std::vector<uint8_t>& lines) {
    std::vector<uint8_t> wide(lines.size(), 0);
    for (size_t i = 0; i < lines.size(); ++i) {
      wide[i] = lines[i] || (i > 0 && lines[i - 1]) || (i + 1 < lines.size() && lines[i + 1]);
    }
    return wide;
  };
  const std::vector<uint8_t> rows = widen(clearRow), cols = widen(clearCol);
  for (int r = 0; r < h; ++r) {
    uint8_t* row = &edges[static_cast<size_t>(r) * w];
    if (rows[r]) {
      std::fill(row, row + w, 0);
      continue;
    }
    for (int c = 0; c < w; ++c) row[c] &= !cols[c];
  }
}

// Clears the steady cells of long thin strokes: runs, three cells wide,
// that reach over a third of the frame's height or width with gaps of at
// most six cells. Content that stood still for a while draws such lines,
// often broken (a pattern that scrolls along itself), and one that passes by
// the logo would join its cluster and stretch its box; a logo's own strokes
// are shorter.
//
// Few cells are steady, so both scans go row by row over the steady ones
// only: the runs down the columns are followed for every column at once.
void ClearLongStrokes(std::vector<uint8_t>& edges, int w, int h) {
  std::vector<uint8_t> clear(edges.size(), 0);
  constexpr int kGap = 7;  // a run goes on across up to kGap - 1 cells without a steady one
  // Marks cells from .. to of a run (a row's along `step`), and the cells
  // `side` away on either hand that exist, if the run is longer than `longest`.
  auto clearRun = [&](int from, int to, int longest, size_t first, ptrdiff_t step, ptrdiff_t side, bool before, bool after) {
    if (from < 0 || to - from + 1 <= longest) return;
    for (int i = from; i <= to; ++i) {
      const size_t at = first + static_cast<size_t>(i * step);
      clear[at] = 1;
      if (before) clear[at - side] = 1;
      if (after) clear[at + side] = 1;
    }
  };
  // Calls visit(c) for each cell of the row that is on (`row` ORed over the
  // three rows around it, or a neighbour in the row is steady when `across`),
  // left to right, skipping eight cells at a time where none is.
  auto forOn = [w](const uint8_t* row, bool across, auto&& visit) {
    int done = -1;  // the last cell visited
    for (int c = 0; c < w; ++c) {
      uint64_t eight;
      if (c + 8 <= w && (std::memcpy(&eight, row + c, 8), eight == 0)) {
        c += 7;
        continue;
      }
      if (!row[c]) continue;
      for (int q = across ? c - 1 : c; q <= (across ? c + 1 : c); ++q) {
        if (q > done && q >= 0 && q < w) visit(q), done = q;
      }
    }
  };
  // Down the columns: a cell is on when it or a cell beside it is steady.
  std::vector<int> start(static_cast<size_t>(w), -1), last(static_cast<size_t>(w), -1);
  auto closeColumn = [&](int c) { clearRun(start[c], last[c], h / 3, static_cast<size_t>(c), w, 1, c > 0, c + 1 < w); };
  for (int r = 0; r < h; ++r) {
    forOn(&edges[static_cast<size_t>(r) * w], true, [&](int c) {
      if (start[c] < 0 || r - last[c] > kGap) closeColumn(c), start[c] = r;
      last[c] = r;
    });
  }
  for (int c = 0; c < w; ++c) closeColumn(c);
  // Along the rows: a cell is on when it or a cell above or below it is steady.
  std::vector<uint8_t> near(static_cast<size_t>(w));
  for (int r = 0; r < h; ++r) {
    const uint8_t* row = &edges[static_cast<size_t>(r) * w];
    for (int c = 0; c < w; ++c) {
      near[c] = row[c] | (r > 0 ? row[c - w] : 0) | (r + 1 < h ? row[c + w] : 0);
    }
    int from = -1, to = -1;
    auto closeRow = [&] { clearRun(from, to, w / 3, static_cast<size_t>(r) * w, 1, w, r > 0, r + 1 < h); };
    forOn(near.data(), false, [&](int c) {
      if (from < 0 || c - to > kGap) closeRow(), from = c;
      to = c;
    });
    closeRow();
  }
  for (size_t k = 0; k < edges.size(); ++k) edges[k] &= !clear[k];
}

// Keeps steady pixels with at least two steady neighbours: a logo's outline
// is a line, moving content that agreed by chance leaves specks.
void KeepConnected(std::vector<uint8_t>& edges, int w, int h) {
  std::vector<uint8_t> kept(edges.size(), 0);
  for (int r = 1; r + 1 < h; ++r) {
    for (int c = 1; c + 1 < w; ++c) {
      const size_t k = static_cast<size_t>(r) * w + c;
      uint64_t eight;  // most cells hold no edge: skipped eight at a time
      if (c + 9 < w && (std::memcpy(&eight, &edges[k], 8), eight == 0)) {
        c += 7;
        continue;
      }
      if (!edges[k]) continue;
      int neighbours = 0;
      for (int dr = -1; dr <= 1; ++dr) {
        for (int dc = -1; dc <= 1; ++dc) neighbours += (dr || dc) && edges[k + dr * w + dc];
      }
      kept[k] = neighbours >= 2;
    }
  }
  edges.swap(kept);
}

}  // namespace

namespace {

// What one look at the steady cells found: the cluster that shows in most
// frames and the heaviest one, in cells, with their mean steadiness (0 … 1),
// and the mean steadiness of the runner-up to the first.
struct Look {
  Box best, heaviest;
  double bestPresence = 0, heaviestPresence = 0, runnerUpPresence = 0;
  bool found = false;
};

// Clusters the cells whose steadiness reaches `floor` (1 … 255).
Look LookAt(const std::vector<uint8_t>& steadiness, int w, int h, int scale, int floor) {
  std::vector<uint8_t> edges(steadiness.size());
  for (size_t k = 0; k < edges.size(); ++k) edges[k] = steadiness[k] >= floor;
  ClearLongLines(edges, w, h);
  ClearLongStrokes(edges, w, h);
  KeepConnected(edges, w, h);

  // Groups of 8x8 pixels; parts of a logo up to two groups apart (about 16
  // pixels) join one cluster. A group counts when a line of steady cells
  // crosses a good part of it; a cluster, when its lines add up to some 24
  // pixels.
  const int group = std::max(1, 8 / scale);
  const int minWeight = std::max(2, (3 * group + 3) / 4);
  const int minClusterWeight = std::max(4, 24 / scale);
  const int cw = (w + group - 1) / group, ch = (h + group - 1) / group;
  // Per group: its steady cells, and the sum of their steadiness.
  std::vector<int> weight(static_cast<size_t>(cw) * ch, 0);
  std::vector<double> presence(weight.size(), 0.0);
  for (int r = 0; r < h; ++r) {
    const uint8_t* row = &edges[static_cast<size_t>(r) * w];
    int* weights = &weight[static_cast<size_t>(r / group) * cw];
    const uint8_t* shares = &steadiness[static_cast<size_t>(r) * w];
    double* presences = &presence[static_cast<size_t>(r / group) * cw];
    for (int c = 0; c < w; ++c) {
      uint64_t eight;  // most cells hold no edge: skipped eight at a time
      if (c + 8 <= w && (std::memcpy(&eight, row + c, 8), eight == 0)) {
        c += 7;
        continue;
      }
      if (!row[c]) continue;
      ++weights[c / group];
      presences[c / group] += shares[c] / 255.0;
    }
  }
  std::vector<uint8_t> on(weight.size(), 0);
  for (int r = 0; r < ch; ++r) {
    for (int c = 0; c < cw; ++c) {
      if (weight[static_cast<size_t>(r) * cw + c] < minWeight) continue;
      for (int dr = -2; dr <= 2; ++dr) {
        for (int dc = -2; dc <= 2; ++dc) {
          const int rr = r + dr, cc = c + dc;
          if (rr >= 0 && rr < ch && cc >= 0 && cc < cw) on[static_cast<size_t>(rr) * cw + cc] = 1;
        }
      }
    }
  }
  // Connected clusters of cells; of those with enough steady edges, the one
  // that shows in most frames wins (by its edges' mean steadiness): the logo,
  // rather than a larger still of an advert that shows in a few.
  std::vector<int> label(on.size(), -1);
  int best = -1, heaviest = -1, heaviestWeight = 0;
  Look look;
  std::vector<int> stack;
  int labels = 0;
  for (size_t start = 0; start < on.size(); ++start) {
    if (!on[start] || label[start] >= 0) continue;
    int total = 0;
    double shown = 0;
    label[start] = labels;
    stack.assign(1, static_cast<int>(start));
    while (!stack.empty()) {
      const int k = stack.back();
      stack.pop_back();
      total += weight[k];
      shown += presence[k];
      const int r = k / cw, c = k % cw;
      const int next[4][2] = {{r - 1, c}, {r + 1, c}, {r, c - 1}, {r, c + 1}};
      for (const auto& n : next) {
        if (n[0] < 0 || n[0] >= ch || n[1] < 0 || n[1] >= cw) continue;
        const int j = n[0] * cw + n[1];
        if (on[j] && label[j] < 0) {
          label[j] = labels;
          stack.push_back(j);
        }
      }
    }
    if (total >= minClusterWeight) {
      if (shown / total > look.bestPresence) {
        look.runnerUpPresence = look.bestPresence, look.bestPresence = shown / total, best = labels;
      } else {
        look.runnerUpPresence = std::max(look.runnerUpPresence, shown / total);
      }
    }
    if (total > heaviestWeight) heaviestWeight = total, heaviest = labels, look.heaviestPresence = shown / total;
    ++labels;
  }
  if (best < 0) return look;
  // Each cluster's extent, in cells: its steady cells, looked for within its
  // groups' box.
  auto extent = [&](int which) {
    int gx0 = cw, gy0 = ch, gx1 = -1, gy1 = -1;
    for (int r = 0; r < ch; ++r) {
      for (int c = 0; c < cw; ++c) {
        if (label[static_cast<size_t>(r) * cw + c] != which) continue;
        gx0 = std::min(gx0, c), gx1 = std::max(gx1, c), gy0 = std::min(gy0, r), gy1 = std::max(gy1, r);
      }
    }
    Box box{w, h, -1, -1};  // x0, y0, x1, y1 while gathering
    for (int r = gy0 * group; r < std::min(h, (gy1 + 1) * group); ++r) {
      for (int c = gx0 * group; c < std::min(w, (gx1 + 1) * group); ++c) {
        if (!edges[static_cast<size_t>(r) * w + c] || label[static_cast<size_t>(r / group) * cw + c / group] != which) continue;
        box.x = std::min(box.x, c), box.width = std::max(box.width, c), box.y = std::min(box.y, r), box.height = std::max(box.height, r);
      }
    }
    return Box{box.x, box.y, box.width - box.x + 1, box.height - box.y + 1};
  };
  look.best = extent(best), look.heaviest = extent(heaviest), look.found = true;
  return look;
}

}  // namespace

std::optional<Box> FindLogoBox(EdgeStatistics& statistics) {
  const int w = statistics.CellsWide(), h = statistics.CellsHigh(), scale = statistics.Scale();
  if (statistics.Frames() < 8 || w < 8 || h < 8) return std::nullopt;
  const std::vector<uint8_t> steadiness = statistics.SteadyEdges();
  // A "logo" over half the frame is moving content that happened to agree,
  // or a still scene that comes back (a studio set), which the logo may
  // touch. Such a scene shows in fewer frames than the logo: the search looks
  // again at the edges clearly steadier than it. If a cluster that large is
  // still the heaviest, the smaller ones beside it are chance too: nothing.
  // Parts of a set that the logo touches also lower its cluster's mean: when
  // another cluster comes within a tenth of the first, the search looks again
  // at the edges at least as steady as the first's mean.
  auto tooLarge = [&](const Box& box) { return box.width <= 0 || box.width * 2 > w || box.height * 2 > h; };
  Look look = LookAt(steadiness, w, h, scale, 1);
  if (look.found && tooLarge(look.heaviest)) {
    look = LookAt(steadiness, w, h, scale, static_cast<int>(std::min(255.0, std::ceil(1.5 * 255 * look.heaviestPresence))));
  } else if (look.found && look.runnerUpPresence > 0.9 * look.bestPresence) {
    const Look steadier = LookAt(steadiness, w, h, scale, static_cast<int>(std::ceil(255 * look.bestPresence)));
    if (steadier.found) look = steadier;
  }
  if (!look.found || tooLarge(look.heaviest) || tooLarge(look.best)) return std::nullopt;
  return Box{scale * look.best.x, scale * look.best.y, scale * look.best.width, scale * look.best.height};
}

}  // namespace pramvix::cli::logo
