#include "scenes.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "memory_clip.h"
#include "plugin/function_table.h"

namespace pramvix::bench {

const FrameSize kFrameSizes[2] = {{"1080p", 1920, 1080, 200, 80}, {"576p", 720, 576, 100, 50}};

namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr int kAutoThreshold = 5;  // NoLogoAuto's fixed threshold

uint32_t Hash(uint32_t a, uint32_t b) {
  uint32_t h = a * 0x9E3779B1u ^ (b + 0x7F4A7C15u) * 0x85EBCA77u;
  h ^= h >> 15;
  h *= 0x2C1B3C6Du;
  h ^= h >> 12;
  h *= 0x297A2D39u;
  return h ^ (h >> 15);
}

uint8_t Byte(double v) { return static_cast<uint8_t>(std::lround(std::clamp(v, 0.0, 255.0))); }

// Broad luma and chroma waves over a vertical gradient, with ±3 of noise on
// the luma: no flat areas, as in camera pictures.
local::Picture Content(int width, int height) {
  local::Picture picture = local::Picture::YUY2(width, height);
  for (int r = 0; r < height; ++r) {
    const double fy = static_cast<double>(r) / height;
    for (int p = 0; p < width; ++p) {
      const double fx = static_cast<double>(p) / width;
      const double wave =
          35 * std::sin(2 * kPi * (1.5 * fx + 0.4 * fy)) + 12 * std::sin(2 * kPi * (5 * fx * fy + 0.7 * fx));
      const int noise = static_cast<int>(Hash(p, r) % 7) - 3;
      picture.Luma(r, p) = Byte(std::clamp(70 + 100 * fy + wave, 16.0, 235.0) + noise);
      const double chroma = p % 2 == 0 ? 128 + 24 * std::sin(2 * kPi * (fx + 0.2))
                                       : 128 + 18 * std::cos(2 * kPi * (0.8 * fy + 0.3 * fx));
      picture.Byte(r, 2 * p + 1) = Byte(chroma);
    }
  }
  return picture;
}

// The logo as a broadcaster lays it over the picture: white (238) with the
// opacity that the reference picture shows, (L − 16) / 222.
local::Picture WithLogo(const local::Picture& clean, const local::Picture& reference) {
  local::Picture main = clean;
  for (size_t j = 0; j < main.bytes.size(); j += 2) {
    const double alpha = (reference.bytes[j] - 16) / 222.0;
    main.bytes[j] = Byte(main.bytes[j] + alpha * (238 - main.bytes[j]));
  }
  return main;
}

// A pixel at signed distance d (pixels, negative inside) from a shape's edge:
// the part of it that the shape covers, so the rim is one pixel wide.
double Coverage(double d) { return std::clamp(0.5 - d, 0.0, 1.0); }

double SegmentDistance(double u, double v, double u0, double v0, double u1, double v1) {
  const double du = u1 - u0, dv = v1 - v0;
  const double t = std::clamp(((u - u0) * du + (v - v0) * dv) / (du * du + dv * dv), 0.0, 1.0);
  return std::hypot(u - u0 - t * du, v - v0 - t * dv);
}

// Letters drawn with straight strokes in a unit box, y downward.
struct Stroke {
  double u0, v0, u1, v1;
};
const std::vector<std::vector<Stroke>> kLetters = {
    {{0, 1, 0, 0}, {0, 0, 1, 1}, {1, 1, 1, 0}},  // N
    {{0, 0, 1, 0}, {0.5, 0, 0.5, 1}},           // T
    {{0, 0, 0.5, 1}, {0.5, 1, 1, 0}},           // V
};

// Signed distance to the logo, in region heights: a ring at the left, then as
// many letters as fit, with strokes `stroke` thick. (u, v) is the position in
// the region, in region heights; the region is `wide` heights wide.
double LogoDistance(double u, double v, double wide, double stroke) {
  const double centre = std::hypot(u - 0.5, v - 0.5);
  double d = std::max(centre - 0.42, 0.42 - 1.5 * stroke - centre);
  size_t letter = 0;
  for (double left = 1.0; left + 0.4 <= wide - 0.08; left += 0.5, ++letter) {
    for (const Stroke& s : kLetters[letter % kLetters.size()]) {
      const double segment =
          SegmentDistance(u, v, left + 0.4 * s.u0, 0.2 + 0.6 * s.v0, left + 0.4 * s.u1, 0.2 + 0.6 * s.v1);
      d = std::min(d, segment - stroke / 2);
    }
  }
  return d;
}

// Every pixel of the region: the logo in luma 235 (top) to 200 (bottom) over
// black, with an anti-aliased rim.
void PaintLogo(local::Picture& reference, const Region& region, double stroke) {
  const double h = region.height;
  for (int r = 0; r < region.height; ++r) {
    const double v = (r + 0.5) / h;
    for (int p = 0; p < region.width; ++p) {
      const double coverage = Coverage(LogoDistance((p + 0.5) / h, v, region.width / h, stroke) * h);
      reference.Luma(region.y + r, region.x + p) = Byte(16 + coverage * (235 - 35 * v - 16));
    }
  }
}

// Blobs on a jittered grid of `cell`-pixel cells: discs of radius
// scale·cell·(0.8…1.2), each of its own luma (200…235), overlapping at large
// scales. None reaches the first four columns, which hold pixel 1, the row's
// reference for NoLogoAuto.
void PaintBlobs(local::Picture& reference, int cell, double scale) {
  const int width = reference.rowSize / 2;
  for (int r = 0; r < reference.height; ++r) {
    for (int p = 0; p < width; ++p) {
      double coverage = 0;
      int fill = 16;
      for (int cy = r / cell - 1; cy <= r / cell + 1; ++cy) {
        for (int cx = p / cell - 1; cx <= p / cell + 1; ++cx) {
          if (cx < 0 || cy < 0) continue;
          const uint32_t h = Hash(cx + 1000, cy + 1000);
          const double x = (cx + 0.5 + 0.3 * ((h & 255) / 255.0 - 0.5)) * cell;
          const double y = (cy + 0.5 + 0.3 * ((h >> 8 & 255) / 255.0 - 0.5)) * cell;
          const double radius = scale * cell * (0.8 + 0.4 * (h >> 16 & 255) / 255.0);
          if (x - radius < 5) continue;
          const double c = Coverage(std::hypot(p + 0.5 - x, r + 0.5 - y) - radius);
          if (c > coverage) {
            coverage = c;
            fill = 200 + static_cast<int>(h >> 24) % 36;
          }
        }
      }
      reference.Luma(r, p) = Byte(16 + coverage * (fill - 16));
    }
  }
}

// The share of the region's pixels that the filters take as logo: reference
// luma at least `threshold` away from that of the region's first pixel.
double LogoShare(const local::Picture& reference, const Region& region, int threshold) {
  int64_t logo = 0;
  for (int r = region.y; r < region.y + region.height; ++r) {
    const int edge = reference.Luma(r, region.x);
    for (int p = region.x; p < region.x + region.width; ++p) {
      logo += std::abs(reference.Luma(r, p) - edge) >= threshold;
    }
  }
  return static_cast<double>(logo) / (static_cast<double>(region.width) * region.height);
}

// Paints with the parameter in [lo, hi] (the share grows with it) that brings
// the measured share closest to `target`.
template <class Paint>
void PaintShare(Paint paint, double lo, double hi, double target, const local::Picture& picture,
                const Region& region, int threshold) {
  for (int i = 0; i < 14; ++i) {
    const double mid = (lo + hi) / 2;
    paint(mid);
    (LogoShare(picture, region, threshold) < target ? lo : hi) = mid;
  }
  paint((lo + hi) / 2);
}

std::unique_ptr<Scene> NewScene(const FrameSize& size, const Region& region) {
  auto scene = std::make_unique<Scene>();
  RegisterFunctions(&scene->env);
  scene->region = region;
  scene->clean = Content(size.width, size.height);
  scene->reference = local::Picture::YUY2(size.width, size.height, 16);
  return scene;
}

void Finish(Scene& scene, int threshold, const std::string& title) {
  scene.main = WithLogo(scene.clean, scene.reference);
  scene.cleanClip = local::MemoryClip::Of({scene.clean});
  scene.mainClip = local::MemoryClip::Of({scene.main});
  scene.referenceClip = local::MemoryClip::Of({scene.reference});
  scene.logoShare = LogoShare(scene.reference, scene.region, threshold);
  std::fprintf(stderr, "scene %s: %.1f %% logo pixels (reference luma differs by %d or more)\n", title.c_str(),
               100 * scene.logoShare, threshold);
}

Scene& Cached(const std::string& key, std::unique_ptr<Scene> (*build)(const FrameSize&, int),
              const FrameSize& size, int percent) {
  static std::map<std::string, std::unique_ptr<Scene>> scenes;
  std::unique_ptr<Scene>& scene = scenes[key];
  if (!scene) scene = build(size, percent);
  return *scene;
}

std::unique_ptr<Scene> BuildLogoScene(const FrameSize& size, int) {
  const int x = (size.width - size.logoWidth - size.width / 24) / 2 * 2;
  auto scene = NewScene(size, Region{x, size.height / 18, size.logoWidth, size.logoHeight});
  PaintShare([&](double stroke) { PaintLogo(scene->reference, scene->region, stroke); }, 0.02, 0.3, 0.40,
             scene->reference, scene->region, kThreshold);
  const Region& region = scene->region;
  Finish(*scene, kThreshold,
         std::string(size.label) + " logo " + std::to_string(region.width) + "x" + std::to_string(region.height) +
             " at (" + std::to_string(region.x) + ", " + std::to_string(region.y) + ")");
  return scene;
}

std::unique_ptr<Scene> BuildAutoScene(const FrameSize& size, int percent) {
  auto scene = NewScene(size, Region{1, 0, size.width - 1, size.height - 1});
  PaintShare([&](double scale) { PaintBlobs(scene->reference, size.height / 12, scale); }, 0.02, 0.7,
             percent / 100.0, scene->reference, scene->region, kAutoThreshold);
  Finish(*scene, kAutoThreshold, std::string(size.label) + " NoLogoAuto logo" + std::to_string(percent));
  return scene;
}

}  // namespace

Scene& LogoScene(const FrameSize& size) { return Cached(std::string(size.label), BuildLogoScene, size, 0); }

Scene& AutoScene(const FrameSize& size, int percent) {
  return Cached(std::string(size.label) + "/auto" + std::to_string(percent), BuildAutoScene, size, percent);
}

MutableFrame RowsOf(local::Picture& picture) {
  return MutableFrame{picture.bytes.data(), picture.rowSize, picture.rowSize, picture.height};
}

ConstFrame ReadRowsOf(const local::Picture& picture) {
  return ConstFrame{picture.bytes.data(), picture.rowSize, picture.rowSize, picture.height};
}

}  // namespace pramvix::bench
