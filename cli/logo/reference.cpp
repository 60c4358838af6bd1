#include "reference.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace pramvix::cli::logo {

int RoundClamp(double value, int lo, int hi) {
  if (!(value >= lo)) return lo;  // NaN too
  if (value >= hi) return hi;
  return static_cast<int>(std::lround(value));
}

double Percentile(std::vector<double> values, double share) {
  if (values.empty()) return 0;
  const size_t at = std::min(values.size() - 1, static_cast<size_t>(share * static_cast<double>(values.size())));
  std::nth_element(values.begin(), values.begin() + at, values.end());
  return values[at];
}

double Median(const std::vector<double>& values) { return Percentile(values, 0.5); }

namespace {

// Clears the specks of noise that pass the tests of a logo pixel by chance:
// groups of touching pixels that are both small (under 16 pixels) and faint
// (under 8 levels above black, and under a quarter of the brightest group).
// A logo's letters and dots are larger or brighter.
void DropSpecks(std::vector<uint8_t>& kept, const std::vector<double>& reference, int w, int h) {
  std::vector<int> label(kept.size(), -1);
  std::vector<int> sizes;
  std::vector<double> peaks;
  std::vector<size_t> stack;
  for (size_t start = 0; start < kept.size(); ++start) {
    if (!kept[start] || label[start] >= 0) continue;
    const int id = static_cast<int>(sizes.size());
    int size = 0;
    double peak = 0;
    label[start] = id;
    stack.assign(1, start);
    while (!stack.empty()) {
      const size_t k = stack.back();
      stack.pop_back();
      ++size, peak = std::max(peak, reference[k] - 16);
      const int r = static_cast<int>(k / w), c = static_cast<int>(k % w);
      for (int dr = -1; dr <= 1; ++dr) {
        for (int dc = -1; dc <= 1; ++dc) {
          const int rr = r + dr, cc = c + dc;
          if (rr < 0 || rr >= h || cc < 0 || cc >= w) continue;
          const size_t j = static_cast<size_t>(rr) * w + cc;
          if (kept[j] && label[j] < 0) label[j] = id, stack.push_back(j);
        }
      }
    }
    sizes.push_back(size);
    peaks.push_back(peak);
  }
  const double brightest = peaks.empty() ? 0 : *std::max_element(peaks.begin(), peaks.end());
  const double faint = std::max(8.0, brightest / 4);
  for (size_t k = 0; k < kept.size(); ++k) {
    if (kept[k] && sizes[label[k]] < 16 && peaks[label[k]] < faint) kept[k] = 0;
  }
}

// Evens out the fit's noise on the logo's solid parts: three times over,
// each kept pixel's luma becomes the mean of its kept neighbours' (itself
// included) that agree with it within the noise (twice the standard error of
// their difference, at least half a level), weighted by their precision. A
// solid part comes out as even as it is, and an anti-aliased rim, whose
// neighbours differ by more than the noise, keeps its own values. The noise
// of neighbours is partly shared (they were fitted on the same frames), so
// more rounds gain little.
std::vector<double> Evened(const std::vector<uint8_t>& kept, const LogoEstimate& estimate, int w, int h) {
  std::vector<double> out = estimate.reference, in;
  const std::vector<double>& error = estimate.error;
  for (int round = 0; round < 3; ++round) {
    in = out;
    for (int r = 1; r < h - 1; ++r) {
      for (int c = 1; c < w - 1; ++c) {
        const size_t k = static_cast<size_t>(r) * w + c;
        if (!kept[k]) continue;
        double sum = 0, weights = 0;
        for (int dr = -1; dr <= 1; ++dr) {
          for (int dc = -1; dc <= 1; ++dc) {
            const size_t j = k + dr * w + dc;
            const double apart = std::max(0.5, 2 * std::sqrt(error[k] * error[k] + error[j] * error[j]));
            if (!kept[j] || !(std::fabs(in[j] - in[k]) <= apart)) continue;
            const double weight = 1 / std::max(1e-6, error[j] * error[j]);
            sum += weight * in[j], weights += weight;
          }
        }
        out[k] = sum / weights;  // the pixel itself always agrees
      }
    }
  }
  return out;
}

}  // namespace

Reference MakeReference(const LogoEstimate& estimate, int frameWidth, int frameHeight,
                        const std::optional<Box>& inside) {
  Reference out;
  out.picture = local::Picture::YUY2(frameWidth, frameHeight, 16, 128);
  const Box& box = estimate.box;
  const int w = box.width, h = box.height;
  if (w < 8 || h < 8 || box.x < 0 || box.y < 0 || box.Right() > frameWidth || box.Bottom() > frameHeight ||
      (box.x & 1) || (w & 1) || estimate.reference.size() != static_cast<size_t>(w) * h ||
      estimate.opacity.size() != estimate.reference.size() || estimate.error.size() != estimate.reference.size() ||
      estimate.chromaU.size() != estimate.reference.size() / 2 || estimate.chromaV.size() != estimate.reference.size() / 2) {
    return out;
  }
  std::vector<uint8_t> clear(static_cast<size_t>(w) * h, 0);
  for (int r = 2; r < h - 2; ++r) {
    for (int c = 2; c < w - 2; ++c) {
      const size_t k = static_cast<size_t>(r) * w + c;
      const int x = box.x + c, y = box.y + r;
      if (inside && (x < inside->x || x >= inside->Right() || y < inside->y || y >= inside->Bottom())) continue;
      // Under 3 levels a pixel left out is still within 3 of what it would
      // be, and the fit's small biases show there first.
      const double above = estimate.reference[k] - 16;
      const bool oneShade = !estimate.oneShade.empty() && estimate.oneShade[k];
      clear[k] = above >= 3 && above >= 2.5 * estimate.error[k] && !oneShade;
    }
  }
  std::vector<uint8_t> kept(clear.size(), 0);
  for (int r = 1; r < h - 1; ++r) {
    for (int c = 1; c < w - 1; ++c) {
      const size_t k = static_cast<size_t>(r) * w + c;
      if (!clear[k]) continue;
      int neighbours = 0;
      for (int dr = -1; dr <= 1; ++dr) {
        for (int dc = -1; dc <= 1; ++dc) neighbours += (dr || dc) && clear[k + dr * w + dc];
      }
      kept[k] = neighbours >= 2;
    }
  }
  DropSpecks(kept, estimate.reference, w, h);
  const std::vector<double> evened = Evened(kept, estimate, w, h);
  int x0 = w, y0 = h, x1 = -1, y1 = -1;
  std::vector<double> errors, lumas, us, vs;
  int threshold = 255;
  for (int r = 1; r < h - 1; ++r) {
    for (int c = 1; c < w - 1; ++c) {
      const size_t k = static_cast<size_t>(r) * w + c;
      if (!kept[k]) continue;
      x0 = std::min(x0, c), x1 = std::max(x1, c), y0 = std::min(y0, r), y1 = std::max(y1, r);
      const int luma = RoundClamp(evened[k], 16, 235);
      out.picture.Luma(box.y + r, box.x + c) = static_cast<uint8_t>(luma);
      threshold = std::min(threshold, luma - 16);
      errors.push_back(estimate.error[k]);
      const double opacity = estimate.opacity[k];
      if (opacity >= 0.3) {
        const size_t pair = k / 2;
        lumas.push_back(16 + (estimate.reference[k] - 16) / opacity);
        us.push_back(128 + (estimate.chromaU[pair] - 128) / opacity);
        vs.push_back(128 + (estimate.chromaV[pair] - 128) / opacity);
      }
    }
  }
  // Chroma of each pixel pair that holds a logo pixel.
  for (int r = 0; r < h; ++r) {
    for (int c = 0; c < w; c += 2) {
      const size_t k = static_cast<size_t>(r) * w + c;
      if (!kept[k] && !kept[k + 1]) continue;
      const int j = 2 * (box.x + c);
      out.picture.Byte(box.y + r, j + 1) = static_cast<uint8_t>(RoundClamp(estimate.chromaU[k / 2], 16, 240));
      out.picture.Byte(box.y + r, j + 3) = static_cast<uint8_t>(RoundClamp(estimate.chromaV[k / 2], 16, 240));
    }
  }
  out.logoPixels = static_cast<int>(errors.size());
  if (out.logoPixels == 0) return out;
  // The faintest logo pixel's height above black: every logo pixel counts,
  // and NoLogo softens only where the picture steps by that much.
  out.threshold = std::max(1, threshold);
  out.medianError = Median(errors);
  if (!lumas.empty()) {
    out.logoLuma = RoundClamp(Median(lumas), 16, 255);
    out.logoLumaLow = RoundClamp(Percentile(lumas, 0.03), 16, 255);
    out.logoLumaHigh = RoundClamp(Percentile(lumas, 0.97), 16, 255);
    out.logoU = RoundClamp(Median(us), 0, 255);
    out.logoV = RoundClamp(Median(vs), 0, 255);
  }
  if (inside) {
    out.region = *inside;
    return out;
  }
  // The kept box, padded, with an even left edge and width, in the frame.
  int left = std::max(0, box.x + x0 - kRegionPadding);
  int right = std::min(frameWidth, box.x + x1 + 1 + kRegionPadding);
  left &= ~1;
  if ((right - left) & 1) right = right < frameWidth ? right + 1 : right - 1;
  const int top = std::max(0, box.y + y0 - kRegionPadding);
  const int bottom = std::min(frameHeight, box.y + y1 + 1 + kRegionPadding);
  out.region = {left, top, right - left, bottom - top};
  return out;
}

}  // namespace pramvix::cli::logo
