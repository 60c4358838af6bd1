#include "synthetic_recording.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "memory_clip.h"

namespace pramvix::quality {

namespace {

struct Colour {
  double y, u, v;
};

uint8_t Byte(double value) { return static_cast<uint8_t>(std::lround(std::clamp(value, 0.0, 255.0))); }

// Moving colour: a hue wheel turning about a drifting centre, colour bars
// sliding sideways across the top third, and a luma texture.
Colour Content(int p, int r, int t, int width, int height) {
  const double x = static_cast<double>(p) / width, y = static_cast<double>(r) / height;
  const double texture = 0.5 + 0.25 * std::sin(37 * x + 2.0 * t) * std::sin(23 * y - 1.3 * t);
  if (y < 0.35) {
    // Bars of eight saturated colours, moving one bar width every 8 frames.
    static const Colour bars[] = {{180, 16, 146},  {170, 166, 16}, {145, 54, 34}, {81, 90, 240},
                                  {106, 202, 222}, {41, 240, 110}, {150, 60, 190}, {65, 100, 180}};
    const int bar = static_cast<int>(std::floor(8 * x + t / 8.0)) & 7;
    const Colour& c = bars[bar];
    return {c.y * (0.7 + 0.6 * (texture - 0.5)), c.u, c.v};
  }
  const double cx = 0.7 + 0.1 * std::cos(t * 0.2), cy = 0.3 + 0.1 * std::sin(t * 0.2);
  const double angle = std::atan2(y - cy, x - cx) + 0.15 * t;
  const double radius = std::min(1.0, std::hypot(x - cx, y - cy) * 2.5);
  return {40 + 180 * texture, 128 + 100 * radius * std::cos(angle), 128 + 100 * radius * std::sin(angle)};
}

// Whether a point of the logo box (0…1 across and down) lies in the logo:
// "TV" in thick strokes and a ring.
bool InLogo(double x, double y) {
  auto box = [&](double x0, double y0, double x1, double y1) { return x >= x0 && x < x1 && y >= y0 && y < y1; };
  if (box(0.02, 0.10, 0.30, 0.30) || box(0.12, 0.10, 0.20, 0.90)) return true;  // T
  // V: two slanted strokes meeting at the bottom.
  const double half = 0.14 * (0.90 - y) / 0.80 + 0.01;
  if (y >= 0.10 && y < 0.90 && std::fabs(std::fabs(x - 0.48) - half) < 0.035) return true;
  const double d = std::hypot((x - 0.82) * 3, y - 0.50);  // the box is three times as wide as high
  return d >= 0.22 && d <= 0.38;                           // ring
}

}  // namespace

const std::vector<LogoColour> kLogoColours = {
    {"white", 235, 128, 128}, {"yellow", 210, 16, 146}, {"red", 81, 90, 240},
    {"cyan", 170, 166, 16},   {"blue", 41, 240, 110}};

Recording MakeRecording(int width, int height, int frames, const LogoColour& colour, double opacity) {
  Recording rec;
  // The logo box: a fifth of the width wide, a third of that high, near the
  // top-right corner; the region adds a margin of 4 pixels.
  const int boxWidth = std::max(16, width / 5), boxHeight = std::max(8, boxWidth / 3);
  const int boxX = width - boxWidth - width / 16, boxY = height / 12;
  rec.region = Region{boxX - 4, boxY - 4, boxWidth + 8, boxHeight + 8};
  rec.level = colour.y - 16;
  rec.threshold = std::max(1, static_cast<int>(opacity * rec.level / 4));

  // The logo's opacity at every pixel: its share of 4x4 samples in the logo.
  std::vector<double> alpha(static_cast<size_t>(width) * height, 0.0);
  for (int r = boxY; r < boxY + boxHeight; ++r) {
    for (int p = boxX; p < boxX + boxWidth; ++p) {
      int hits = 0;
      for (int i = 0; i < 4; ++i) {
        for (int j = 0; j < 4; ++j) {
          hits += InLogo((p - boxX + (i + 0.5) / 4) / boxWidth, (r - boxY + (j + 0.5) / 4) / boxHeight);
        }
      }
      alpha[static_cast<size_t>(r) * width + p] = opacity * hits / 16.0;
    }
  }
  const Colour logo{static_cast<double>(colour.y), static_cast<double>(colour.u), static_cast<double>(colour.v)};
  const Colour black{16, 128, 128};

  // One picture: each pixel of `under` (content or black) with the logo
  // blended in at `a` times its opacity (0: no logo), chroma averaged per pair.
  auto picture = [&](auto under, double a) {
    local::Picture out = local::Picture::YUY2(width, height);
    for (int r = 0; r < height; ++r) {
      for (int pair = 0; pair < width / 2; ++pair) {
        double u = 0, v = 0;
        for (int p = 2 * pair; p < 2 * pair + 2; ++p) {
          const double opacityHere = a * alpha[static_cast<size_t>(r) * width + p];
          const Colour c = under(p, r);
          out.Luma(r, p) = Byte(c.y * (1 - opacityHere) + logo.y * opacityHere);
          u += c.u * (1 - opacityHere) + logo.u * opacityHere;
          v += c.v * (1 - opacityHere) + logo.v * opacityHere;
        }
        out.Byte(r, 4 * pair + 1) = Byte(u / 2);
        out.Byte(r, 4 * pair + 3) = Byte(v / 2);
      }
    }
    return out;
  };
  for (int t = 0; t < frames; ++t) {
    auto content = [&](int p, int r) { return Content(p, r, t, width, height); };
    rec.clean.push_back(picture(content, 0));
    rec.burned.push_back(picture(content, 1));
  }
  rec.reference = picture([&](int, int) { return black; }, 1);
  return rec;
}

namespace {

template <int kFirst>
double MeanError(const local::Picture& a, const local::Picture& b, const Region& region) {
  // Whole pairs, so that luma and chroma cover the same pixels.
  const int first = 4 * (region.x / 2), end = 4 * ((region.x + region.width + 1) / 2);
  double sum = 0;
  long count = 0;
  for (int r = region.FirstRow(); r < region.FirstRow() + region.RowCount(); ++r) {
    for (int j = first + kFirst; j < end; j += 2) {
      sum += std::abs(a.Byte(r, j) - b.Byte(r, j));
      ++count;
    }
  }
  return count ? sum / count : 0;
}

}  // namespace

double MeanChromaError(const local::Picture& a, const local::Picture& b, const Region& region) {
  return MeanError<1>(a, b, region);
}

double MeanLumaError(const local::Picture& a, const local::Picture& b, const Region& region) {
  return MeanError<0>(a, b, region);
}

Errors MeasureRemoval(local::LocalEnvironment& env, const Recording& recording, const std::string& function) {
  const Region& r = recording.region;
  std::vector<AVSValue> args = {local::MemoryClip::Of(recording.burned), local::MemoryClip::Of({recording.reference}),
                                0, recording.threshold, r.x, r.y, r.width, r.height};
  if (function != "NoLogo") args.insert(args.end(), {AVSValue(1.0f), AVSValue(recording.level), AVSValue(0)});
  const PClip filter = env.Invoke(function, args).AsClip();
  Errors errors;
  const int frames = static_cast<int>(recording.clean.size());
  for (int n = 0; n < frames; ++n) {
    const local::Picture out = local::PictureOf(filter->GetFrame(n, &env));
    errors.chroma += MeanChromaError(out, recording.clean[static_cast<size_t>(n)], r) / frames;
    errors.luma += MeanLumaError(out, recording.clean[static_cast<size_t>(n)], r) / frames;
    if (n == 0) errors.first = out;
  }
  return errors;
}

}  // namespace pramvix::quality
