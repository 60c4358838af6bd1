#include "support/variant_check.h"

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <cstring>

namespace pramvix::testing {

std::vector<Simd> VectorSimd() {
  std::vector<Simd> sets;
  for (Simd simd : SupportedSimd()) {
    if (simd != Simd::kScalar) sets.push_back(simd);
  }
  return sets;
}

uint32_t TestSeed() {
  if (const char* text = std::getenv("PRAMVIX_TEST_SEED")) {
    return static_cast<uint32_t>(std::strtoul(text, nullptr, 10));
  }
  return std::random_device{}();
}

std::string SeedNote(uint32_t seed) {
  return "seed " + std::to_string(seed) + " (replay with PRAMVIX_TEST_SEED=" + std::to_string(seed) + ")";
}

int Draw::Threshold() {
  static const int kEdges[] = {INT_MIN, INT_MIN + 1, -65536, -256, -255, -254, -1, 0,
                               1,       16,          254,    255,  256,  257,  65536, INT_MAX};
  if (OneIn(3)) return kEdges[Int(0, sizeof kEdges / sizeof kEdges[0] - 1)];
  return Int(-300, 300);
}

std::vector<uint8_t> Draw::Row(int width) {
  std::vector<uint8_t> bytes(2 * static_cast<size_t>(width));
  for (uint8_t& b : bytes) b = static_cast<uint8_t>(Int(0, 255));
  const int kind = Int(0, 3);
  int level = Int(0, 255);
  for (int p = 0; p < width; ++p) {
    if ((kind == 1 && OneIn(5)) || (kind == 2 && OneIn(12))) level = Int(0, 255);
    const int luma = kind == 0   ? Int(0, 255)
                     : kind == 1 ? level
                     : kind == 2 ? std::clamp(level + Int(-3, 3), 0, 255)
                                 : Int(0, 40);
    bytes[2 * static_cast<size_t>(p)] = static_cast<uint8_t>(luma);
  }
  return bytes;
}

TightFrame::TightFrame(int rowSize, int height, int pitch)
    : rowSize(rowSize),
      height(height),
      pitch(pitch),
      bytes(height > 0 ? static_cast<size_t>(height - 1) * pitch + rowSize : 0) {}

TightFrame RandomFrame(Draw& draw, int width, int height) {
  TightFrame frame(2 * width, height, 2 * width + 2 * draw.Int(0, 8));
  for (uint8_t& b : frame.bytes) b = static_cast<uint8_t>(draw.Int(0, 255));
  for (int r = 0; r < height; ++r) {
    const std::vector<uint8_t> row = draw.Row(width);
    if (!row.empty()) std::memcpy(frame.Rows().Row(r), row.data(), row.size());
  }
  return frame;
}

Region RandomRegion(Draw& draw, int width, int height) {
  Region region;
  region.x = draw.Int(0, width - 1);
  region.width = draw.Int(0, width - region.x);
  region.y = draw.Int(-2, height - 1);
  region.height = draw.Int(0, height - region.FirstRow());
  return region;
}

// A reference row as a logo gives it: stretches at the edge luma, strokes of
// one luma with a softer rim, and noise, each from 1 to 80 pixels long.
std::vector<uint8_t> LogoLikeRow(Draw& draw, int width, int edge) {
  std::vector<uint8_t> bytes = draw.Row(width);
  for (int p = 0; p < width;) {
    const int kind = draw.Int(0, 2), length = draw.Int(1, 80), stroke = draw.Int(0, 255);
    for (int i = 0; i < length && p < width; ++i, ++p) {
      const bool rim = i == 0 || i == length - 1;
      const int luma = kind == 0 ? edge : (kind == 1 ? (rim ? (edge + stroke) / 2 : stroke) : draw.Int(0, 255));
      bytes[2 * static_cast<size_t>(p)] = static_cast<uint8_t>(luma);
    }
  }
  return bytes;
}

// A reference picture of `width` x `height` as a logo gives it: a logo's
// strokes over one edge luma (with up to ±3 of noise), every row its own
// logo-like row, or one such row repeated; `x` is each row's edge pixel.
TightFrame LogoLikeFrame(Draw& draw, int width, int height, int x) {
  TightFrame frame(2 * width, height, 2 * width + 2 * draw.Int(0, 8));
  for (uint8_t& b : frame.bytes) b = static_cast<uint8_t>(draw.Int(0, 255));
  const int kind = draw.Int(0, 2), edge = draw.Int(0, 255), noise = draw.Int(0, 3);
  const std::vector<uint8_t> shared = LogoLikeRow(draw, width, edge);
  // Strokes: rectangles of one luma with a rim half way to the edge luma.
  struct Box {
    int x0, y0, x1, y1, luma;
  };
  std::vector<Box> boxes(static_cast<size_t>(draw.Int(1, 6)));
  for (Box& b : boxes) {
    b.x0 = draw.Int(0, width - 1), b.x1 = draw.Int(b.x0, std::min(width - 1, b.x0 + 40));
    b.y0 = draw.Int(0, height - 1), b.y1 = draw.Int(b.y0, height - 1), b.luma = draw.Int(0, 255);
  }
  for (int r = 0; r < height; ++r) {
    std::vector<uint8_t> row = kind == 0 ? LogoLikeRow(draw, width, draw.Int(0, 255)) : shared;
    if (kind == 2) {
      for (int p = 0; p < width; ++p) {
        int luma = std::clamp(edge + (noise > 0 ? draw.Int(-noise, noise) : 0), 0, 255);
        for (const Box& b : boxes) {
          if (r < b.y0 || r > b.y1 || p < b.x0 || p > b.x1) continue;
          const bool rim = r == b.y0 || r == b.y1 || p == b.x0 || p == b.x1;
          luma = rim ? (edge + b.luma) / 2 : b.luma;
        }
        row[2 * static_cast<size_t>(p)] = static_cast<uint8_t>(luma);
      }
      if (draw.OneIn(4)) row[2 * static_cast<size_t>(x)] = static_cast<uint8_t>(draw.Int(0, 255));
    }
    std::memcpy(frame.Rows().Row(r), row.data(), row.size());
  }
  return frame;
}

}  // namespace pramvix::testing
