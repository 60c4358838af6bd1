#include "detection.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <functional>

namespace pramvix::cli::logo {

void CropStore::Reset(const Box& box) {
  box_ = box;
  crops_.clear();
  step_ = 1;
  offered_ = 0;
}

void CropStore::Offer(const FrameView& frame) {
  if (box_.Empty() || box_.x < 0 || box_.y < 0 || box_.Right() > frame.width || box_.Bottom() > frame.height) return;
  if (offered_++ % step_ != 0) return;
  if (crops_.size() == kCapacity) {
    for (size_t i = 1; i < kCapacity / 2; ++i) crops_[i] = std::move(crops_[2 * i]);  // crops_[0] stays
    crops_.resize(kCapacity / 2);
    step_ *= 2;
    offered_ = 1;
  }
  std::vector<uint8_t> crop(static_cast<size_t>(box_.width) * box_.height);
  for (int r = 0; r < box_.height; ++r) {
    std::memcpy(&crop[static_cast<size_t>(r) * box_.width], frame.y + static_cast<size_t>(box_.y + r) * frame.width + box_.x,
                static_cast<size_t>(box_.width));
  }
  crops_.push_back(std::move(crop));
}

namespace {

struct EdgeRule {
  bool averages;  // IfLogo: means of three samples; IfNoLogo: single samples
  bool strict;    // IfLogo: step > threshold; IfNoLogo: step >= threshold, and dark pixels
};

// Calls visit(row, pixel, step) for each position of the region in the
// reference whose samples fall inside `within`.
template <typename Visit>
void ForEachStep(const local::Picture& ref, const Box& region, const Box& within, const EdgeRule& rule, Visit visit) {
  const int width = ref.rowSize / 2;
  for (int r = std::max(region.y, within.y); r < std::min(region.Bottom(), within.Bottom()); ++r) {
    for (int p = std::max(region.x, within.x + 4); p < std::min({region.Right(), width - 2, within.Right() - 2}); ++p) {
      int step;
      if (rule.averages) {
        const int left = (ref.Luma(r, p - 4) + ref.Luma(r, p - 3) + ref.Luma(r, p - 2)) / 3;
        const int right = (ref.Luma(r, p) + ref.Luma(r, p + 1) + ref.Luma(r, p + 2)) / 3;
        step = std::abs(left - right);
      } else {
        step = std::abs(ref.Luma(r, p - 2) - ref.Luma(r, p));
      }
      visit(r, p, step);
    }
  }
}

// Logo-edge positions (row, pixel) of the region in the reference, for
// threshold t, skipping positions whose samples fall outside `within`.
std::vector<std::pair<int, int>> EdgePositions(const local::Picture& ref, const Box& region, const Box& within,
                                               const EdgeRule& rule, int t) {
  std::vector<std::pair<int, int>> positions;
  ForEachStep(ref, region, within, rule, [&](int r, int p, int step) {
    if (step >= t) positions.emplace_back(r, p);
  });
  return positions;
}

// The largest of the thresholds 255, 247, ..., 15, 7, 6, ..., 1 that some
// step of the region reaches; 0 when there is no step.
int LargestStep(const local::Picture& ref, const Box& region, const EdgeRule& rule) {
  int most = 0;
  ForEachStep(ref, region, region, rule, [&](int, int, int step) { most = std::max(most, step); });
  if (most >= 15) return 255 - 8 * ((255 - most + 7) / 8);
  return std::min(most, 7);
}

// Whether the filter's test passes on one crop, for every frame threshold
// t = 0..255 at once. A row's hits at t are its positions whose step reaches
// t (a dark pixel is a hit at any t); they fall as t grows, so a row counts
// its hits below the t where they stop outnumbering its misses, and its
// misses from there on: each position adds to a run of thresholds, kept as
// the run's two ends and summed over t at the end.
std::vector<uint8_t> PassesByThreshold(const std::vector<uint8_t>& crop, const Box& box, const Box& region,
                                       const std::vector<std::pair<int, int>>& positions, const EdgeRule& rule) {
  auto at = [&](int r, int p) { return static_cast<int>(crop[static_cast<size_t>(r - box.y) * box.width + p - box.x]); };
  std::vector<long> hitRuns(257, 0), missRuns(257, 0);
  std::vector<int> levels;  // per position: the largest t at which it is a hit (-1: none)
  size_t i = 0;
  while (i < positions.size()) {
    const int row = positions[i].first;
    levels.clear();
    for (; i < positions.size() && positions[i].first == row; ++i) {
      const int p = positions[i].second;
      const bool dark = !rule.strict && at(row, p) < 16 && at(row, std::max(region.x, box.x)) >= 16;
      levels.push_back((dark ? 255 : std::abs(at(row, p - 2) - at(row, p))) - (rule.strict ? 1 : 0));
    }
    // Hits outnumber misses up to the t below the (count/2 + 1)-th largest
    // level plus one.
    const size_t q = levels.size() / 2;
    std::nth_element(levels.begin(), levels.begin() + static_cast<long>(q), levels.end(), std::greater<int>());
    const int turn = levels[q] + 1;
    for (const int level : levels) {
      const int lastHit = std::min(turn - 1, level);  // hits at 0..lastHit
      if (lastHit >= 0) ++hitRuns[0], --hitRuns[static_cast<size_t>(lastHit) + 1];
      const int firstMiss = std::max(turn, level + 1);  // misses at firstMiss..255
      if (firstMiss <= 255) ++missRuns[static_cast<size_t>(firstMiss)];
    }
  }
  std::vector<uint8_t> passes(256);
  long hits = 0, misses = 0;
  for (int t = 0; t < 256; ++t) {
    hits += hitRuns[t], misses += missRuns[t];
    passes[t] = misses < 2 * hits;
  }
  return passes;
}

DetectionAdvice Advise(const local::Picture& ref, const Box& region, const CropStore& store, const EdgeRule& rule) {
  DetectionAdvice advice;
  const auto& crops = store.Crops();
  const Box& box = store.CropBox();
  advice.frames = static_cast<int>(crops.size());
  const int largest = LargestStep(ref, region, rule);
  advice.logoThreshold = std::max(2, largest / 2);
  const auto positions = EdgePositions(ref, region, box, rule, advice.logoThreshold);
  if (crops.empty() || positions.empty()) return advice;
  // Threshold-free score: how closely the frame's steps across the region
  // follow the reference's (the size of their correlation, as a logo darker
  // than the background steps the other way).
  // The sums are of whole numbers, exact in 64 bits and as doubles.
  const int width = ref.rowSize / 2;
  const int top = std::max(region.y, box.y), bottom = std::min(region.Bottom(), box.Bottom());
  const int left = std::max(region.x, box.x + 2), right = std::min({region.Right(), box.Right(), width});
  std::vector<int> refSteps;
  int64_t sr = 0, srr = 0;
  for (int r = top; r < bottom; ++r) {
    for (int p = left; p < right; ++p) {
      const int g = ref.Luma(r, p) - ref.Luma(r, p - 2);
      refSteps.push_back(g);
      sr += g, srr += g * g;
    }
  }
  std::vector<double> scores;
  for (const auto& crop : crops) {
    int64_t sf = 0, sff = 0, sfr = 0;
    const int* g = refSteps.data();
    for (int r = top; r < bottom; ++r) {
      // Pixel `left` of the row, and the two before it (left ≥ box.x + 2).
      const uint8_t* at = &crop[static_cast<size_t>(r - box.y) * box.width + (left - box.x)];
      for (int i = 0; i < right - left; ++i) {
        const int f = at[i] - at[i - 2], step = *g++;
        sf += f, sff += f * f, sfr += f * step;
      }
    }
    const double n = std::max<size_t>(1, refSteps.size());
    const double vf = sff - static_cast<double>(sf) * sf / n, vr = srr - static_cast<double>(sr) * sr / n,
                 cov = sfr - static_cast<double>(sf) * sr / n;
    scores.push_back(vf > 0 && vr > 0 ? std::fabs(cov) / std::sqrt(vf * vr) : 0.0);
  }
  // Moving content correlates by chance at about 1/sqrt(pixels), a few
  // hundredths for a region of some hundred pixels; a logo in sight at far more.
  const double cut = 0.2;
  std::vector<uint8_t> hasLogo;
  for (double s : scores) hasLogo.push_back(s > cut);
  for (uint8_t h : hasLogo) advice.withLogo += h;
  advice.separated = advice.withLogo > 0 && advice.withLogo < advice.frames;
  // The frame threshold that agrees with the split most often; among equals
  // the middle one, which leaves the most room on both sides.
  std::vector<int> agreeing(256, 0);
  for (size_t k = 0; k < crops.size(); ++k) {
    const auto passes = PassesByThreshold(crops[k], box, region, positions, rule);
    for (int t = 1; t < 256; ++t) agreeing[t] += passes[t] == hasLogo[k];
  }
  const int most = *std::max_element(agreeing.begin() + 1, agreeing.end());
  std::vector<int> best;
  for (int t = 1; t < 256; ++t) {
    if (agreeing[t] == most) best.push_back(t);
  }
  advice.frameThreshold = best[best.size() / 2];
  advice.agreeing = most;
  return advice;
}

}  // namespace

DetectionAdvice AdviseIfLogo(const local::Picture& reference, const Box& region, const CropStore& crops) {
  return Advise(reference, region, crops, {true, true});
}

DetectionAdvice AdviseIfNoLogo(const local::Picture& reference, const Box& region, const CropStore& crops) {
  return Advise(reference, region, crops, {false, false});
}

}  // namespace pramvix::cli::logo
