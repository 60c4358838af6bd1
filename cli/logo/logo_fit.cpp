#include "logo_fit.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <future>
#include <iterator>

#include "reference.h"

namespace pramvix::cli::logo {

namespace {

// The least-squares line s = slope·B + c through frames of weight n with
// weighted sums b, bb, s, sb, ss of B, B², s, s·B, s², and the standard
// error of its value at B = 16. `readable` is false where the background
// spreads by less than 4 levels: no slope to read.
struct Line {
  double mb, ms, slope = 1, error = 255;
  bool readable = false;
};
Line LineThrough(double n, double b, double bb, double s, double sb, double ss) {
  Line line;
  line.mb = b / n, line.ms = s / n;
  const double mb = line.mb, ms = line.ms;
  const double sxx = bb - n * mb * mb, sxy = sb - n * mb * ms, syy = ss - n * ms * ms;
  if (!(sxx > n * 16)) return line;
  line.readable = true;
  line.slope = sxy / sxx;
  const double residual = std::max(0.0, syy - line.slope * sxy) / std::max(1.0, n - 2);
  line.error = std::sqrt(residual * (1 / n + (16 - mb) * (16 - mb) / sxx));
  return line;
}

// Each side of a band, position by position: the mean of `pair(k)` (the
// band's two lines averaged at k) over k = i-2..i+2, cut to the side. The
// pairs are worked out once and summed in the same order as one at a time.
template <typename Pair>
void SmoothedSide(Pair pair, int size, std::vector<double>& pairs, double* out) {
  pairs.resize(static_cast<size_t>(size));
  for (int k = 0; k < size; ++k) pairs[k] = pair(k);
  for (int i = 0; i < size; ++i) {
    double sum = 0;
    int count = 0;
    for (int k = std::max(0, i - 2); k <= std::min(size - 1, i + 2); ++k, ++count) sum += pairs[k];
    out[i] = sum / count;
  }
}

// Fills `out` (w x h) with the Coons patch of a plane read through `at(col,
// row)`: the four sides are the means of the two outermost lines. Every crop
// of every fit pass is blended, so the sides and the per-column terms live
// in one scratch buffer per thread.
template <typename At>
void CoonsPatch(At at, int w, int h, std::vector<double>& out) {
  thread_local std::vector<double> scratch, pairs;
  scratch.resize(5 * static_cast<size_t>(w) + 2 * static_cast<size_t>(h));
  double* top = scratch.data();
  double* bottom = top + w;
  double* fraction = bottom + w;
  double* base = fraction + w;
  double* slope = base + w;
  double* left = slope + w;
  double* right = left + h;
  SmoothedSide([&](int k) { return (at(k, 0) + at(k, 1)) / 2.0; }, w, pairs, top);
  SmoothedSide([&](int k) { return (at(k, h - 1) + at(k, h - 2)) / 2.0; }, w, pairs, bottom);
  SmoothedSide([&](int k) { return (at(0, k) + at(1, k)) / 2.0; }, h, pairs, left);
  SmoothedSide([&](int k) { return (at(w - 1, k) + at(w - 2, k)) / 2.0; }, h, pairs, right);
  const double c00 = (top[0] + left[0]) / 2, c10 = (top[w - 1] + right[0]) / 2;
  const double c01 = (bottom[0] + left[h - 1]) / 2, c11 = (bottom[w - 1] + right[h - 1]) / 2;
  // The patch is (1-t)·top + t·bottom + (1-s)·left + s·right less the
  // corners' bilinear blend; gathered per column, a pixel costs two products.
  for (int c = 0; c < w; ++c) {
    const double s = w > 1 ? static_cast<double>(c) / (w - 1) : 0.0;
    const double p0 = (1 - s) * c00 + s * c10, p1 = (1 - s) * c01 + s * c11;
    fraction[c] = s;
    base[c] = top[c] - p0;
    slope[c] = bottom[c] - top[c] - (p1 - p0);
  }
  out.resize(static_cast<size_t>(w) * h);
  for (int r = 0; r < h; ++r) {
    const double t = h > 1 ? static_cast<double>(r) / (h - 1) : 0.0;
    const double l = left[r], d = right[r] - left[r];
    double* __restrict row = &out[static_cast<size_t>(r) * w];
    for (int c = 0; c < w; ++c) row[c] = base[c] + t * slope[c] + l + fraction[c] * d;
  }
}

// Spread (root mean square) of the band's luma about its best plane.
template <typename At>
double BandSpread(At at, int w, int h) {
  // Normal equations of v = p0 + p1·x + p2·y over the band's pixels.
  double m[3][4] = {};
  auto addPoint = [&](int c, int r) {
    const double x = c - w / 2.0, y = r - h / 2.0, v = at(c, r);
    const double f[3] = {1, x, y};
    for (int i = 0; i < 3; ++i) {
      for (int j = 0; j < 3; ++j) m[i][j] += f[i] * f[j];
      m[i][3] += f[i] * v;
    }
  };
  auto forBand = [&](auto&& visit) {
    for (int r = 0; r < h; ++r) {
      if (r < 2 || r >= h - 2) {
        for (int c = 0; c < w; ++c) visit(c, r);
      } else {
        visit(0, r), visit(1, r), visit(w - 2, r), visit(w - 1, r);
      }
    }
  };
  forBand(addPoint);
  const double n = m[0][0];
  // Gaussian elimination; the band is never degenerate for w, h >= 8.
  for (int i = 0; i < 3; ++i) {
    for (int k = i + 1; k < 3; ++k) {
      const double f = m[k][i] / m[i][i];
      for (int j = i; j < 4; ++j) m[k][j] -= f * m[i][j];
    }
  }
  double p[3];
  for (int i = 2; i >= 0; --i) {
    double v = m[i][3];
    for (int j = i + 1; j < 3; ++j) v -= m[i][j] * p[j];
    p[i] = v / m[i][i];
  }
  double squares = 0;
  forBand([&](int c, int r) {
    const double d = at(c, r) - (p[0] + p[1] * (c - w / 2.0) + p[2] * (r - h / 2.0));
    squares += d * d;
  });
  return std::sqrt(squares / std::max(1.0, n - 3));
}

}  // namespace

LogoFit::LogoFit(const Box& box, int frameWidth, int frameHeight)
    : box_(box), frameWidth_(frameWidth), frameHeight_(frameHeight) {
  const size_t cropBytes = 2 * static_cast<size_t>(std::max(0, box.width)) * std::max(0, box.height);
  mostKept_ = std::clamp<size_t>(kKeptBytes / std::max<size_t>(1, cropBytes), 16, kMostKept);
}

FrameView LogoFit::ViewOf(const uint8_t* planes) const { return FrameView::OfPlanar(planes, box_.width, box_.height); }

void LogoFit::BlendLuma(const FrameView& crop, std::vector<double>& luma) const {
  CoonsPatch([&](int c, int r) { return static_cast<double>(crop.Luma(c, r)); }, crop.width, crop.height, luma);
}

void LogoFit::BlendChroma(const FrameView& crop, std::vector<double>& u, std::vector<double>& v) const {
  const int w = crop.width, h = crop.height;
  CoonsPatch([&](int c, int r) { return static_cast<double>(crop.ChromaU(c, r)); }, w / 2, h, u);
  CoonsPatch([&](int c, int r) { return static_cast<double>(crop.ChromaV(c, r)); }, w / 2, h, v);
}

void LogoFit::CropOf(const FrameView& frame, std::vector<uint8_t>& planes) const {
  const size_t w = static_cast<size_t>(box_.width), h = static_cast<size_t>(box_.height), half = w / 2;
  planes.resize(2 * w * h);
  uint8_t* y = planes.data();
  uint8_t* u = y + w * h;
  uint8_t* v = u + half * h;
  for (size_t r = 0; r < h; ++r) {
    const size_t row = static_cast<size_t>(box_.y) + r;
    std::memcpy(y + r * w, frame.y + row * frame.width + box_.x, w);
    std::memcpy(u + r * half, frame.u + row * (frame.width / 2) + box_.x / 2, half);
    std::memcpy(v + r * half, frame.v + row * (frame.width / 2) + box_.x / 2, half);
  }
}

bool LogoFit::Reads(const FrameView& frame) const {
  const int w = box_.width, h = box_.height;
  return frame.width == frameWidth_ && frame.height == frameHeight_ && w >= 8 && h >= 8 && box_.x >= 0 && box_.y >= 0 &&
         box_.Right() <= frame.width && box_.Bottom() <= frame.height && !(box_.x & 1) && !(w & 1);
}

bool LogoFit::SameBackground(const Band& a, const Band& b) {
  for (size_t i = 0; i < a.size(); ++i) {
    if (!(std::fabs(a[i] - b[i]) <= kSameBand)) return false;
  }
  return true;
}

double LogoFit::Misfit(const FrameView& frame, const LogoEstimate& estimate) const {
  if (!Reads(frame) || estimate.reference.size() != static_cast<size_t>(box_.width) * box_.height) return HUGE_VAL;
  Crop crop;
  CropOf(frame, crop.planes);
  return Residual(crop, estimate);
}

void LogoFit::Add(const FrameView& frame) {
  const int w = box_.width, h = box_.height;
  if (!Reads(frame)) return;
  // Most frames' surroundings are not plain: those are left before the box
  // is copied.
  const double spread =
      BandSpread([&](int c, int r) { return static_cast<double>(frame.Luma(box_.x + c, box_.y + r)); }, w, h);
  if (spread >= kSpreadLimits[kClasses - 1]) return;
  CropOf(frame, crop_);
  const FrameView crop = ViewOf(crop_.data());
  BlendLuma(crop, background_);
  ++flat_;
  // Does the inside stand out from the blend more than noise explains? The
  // noise comes from the steps between neighbours, by their median, which a
  // logo's few edges do not move.
  int steps[256] = {};
  double squares = 0;
  int count = 0;
  for (int r = 2; r < h - 2; ++r) {
    const uint8_t* row = crop.y + static_cast<size_t>(r) * w;
    const double* blend = &background_[static_cast<size_t>(r) * w];
    for (int c = 2; c < w - 2; ++c, ++count) {
      ++steps[std::abs(row[c] - row[c + 1])];
      const double d = row[c] - blend[c];
      squares += d * d;
    }
  }
  // The median step, as the middle one in sorted order.
  int median = 0;
  for (int seen = 0; median < 255 && (seen += steps[median]) <= count / 2;) ++median;
  // For normal noise of deviation n the median step is 0.954·n; steps are
  // whole numbers, so half a level is added.
  const double noise = (median + 0.5) / 0.954;
  if (squares / count < 3 * noise * noise + 1) return;
  int cls = 0;
  while (spread >= kSpreadLimits[cls]) ++cls;
  ++logoFrames_;
  const Band band = BandOf(crop_.data());
  int same = 0;
  for (const Crop& kept : kept_) same += SameBackground(kept.band, band);
  if (same < kSameBackgroundMost) Keep(crop_, cls, band);
}

LogoFit::Band LogoFit::BandOf(const uint8_t* luma) const {
  const int w = box_.width, h = box_.height;
  Band band{};
  auto mean = [&](int c0, int c1, int r0, int r1) {
    double sum = 0;
    for (int r = r0; r < r1; ++r) {
      for (int c = c0; c < c1; ++c) sum += luma[static_cast<size_t>(r) * w + c];
    }
    return static_cast<float>(sum / std::max(1, (c1 - c0) * (r1 - r0)));
  };
  // Thirds of the top and bottom (two rows each), left and right (two columns).
  for (int i = 0; i < 3; ++i) {
    const int c0 = w * i / 3, c1 = w * (i + 1) / 3, r0 = h * i / 3, r1 = h * (i + 1) / 3;
    band[i] = mean(c0, c1, 0, 2);
    band[3 + i] = mean(c0, c1, h - 2, h);
    band[6 + i] = mean(0, 2, r0, r1);
    band[9 + i] = mean(w - 2, w, r0, r1);
  }
  return band;
}

// Keeps the crop while there is room, else in place of one with busier
// surroundings, else not at all.
void LogoFit::Keep(std::vector<uint8_t>& planes, int cls, const Band& band) {
  if (kept_.size() < mostKept_) {
    kept_.push_back({std::move(planes), cls, band});
    return;
  }
  auto worst = std::max_element(kept_.begin(), kept_.end(), [](const Crop& a, const Crop& b) { return a.cls < b.cls; });
  if (worst->cls > cls) {
    std::swap(worst->planes, planes);
    worst->cls = cls, worst->band = band;
  }
}

std::vector<double> LogoFit::Weights(const std::vector<const Crop*>& use) const {
  std::vector<double> weights(use.size());
  for (size_t i = 0; i < use.size(); ++i) {
    int same = 0;
    for (const Crop* other : use) same += SameBackground(other->band, use[i]->band);
    weights[i] = std::min(1.0, static_cast<double>(kSameBackgroundWeight) / same);
  }
  return weights;
}

LogoEstimate LogoFit::FitOf(const std::vector<const Crop*>& use, Sums* sums) const {
  LogoEstimate estimate;
  estimate.box = box_;
  const int w = box_.width, h = box_.height;
  const size_t pixels = static_cast<size_t>(std::max(0, w)) * std::max(0, h);
  estimate.frames = static_cast<int>(use.size());
  estimate.reference.assign(pixels, 16.0);
  estimate.opacity.assign(pixels, 0.0);
  estimate.error.assign(pixels, 0.0);
  estimate.chromaU.assign(pixels / 2, 128.0);
  estimate.chromaV.assign(pixels / 2, 128.0);
  if (sums) *sums = {};
  if (pixels == 0 || use.size() < 3) {
    estimate.backgroundVaried = false;
    return estimate;
  }
  Sums t;
  for (auto* plane : {&t.b, &t.bb, &t.s, &t.sb, &t.ss}) plane->assign(pixels, 0.0);
  std::vector<ChromaSums> chroma(pixels / 2);
  const std::vector<double> weights = Weights(use);
  // The chroma's sums on a thread of their own: each sum takes the crops in
  // the same order either way.
  auto chromaSums = std::async(std::launch::async, [&] {
    std::vector<double> backgroundU, backgroundV;
    for (size_t i = 0; i < use.size(); ++i) {
      const double weight = weights[i];
      const FrameView view = ViewOf(use[i]->planes.data());
      BlendChroma(view, backgroundU, backgroundV);
      for (size_t k = 0; k < pixels / 2; ++k) {
        ChromaSums& e = chroma[k];
        e.u += weight * view.u[k], e.bu += weight * backgroundU[k], e.v += weight * view.v[k], e.bv += weight * backgroundV[k];
      }
    }
  });
  std::vector<double> background;
  for (size_t i = 0; i < use.size(); ++i) {
    const double weight = weights[i];
    const FrameView view = ViewOf(use[i]->planes.data());
    BlendLuma(view, background);
    double* __restrict sb = t.b.data();
    double* __restrict sbb = t.bb.data();
    double* __restrict ss = t.s.data();
    double* __restrict ssb = t.sb.data();
    double* __restrict sss = t.ss.data();
    for (size_t k = 0; k < pixels; ++k) {
      const double b = background[k], v = view.y[k], wb = weight * b, wv = weight * v;
      sb[k] += wb, sbb[k] += wb * b, ss[k] += wv, ssb[k] += wv * b, sss[k] += wv * v;
    }
  }
  chromaSums.get();
  double n = 0;  // the frames' weight
  for (const double weight : weights) n += weight;
  int flatBackground = 0;
  for (size_t k = 0; k < pixels; ++k) {
    const Line line = LineThrough(n, t.b[k], t.bb[k], t.s[k], t.sb[k], t.ss[k]);
    estimate.error[k] = line.error;
    if (!line.readable) {
      ++flatBackground;
      estimate.reference[k] = line.ms - (line.mb - 16);
      continue;
    }
    const double opacity = std::clamp(1 - line.slope, 0.0, 1.0);
    estimate.opacity[k] = opacity;
    estimate.reference[k] = line.ms + (1 - opacity) * (16 - line.mb);
  }
  estimate.backgroundVaried = flatBackground * 2 < static_cast<int>(pixels);
  for (size_t k = 0; k < pixels / 2; ++k) {
    const ChromaSums& e = chroma[k];
    const double opacity = (estimate.opacity[2 * k] + estimate.opacity[2 * k + 1]) / 2;
    estimate.chromaU[k] = 128 * (1 - opacity) + (e.u - (1 - opacity) * e.bu) / n;
    estimate.chromaV[k] = 128 * (1 - opacity) + (e.v - (1 - opacity) * e.bv) / n;
  }
  if (sums) *sums = std::move(t);
  return estimate;
}

int LogoFit::ShadeOf(const Crop& crop) {
  double sum = 0;
  for (const float v : crop.band) sum += v;
  return std::clamp(static_cast<int>(sum / crop.band.size()) / kShadeStep, 0, kShades - 1);
}

void LogoFit::MarkOneShade(const std::vector<const Crop*>& use, const Sums& all, LogoEstimate& estimate) const {
  const size_t pixels = estimate.reference.size();
  estimate.oneShade.assign(pixels, 0);
  if (all.b.size() != pixels) return;
  std::vector<int> shades;
  for (const Crop* crop : use) {
    const int shade = ShadeOf(*crop);
    if (std::find(shades.begin(), shades.end(), shade) == shades.end()) shades.push_back(shade);
  }
  if (shades.size() < 2) return;
  const std::vector<double> weights = Weights(use);
  double total = 0;  // the frames' weight, as the fit took it
  for (const double weight : weights) total += weight;
  // Only pixels that stand clear of black can be the logo's: the others
  // are left as they are.
  std::vector<size_t> at;
  for (size_t k = 0; k < pixels; ++k) {
    if (estimate.reference[k] - 16 >= kOneShadeLeast) at.push_back(k);
  }
  // Each shade left out in turn: the line through the rest, where the rest
  // still spreads enough to read a slope, and its reference's standard
  // error. The shades by turns on two threads, each marking a copy.
  auto leaveOut = [&](size_t first, std::vector<uint8_t>& marks) {
    Sums one;  // of the pixels `at`, of the shade's crops
    std::vector<double> background;
    for (size_t next = first; next < shades.size(); next += 2) {
      for (auto* plane : {&one.b, &one.bb, &one.s, &one.sb, &one.ss}) plane->assign(at.size(), 0.0);
      double weightOut = 0;
      for (size_t i = 0; i < use.size(); ++i) {
        if (ShadeOf(*use[i]) != shades[next]) continue;
        const double weight = weights[i];
        weightOut += weight;
        const FrameView view = ViewOf(use[i]->planes.data());
        BlendLuma(view, background);
        for (size_t j = 0; j < at.size(); ++j) {
          const double b = background[at[j]], v = view.y[at[j]], wb = weight * b, wv = weight * v;
          one.b[j] += wb, one.bb[j] += wb * b, one.s[j] += wv, one.sb[j] += wv * b, one.ss[j] += wv * v;
        }
      }
      const double n = total - weightOut;
      for (size_t j = 0; j < at.size(); ++j) {
        const size_t k = at[j];
        const Line line = LineThrough(n, all.b[k] - one.b[j], all.bb[k] - one.bb[j], all.s[k] - one.s[j],
                                      all.sb[k] - one.sb[j], all.ss[k] - one.ss[j]);
        if (!line.readable) continue;
        const double reference = line.ms + line.slope * (16 - line.mb);
        // Without this shade the pixel is background, and that is no chance
        // of the noise: the logo there is this shade's own picture.
        const bool black = reference - 16 < std::max(2.0, kOneShadeErrors * line.error);
        const bool apart = estimate.reference[k] - reference > kOneShadeErrors * line.error;
        if (black && apart) marks[k] = 1;
      }
    }
  };
  std::vector<uint8_t> odd(pixels, 0);
  auto second = std::async(std::launch::async, [&] { leaveOut(1, odd); });
  leaveOut(0, estimate.oneShade);
  second.get();
  for (size_t k = 0; k < pixels; ++k) estimate.oneShade[k] |= odd[k];
}

double LogoFit::Residual(const Crop& crop, const LogoEstimate& estimate) const {
  const FrameView view = ViewOf(crop.planes.data());
  thread_local std::vector<double> background;  // a pass asks this of every crop
  BlendLuma(view, background);
  // Four sums side by side rather than one long chain of additions, each
  // waiting for the one before.
  double squares[4] = {};
  const size_t pixels = background.size();
  const double* reference = estimate.reference.data();
  const double* opacity = estimate.opacity.data();
  const double* blend = background.data();
  for (size_t k = 0; k < pixels; ++k) {
    const double predicted = reference[k] + (1 - opacity[k]) * (blend[k] - 16);
    const double d = view.y[k] - predicted;
    squares[k & 3] += d * d;
  }
  return std::sqrt(((squares[0] + squares[1]) + (squares[2] + squares[3])) / std::max<size_t>(1, pixels));
}

std::vector<double> LogoFit::Residuals(const std::vector<const Crop*>& use, const LogoEstimate& estimate) const {
  // Each crop's residual on its own; the second half on another thread.
  std::vector<double> residuals(use.size());
  const size_t half = use.size() / 2;
  auto second = std::async(std::launch::async, [&] {
    for (size_t i = half; i < use.size(); ++i) residuals[i] = Residual(*use[i], estimate);
  });
  for (size_t i = 0; i < half; ++i) residuals[i] = Residual(*use[i], estimate);
  second.get();
  return residuals;
}

double LogoFit::MedianOf(const std::vector<const Crop*>& all, const std::vector<double>& residuals,
                         const std::vector<const Crop*>& some) {
  std::vector<double> of;
  for (size_t i = 0; i < all.size(); ++i) {
    if (std::binary_search(some.begin(), some.end(), all[i])) of.push_back(residuals[i]);
  }
  return Median(of);
}

LogoFit::Candidate LogoFit::ConcentrateOn(const std::vector<const Crop*>& pool, const std::vector<const Crop*>& all,
                                           LogoEstimate start) const {
  // The half of `pool` that the fit explains best, fitted again until that
  // half stays the same (each pass can only lower its residuals).
  Candidate c;
  c.estimate = std::move(start);
  std::vector<const Crop*> half;
  std::vector<size_t> order(pool.size());
  std::vector<double> residuals;  // of `pool` under the estimate, when `fresh`
  bool fresh = false;
  for (int step = 0; step < 8; ++step) {
    residuals = Residuals(pool, c.estimate);
    fresh = true;
    for (size_t i = 0; i < order.size(); ++i) order[i] = i;
    std::stable_sort(order.begin(), order.end(), [&](size_t a, size_t b) { return residuals[a] < residuals[b]; });
    std::vector<const Crop*> best;
    for (size_t i = 0; i < pool.size() / 2; ++i) best.push_back(pool[order[i]]);
    std::sort(best.begin(), best.end());
    if (best == half) break;
    half = std::move(best);
    c.estimate = FitOf(half);
    fresh = false;
  }
  // Then every frame that it explains within twice that half's median.
  if (!fresh || pool != all) residuals = Residuals(all, c.estimate);
  const double limit = 2 * std::max(0.5, MedianOf(all, residuals, half));
  for (size_t i = 0; i < all.size(); ++i) {
    if (residuals[i] <= limit) c.use.push_back(all[i]);
  }
  c.estimate = FitOf(c.use, &c.sums);
  return c;
}

void LogoFit::Concentrate(std::vector<const Crop*>& use, LogoEstimate& estimate, Sums& sums) const {
  // Two kinds of frames may stand out in the box (the logo's, and adverts'
  // with a picture of their own there), and the fit of them all explains
  // neither. The fit concentrated on the frames that it explains best finds
  // one kind; the fit concentrated on the frames left finds the other. Of
  // these and the fit of all, the one that explains the most frames about
  // as well as the best of them explains its own is the logo's: the logo
  // stands out in more frames than an advert's picture.
  std::vector<const Crop*> all = use;
  std::sort(all.begin(), all.end());
  std::vector<Candidate> candidates;
  candidates.push_back({all, std::move(estimate), std::move(sums)});
  candidates.push_back(ConcentrateOn(all, all, candidates[0].estimate));
  // It explains every frame about as well: its fit is the fit of all.
  if (candidates[1].use.size() == all.size()) {
    use = std::move(all), estimate = std::move(candidates[0].estimate), sums = std::move(candidates[0].sums);
    return;
  }
  std::vector<const Crop*> rest;
  std::set_difference(all.begin(), all.end(), candidates[1].use.begin(), candidates[1].use.end(), std::back_inserter(rest));
  if (rest.size() >= kLeastConcentrated) candidates.push_back(ConcentrateOn(rest, all, FitOf(rest)));
  // The fit of all stands when no other can be used.
  auto usable = [](const Candidate& c) { return c.use.size() >= kLeastConcentrated && c.estimate.backgroundVaried; };
  std::vector<std::vector<double>> residuals;
  double tolerance = -1;
  for (const Candidate& c : candidates) {
    residuals.push_back(Residuals(all, c.estimate));
    if (!usable(c)) continue;
    const double typical = MedianOf(all, residuals.back(), c.use);
    if (tolerance < 0 || typical < tolerance) tolerance = typical;
  }
  tolerance = 1.5 * std::max(0.5, tolerance);
  size_t chosen = 0;
  long most = -1;
  for (size_t k = 0; k < candidates.size(); ++k) {
    if (k > 0 && !usable(candidates[k])) continue;
    const long explained = std::count_if(residuals[k].begin(), residuals[k].end(), [&](double r) { return r <= tolerance; });
    if (explained > most) most = explained, chosen = k;
  }
  use = std::move(candidates[chosen].use);
  estimate = std::move(candidates[chosen].estimate);
  sums = std::move(candidates[chosen].sums);
}

LogoEstimate LogoFit::Solve(bool concentrate) const {
  constexpr int kEnoughFrames = 120;
  // The plainest surroundings first; more only while frames are few.
  int counts[kClasses] = {};
  for (const Crop& crop : kept_) ++counts[crop.cls];
  int classes = 0, frames = 0;
  while (classes < kClasses && frames < kEnoughFrames) frames += counts[classes++];
  std::vector<const Crop*> use;
  Sums sums;  // of the estimate's fit
  auto take = [&] {
    use.clear();
    for (const Crop& crop : kept_) {
      if (crop.cls < classes) use.push_back(&crop);
    }
    return FitOf(use, &sums);
  };
  LogoEstimate estimate = take();
  // A still scene that comes back (a studio set) can fill the plainest
  // classes with one and the same background: then busier surroundings are
  // taken in as well, until the background varies.
  while (!estimate.backgroundVaried && classes < kClasses) {
    while (classes < kClasses && !counts[classes]) ++classes;
    if (classes == kClasses) break;
    ++classes;
    estimate = take();
  }
  if (concentrate && use.size() >= kLeastConcentrated) Concentrate(use, estimate, sums);
  // Up to three times: leave out the frames that the fit explains far worse
  // than most (over twice the median residual), and fit again; but not when
  // the frames left would all show one background (noisier scenes beside a
  // plain still one have larger residuals, and are what makes it vary).
  for (int round = 0; round < 3 && estimate.frames >= 3; ++round) {
    const std::vector<double> residuals = Residuals(use, estimate);
    std::vector<double> sorted = residuals;
    std::nth_element(sorted.begin(), sorted.begin() + sorted.size() / 2, sorted.end());
    const double limit = 2 * std::max(0.5, sorted[sorted.size() / 2]);
    std::vector<const Crop*> kept;
    for (size_t i = 0; i < use.size(); ++i) {
      if (residuals[i] <= limit) kept.push_back(use[i]);
    }
    if (kept.size() == use.size()) break;
    Sums refitSums;
    LogoEstimate refit = FitOf(kept, &refitSums);
    if (!refit.backgroundVaried && estimate.backgroundVaried) break;
    use.swap(kept);
    estimate = std::move(refit);
    sums = std::move(refitSums);
  }
  MarkOneShade(use, sums, estimate);
  return estimate;
}

}  // namespace pramvix::cli::logo
