#include "region_search.h"

#include <algorithm>
#include <cmath>

#include "sampling.h"

namespace pramvix::cli::logo {

namespace {

// One row's steps into the six planes. The planes and the rows never overlap;
// saying so lets the compiler vectorise the loop.
void AddRow(const uint8_t* __restrict row, const uint8_t* __restrict up, const uint8_t* __restrict down,
            const int32_t* __restrict m, int width, int32_t* __restrict sx, int32_t* __restrict sxm,
            int32_t* __restrict sxx, int32_t* __restrict sy, int32_t* __restrict sym, int32_t* __restrict syy) {
  for (int c = 1; c + 1 < width; ++c) {
    const int32_t gx = row[c + 1] - row[c - 1];
    const int32_t gy = down[c] - up[c];
    sx[c] += gx;
    sxm[c] += gx * m[c];
    sxx[c] += gx * gx;
    sy[c] += gy;
    sym[c] += gy * m[c];
    syy[c] += gy * gy;
  }
}

// Means of 2x2 pixels, rounded.
void HalveRow(const uint8_t* __restrict a, const uint8_t* __restrict b, int halfWidth, uint8_t* __restrict out) {
  for (int c = 0; c < halfWidth; ++c) out[c] = static_cast<uint8_t>((a[2 * c] + a[2 * c + 1] + b[2 * c] + b[2 * c + 1] + 2) >> 2);
}

}  // namespace

EdgeStatistics::EdgeStatistics(int width, int height)
    : width_(width), height_(height), hw_(width / 2), hh_(height / 2) {
  bw_ = (hw_ + kBlock - 1) / kBlock;
  bh_ = (hh_ + kBlock - 1) / kBlock;
  half_.resize(static_cast<size_t>(hw_) * hh_);
  blockMean_.resize(static_cast<size_t>(bw_) * bh_);
  sumM_.assign(blockMean_.size(), 0);
  sumM2_.assign(blockMean_.size(), 0);
  sums_.assign(static_cast<size_t>(hw_) * hh_ * 6, 0);
  counts_.assign(blockMean_.size(), 0);
}

void EdgeStatistics::Add(const FrameView& frame) {
  // The 32-bit sums hold kMaxSampleCap frames of the largest steps.
  if (frame.width != width_ || frame.height != height_ || hw_ < 3 || hh_ < 3 || frames_ >= kMaxSampleCap) return;
  for (int r = 0; r < hh_; ++r) {
    const uint8_t* a = frame.y + static_cast<size_t>(2 * r) * width_;
    const uint8_t* b = a + width_;
    HalveRow(a, b, hw_, &half_[static_cast<size_t>(r) * hw_]);
  }
  std::fill(blockMean_.begin(), blockMean_.end(), 0);
  std::fill(counts_.begin(), counts_.end(), 0);
  for (int r = 0; r < hh_; ++r) {
    int32_t* means = &blockMean_[static_cast<size_t>(r / kBlock) * bw_];
    int32_t* counts = &counts_[static_cast<size_t>(r / kBlock) * bw_];
    const uint8_t* row = &half_[static_cast<size_t>(r) * hw_];
    for (int b = 0; b < bw_; ++b) {
      const int end = std::min(hw_, (b + 1) * kBlock);
      int32_t sum = 0;
      for (int c = b * kBlock; c < end; ++c) sum += row[c];
      means[b] += sum;
      counts[b] += end - b * kBlock;
    }
  }
  for (size_t k = 0; k < blockMean_.size(); ++k) {
    blockMean_[k] /= std::max(1, counts_[k]);
    sumM_[k] += blockMean_[k];
    sumM2_[k] += static_cast<int64_t>(blockMean_[k]) * blockMean_[k];
  }
  // Six planes of sums, each walked in order, so that the loops vectorise.
  const size_t plane = static_cast<size_t>(hw_) * hh_;
  std::vector<int32_t>& m = rowMeans_;
  m.resize(hw_);
  for (int r = 1; r + 1 < hh_; ++r) {
    const uint8_t* row = &half_[static_cast<size_t>(r) * hw_];
    const uint8_t* up = row - hw_;
    const uint8_t* down = row + hw_;
    if (r == 1 || r % kBlock == 0) {  // a new row of blocks: spread its means along the row
      const int32_t* means = &blockMean_[static_cast<size_t>(r / kBlock) * bw_];
      for (int b = 0; b < bw_; ++b) std::fill(m.begin() + b * kBlock, m.begin() + std::min(hw_, (b + 1) * kBlock), means[b]);
    }
    const size_t at = static_cast<size_t>(r) * hw_;
    int32_t* sx = &sums_[at];
    AddRow(row, up, down, m.data(), hw_, sx, sx + plane, sx + 2 * plane, sx + 3 * plane, sx + 4 * plane, sx + 5 * plane);
  }
  ++frames_;
}

std::vector<uint8_t> EdgeStatistics::SteadyEdges() const {
  std::vector<uint8_t> steady(static_cast<size_t>(hw_) * hh_, 0);
  if (frames_ < 2) return steady;
  const double n = frames_;
  for (int r = 1; r + 1 < hh_; ++r) {
    for (int c = 1; c + 1 < hw_; ++c) {
      const size_t k = static_cast<size_t>(r / kBlock) * bw_ + c / kBlock;
      const double meanM = sumM_[k] / n;
      const double sxx = sumM2_[k] - n * meanM * meanM;
      const int32_t* p = &sums_[static_cast<size_t>(r) * hw_ + c];
      const size_t plane = static_cast<size_t>(hw_) * hh_;
      double explained = 0;
      double total = 0;
      for (int axis = 0; axis < 2; ++axis) {
        const double sg = p[3 * axis * plane], sgm = p[(3 * axis + 1) * plane], sg2 = p[(3 * axis + 2) * plane];
        const double sxy = sgm - sg * meanM;
        explained += sg * sg / n + (sxx > n ? sxy * sxy / sxx : 0.0);
        total += sg2;
      }
      // A steady step of a few levels that explains a fair share of what
      // moves there, well above what chance gives over n frames (about 2/n).
      if (explained >= 6.0 * n && explained >= std::max(0.2, 16.0 / n) * total) {
        steady[static_cast<size_t>(r) * hw_ + c] = 1;
      }
    }
  }
  return steady;
}

namespace {

// Clears rows and columns in which steady edges cross much of the frame:
// the borders of letterboxing or pillarboxing, not a logo.
void ClearLongLines(std::vector<uint8_t>& edges, int w, int h) {
  std::vector<uint8_t> clearRow(h, 0), clearCol(w, 0);
  for (int r = 0; r < h; ++r) {
    int count = 0;
    for (int c = 0; c < w; ++c) count += edges[static_cast<size_t>(r) * w + c];
    if (count * 5 > w * 2) clearRow[r] = 1;
  }
  for (int c = 0; c < w; ++c) {
    int count = 0;
    for (int r = 0; r < h; ++r) count += edges[static_cast<size_t>(r) * w + c];
    if (count * 5 > h * 2) clearCol[c] = 1;
  }
  for (int r = 0; r < h; ++r) {
    for (int c = 0; c < w; ++c) {
      bool line = false;
      for (int d = -1; d <= 1; ++d) {
        line = line || (r + d >= 0 && r + d < h && clearRow[r + d]) || (c + d >= 0 && c + d < w && clearCol[c + d]);
      }
      if (line) edges[static_cast<size_t>(r) * w + c] = 0;
    }
  }
}

// Keeps steady pixels with at least two steady neighbours: a logo's outline
// is a line, moving content that agreed by chance leaves specks.
void KeepConnected(std::vector<uint8_t>& edges, int w, int h) {
  std::vector<uint8_t> kept(edges.size(), 0);
  for (int r = 1; r + 1 < h; ++r) {
    for (int c = 1; c + 1 < w; ++c) {
      const size_t k = static_cast<size_t>(r) * w + c;
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

std::optional<Box> FindLogoBox(const EdgeStatistics& statistics) {
  const int w = statistics.HalfWidth(), h = statistics.HalfHeight();
  if (statistics.Frames() < 8 || w < 8 || h < 8) return std::nullopt;
  std::vector<uint8_t> edges = statistics.SteadyEdges();
  ClearLongLines(edges, w, h);
  KeepConnected(edges, w, h);

  // Cells of 4x4 half-size pixels; parts of a logo up to two cells apart
  // (about 16 pixels) join one cluster.
  constexpr int kCell = 4;
  const int cw = (w + kCell - 1) / kCell, ch = (h + kCell - 1) / kCell;
  std::vector<int> weight(static_cast<size_t>(cw) * ch, 0);
  for (int r = 0; r < h; ++r) {
    for (int c = 0; c < w; ++c) weight[static_cast<size_t>(r / kCell) * cw + c / kCell] += edges[static_cast<size_t>(r) * w + c];
  }
  std::vector<uint8_t> on(weight.size(), 0);
  for (int r = 0; r < ch; ++r) {
    for (int c = 0; c < cw; ++c) {
      if (weight[static_cast<size_t>(r) * cw + c] < 3) continue;
      for (int dr = -2; dr <= 2; ++dr) {
        for (int dc = -2; dc <= 2; ++dc) {
          const int rr = r + dr, cc = c + dc;
          if (rr >= 0 && rr < ch && cc >= 0 && cc < cw) on[static_cast<size_t>(rr) * cw + cc] = 1;
        }
      }
    }
  }
  // Connected clusters of cells; the one holding the most steady edges wins.
  std::vector<int> label(on.size(), -1);
  int best = -1, bestWeight = 0;
  std::vector<int> stack;
  int labels = 0;
  for (size_t start = 0; start < on.size(); ++start) {
    if (!on[start] || label[start] >= 0) continue;
    int total = 0;
    label[start] = labels;
    stack.assign(1, static_cast<int>(start));
    while (!stack.empty()) {
      const int k = stack.back();
      stack.pop_back();
      total += weight[k];
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
    if (total > bestWeight) {
      bestWeight = total;
      best = labels;
    }
    ++labels;
  }
  if (best < 0 || bestWeight < 12) return std::nullopt;
  int x0 = w, y0 = h, x1 = -1, y1 = -1;
  for (int r = 0; r < h; ++r) {
    for (int c = 0; c < w; ++c) {
      if (!edges[static_cast<size_t>(r) * w + c] || label[static_cast<size_t>(r / kCell) * cw + c / kCell] != best) continue;
      x0 = std::min(x0, c), x1 = std::max(x1, c), y0 = std::min(y0, r), y1 = std::max(y1, r);
    }
  }
  if (x1 < 0) return std::nullopt;
  // A "logo" over half the frame is moving content that happened to agree.
  if ((x1 - x0 + 1) * 2 > w || (y1 - y0 + 1) * 2 > h) return std::nullopt;
  return Box{2 * x0, 2 * y0, 2 * (x1 - x0 + 1), 2 * (y1 - y0 + 1)};
}

}  // namespace pramvix::cli::logo
