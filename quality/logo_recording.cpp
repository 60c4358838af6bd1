#include "logo_recording.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <future>
#include <stdexcept>

#include "y4m.h"

namespace pramvix::quality {

namespace {

using cli::logo::Box;

constexpr double kPi = 3.14159265358979323846;

// A well-mixed 32-bit hash of a few numbers.
uint32_t Hash(uint32_t a, uint32_t b = 0, uint32_t c = 0) {
  uint32_t h = a * 0x9E3779B1u ^ (b + 0x7F4A7C15u) * 0x85EBCA77u ^ (c + 0x165667B1u) * 0xC2B2AE3Du;
  h ^= h >> 15, h *= 0x2C1B3C6Du, h ^= h >> 12, h *= 0x297A2D39u, h ^= h >> 15;
  return h;
}
double Unit(uint32_t h) { return (h & 0xFFFFFF) / double(0x1000000); }  // 0..1

// Smooth value noise: random values on a grid of `cell` pixels, blended.
double ValueNoise(double x, double y, double cell, uint32_t seed) {
  const double gx = x / cell, gy = y / cell;
  const double fx = std::floor(gx), fy = std::floor(gy);
  const double tx = gx - fx, ty = gy - fy;
  const double sx = tx * tx * (3 - 2 * tx), sy = ty * ty * (3 - 2 * ty);
  auto at = [&](double cx, double cy) {
    return Unit(Hash(static_cast<uint32_t>(static_cast<int64_t>(cx)), static_cast<uint32_t>(static_cast<int64_t>(cy)), seed));
  };
  const double top = at(fx, fy) * (1 - sx) + at(fx + 1, fy) * sx;
  const double bottom = at(fx, fy + 1) * (1 - sx) + at(fx + 1, fy + 1) * sx;
  return top * (1 - sy) + bottom * sy;  // 0..1
}

// Whether the point (x, y) of a w x h logo is covered by the logo's shape:
// a ring, a bar and a block of letter-like strokes.
bool Covered(double x, double y, double w, double h) {
  const double r = h * 0.45, cx = r + 1, cy = h / 2;
  const double d = std::hypot(x - cx, y - cy);
  if (d <= r && d >= r * 0.55) return true;
  if (x >= 2 * r + 3 && x <= w - 2 && y >= h * 0.1 && y <= h * 0.3) return true;  // bar
  if (x >= 2 * r + 3 && x <= w - 2 && y >= h * 0.45 && y <= h * 0.9) {
    const double u = (x - 2 * r - 3) / std::max(1.0, w - 2 * r - 5);
    const int stroke = static_cast<int>(u * 7);
    return stroke % 2 == 0 || (y >= h * 0.8) || (y <= h * 0.55 && stroke % 4 == 1);
  }
  return false;
}

}  // namespace

SyntheticRecording::SyntheticRecording(const RecordingPlan& plan) : plan_(plan) {
  const int marginX = plan.width / 20 + 4, marginY = plan.letterbox + plan.height / 20 + 4;
  int x = 0, y = 0;
  switch (plan.corner) {
    case RecordingPlan::Corner::kTopLeft: x = marginX, y = marginY; break;
    case RecordingPlan::Corner::kTopRight: x = plan.width - marginX - plan.logoWidth, y = marginY; break;
    case RecordingPlan::Corner::kBottomLeft: x = marginX, y = plan.height - marginY - plan.logoHeight; break;
    case RecordingPlan::Corner::kBottomRight:
      x = plan.width - marginX - plan.logoWidth, y = plan.height - marginY - plan.logoHeight;
      break;
    case RecordingPlan::Corner::kNone: break;
  }
  // Coverage from 4x4 points per pixel: anti-aliased edges.
  std::vector<double> cover(static_cast<size_t>(plan.logoWidth) * plan.logoHeight, 0);
  int x0 = plan.logoWidth, y0 = plan.logoHeight, x1 = -1, y1 = -1;
  if (plan.corner != RecordingPlan::Corner::kNone) {
    for (int r = 0; r < plan.logoHeight; ++r) {
      for (int c = 0; c < plan.logoWidth; ++c) {
        int hits = 0;
        for (int k = 0; k < 16; ++k) hits += Covered(c + (k % 4 + 0.5) / 4, r + (k / 4 + 0.5) / 4, plan.logoWidth, plan.logoHeight);
        cover[static_cast<size_t>(r) * plan.logoWidth + c] = hits / 16.0;
        if (hits) x0 = std::min(x0, c), x1 = std::max(x1, c), y0 = std::min(y0, r), y1 = std::max(y1, r);
      }
    }
  }
  if (x1 < 0) {
    box_ = {};
    return;
  }
  box_ = {x + x0, y + y0, x1 - x0 + 1, y1 - y0 + 1};
  alpha_.resize(static_cast<size_t>(box_.width) * box_.height);
  for (int r = 0; r < box_.height; ++r) {
    for (int c = 0; c < box_.width; ++c) {
      alpha_[static_cast<size_t>(r) * box_.width + c] = plan.opacity * cover[static_cast<size_t>(r + y0) * plan.logoWidth + c + x0];
    }
  }
}

double SyntheticRecording::Opacity(int x, int y) const {
  if (x < box_.x || y < box_.y || x >= box_.Right() || y >= box_.Bottom()) return 0;
  return alpha_[static_cast<size_t>(y - box_.y) * box_.width + (x - box_.x)];
}

bool SyntheticRecording::HasLogo(int n) const {
  if (box_.Empty()) return false;
  // Ad breaks in blocks of a 100-frame cycle, placed by the seed.
  const int period = 100;
  const int shift = static_cast<int>(Hash(plan_.seed, 7) % period);
  return ((n + shift) % period) < plan_.presence * period;
}

namespace {

// An advert's still card: a grid of bright boxes on dark grey, the same in
// every frame of every break, with edges sharper and longer than the logo's.
template <typename Noise>
void DrawStill(local::Picture& picture, const RecordingPlan& plan, Noise& normal) {
  const int w = plan.width, h = plan.height;
  const int x0 = w * 2 / 5, x1 = w * 17 / 20, y0 = h / 2, y1 = h * 9 / 10;
  const int cellW = std::max(4, (x1 - x0) / 6), cellH = std::max(4, (y1 - y0) / 4);
  for (int y = y0; y < y1; ++y) {
    for (int x = x0; x < x1; ++x) {
      const int cx = (x - x0) % cellW, cy = (y - y0) % cellH;
      const bool box = cx >= cellW / 5 && cx < cellW - cellW / 5 && cy >= cellH / 5 && cy < cellH - cellH / 5;
      picture.Luma(y, x) = static_cast<uint8_t>(std::clamp(std::lround((box ? 200 : 40) + normal(plan.noise)), 16L, 235L));
    }
  }
}

// A studio set: the same panels in every scene that shows it, staggered so
// that no edge runs across the frame like a letterbox's, and a presenter
// (a plain block) swaying in front.
template <typename Noise>
void DrawSet(local::Picture& picture, const RecordingPlan& plan, double t, Noise& normal) {
  const int w = plan.width, h = plan.height, columns = 7, rows = 5;
  auto fill = [&picture](int x0, int y0, int x1, int y1, int luma, int chroma) {
    for (int y = y0; y < y1; ++y) {
      for (int x = x0; x < x1; ++x) picture.Luma(y, x) = static_cast<uint8_t>(luma), picture.Byte(y, 2 * x + 1) = static_cast<uint8_t>(chroma);
    }
  };
  fill(0, 0, w, h, 60, 128);
  for (int r = 0; r < rows; ++r) {
    for (int c = 0; c < columns; ++c) {
      const uint32_t k = Hash(plan.seed, 100 + r, c);
      const int x0 = c * w / columns + static_cast<int>(Unit(k) * w / (4 * columns));
      const int y0 = r * h / rows + static_cast<int>(Unit(Hash(k, 1)) * h / (3 * rows));
      const int x1 = std::min(w, x0 + w / (2 * columns)), y1 = std::min(h, y0 + h / (2 * rows));
      fill(x0, y0, x1, y1, static_cast<int>(90 + 120 * Unit(Hash(k, 2))), 128);
    }
  }
  const int px = static_cast<int>(w * (0.45 + 0.15 * std::sin(t * 0.2))), py = h / 3;
  fill(px, py, std::min(w, px + w / 8), h, 110, 140);
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x) {
      uint8_t& luma = picture.Luma(y, x);
      luma = static_cast<uint8_t>(std::clamp(std::lround(luma + normal(plan.noise)), 16L, 235L));
    }
  }
}

}  // namespace

local::Picture SyntheticRecording::Clean(int n) const {
  const int w = plan_.width, h = plan_.height;
  local::Picture picture = local::Picture::YUY2(w, h, 16, 128);
  int scene = 0, start = 0;
  const int shortest = std::max(1, plan_.sceneFrames);
  while (true) {
    const int length = shortest + static_cast<int>(Hash(plan_.seed, scene, 1) % (shortest + 1));
    if (n < start + length) break;
    start += length, ++scene;
  }
  const double t = n - start;
  const uint32_t s = Hash(plan_.seed, scene, 2);
  const double kind = Unit(Hash(s, 3));
  const bool busy = kind < plan_.busy, dark = !busy && kind > 1 - (1 - plan_.busy) * 0.3;
  const double base = dark ? 18 + 14 * Unit(Hash(s, 4)) : 30 + 190 * Unit(Hash(s, 4));
  const double slopeX = (Unit(Hash(s, 5)) - 0.5) * 60 / w, slopeY = (Unit(Hash(s, 6)) - 0.5) * 60 / h;
  const double vx = (Unit(Hash(s, 7)) - 0.5) * 6, vy = (Unit(Hash(s, 8)) - 0.5) * 4;
  const double baseU = 100 + 56 * Unit(Hash(s, 9)), baseV = 100 + 56 * Unit(Hash(s, 10));
  double freq[3][2], phase[3], amp[3];
  for (int k = 0; k < 3; ++k) {
    const double period = 6 + 34 * Unit(Hash(s, 11, k)), angle = 2 * kPi * Unit(Hash(s, 12, k));
    freq[k][0] = 2 * kPi / period * std::cos(angle), freq[k][1] = 2 * kPi / period * std::sin(angle);
    phase[k] = 2 * kPi * Unit(Hash(s, 13, k)), amp[k] = 10 + 20 * Unit(Hash(s, 14, k));
  }
  // A large soft blob drifting over calm scenes.
  const double blobX = w * Unit(Hash(s, 15)) + vx * t * 2, blobY = h * Unit(Hash(s, 16)) + vy * t * 2;
  const double blobR = 0.5 * w, blobA = dark ? 4 : (Unit(Hash(s, 17)) - 0.5) * 50;
  // Roughly normal noise from four uniform numbers of a fast generator.
  uint32_t state = Hash(plan_.seed, n, 99) | 1;
  auto normal = [&state](double sigma) {
    double sum = 0;
    for (int k = 0; k < 4; ++k) {
      state ^= state << 13, state ^= state >> 17, state ^= state << 5;
      sum += (state & 0xFFFF) / 65536.0;
    }
    return (sum - 2) * 1.7320508 * sigma;  // variance of the sum is 1/3
  };
  // sin(a·x + b·y + p) = sin(a·x)·cos(b·y + p) + cos(a·x)·sin(b·y + p).
  std::vector<double> sinX(3 * static_cast<size_t>(w)), cosX(3 * static_cast<size_t>(w));
  for (int k = 0; k < 3; ++k) {
    for (int x = 0; x < w; ++x) {
      sinX[k * w + x] = std::sin(freq[k][0] * (x + vx * t));
      cosX[k * w + x] = std::cos(freq[k][0] * (x + vx * t));
    }
  }
  for (int y = 0; y < h; ++y) {
    const bool bar = y < plan_.letterbox || y >= h - plan_.letterbox;
    double sinY[3], cosY[3];
    for (int k = 0; k < 3; ++k) {
      sinY[k] = std::sin(freq[k][1] * (y + vy * t) + phase[k]);
      cosY[k] = std::cos(freq[k][1] * (y + vy * t) + phase[k]);
    }
    for (int x = 0; x < w; ++x) {
      double v;
      if (bar) {
        v = 16 + std::fabs(normal(plan_.noise)) * 0.5;
      } else {
        v = base + slopeX * (x - w / 2) + slopeY * (y - h / 2);
        if (busy) {
          for (int k = 0; k < 3; ++k) v += amp[k] * (sinX[k * w + x] * cosY[k] + cosX[k * w + x] * sinY[k]);
          v += 60 * (ValueNoise(x + vx * t, y + vy * t, 7, s) - 0.5);
        } else {
          const double d2 = ((x - blobX) * (x - blobX) + (y - blobY) * (y - blobY)) / (blobR * blobR);
          v += blobA * std::exp(-d2);
        }
        v += normal(plan_.noise);
      }
      picture.Luma(y, x) = static_cast<uint8_t>(std::clamp(std::lround(v), 16L, 235L));
    }
    for (int x = 0; x < w; x += 2) {
      double u = baseU, vv = baseV;
      if (bar) {
        u = vv = 128;
      } else if (busy) {
        u += 12 * (sinX[x] * cosY[0] + cosX[x] * sinY[0]);
        vv += 12 * (sinX[w + x] * sinY[1] - cosX[w + x] * cosY[1]);
      }
      picture.Byte(y, 2 * x + 1) = static_cast<uint8_t>(std::clamp(std::lround(u + normal(plan_.noise * 0.75)), 16L, 240L));
      picture.Byte(y, 2 * x + 3) = static_cast<uint8_t>(std::clamp(std::lround(vv + normal(plan_.noise * 0.75)), 16L, 240L));
    }
  }
  if (plan_.stillSet > 0 && (scene == 0 || Unit(Hash(s, 20)) < plan_.stillSet)) DrawSet(picture, plan_, t, normal);
  if (n < plan_.openingLine * plan_.frames && !box_.Empty() && w >= 2) {
    // Two pixels wide, from the logo's edge nearer the frame's border over
    // the logo and on toward the middle, in dashes of 8 pixels 10 apart.
    const int length = h * 9 / 20, x = std::clamp(box_.x + box_.width / 2 - 1, 0, w - 2);
    const bool down = box_.y + box_.height / 2 < h / 2;
    const int y0 = down ? box_.y : std::max(0, box_.Bottom() - length), y1 = std::min(h, y0 + length);
    for (int y = y0; y < y1; ++y) {
      if ((y - y0) % 18 >= 8) continue;
      for (int i = 0; i < 2; ++i) picture.Luma(y, x + i) = static_cast<uint8_t>(std::clamp(std::lround(30 + normal(plan_.noise)), 16L, 235L));
    }
  }
  if (plan_.adStill && !HasLogo(n)) DrawStill(picture, plan_, normal);
  if (plan_.adMark && !HasLogo(n)) {
    // The middle half of the box, clear of its edges.
    for (int y = box_.y + box_.height / 4; y < box_.y + box_.height * 3 / 4; ++y) {
      for (int x = box_.x + box_.width / 4; x < box_.x + box_.width * 3 / 4; ++x) {
        picture.Luma(y, x) = static_cast<uint8_t>(std::clamp(std::lround(180 + normal(plan_.noise)), 16L, 235L));
      }
    }
  }
  return picture;
}


void SyntheticRecording::Overlay(local::Picture& picture) const {
  for (int y = box_.y; y < box_.Bottom(); ++y) {
    for (int x = box_.x & ~1; x < box_.Right(); x += 2) {
      const double a0 = Opacity(x, y), a1 = Opacity(x + 1, y), pair = (a0 + a1) / 2;
      for (int i = 0; i < 2; ++i) {
        const double a = i ? a1 : a0;
        uint8_t& luma = picture.Luma(y, x + i);
        luma = static_cast<uint8_t>(std::lround(luma * (1 - a) + plan_.logoY * a));
      }
      uint8_t& u = picture.Byte(y, 2 * x + 1);
      uint8_t& v = picture.Byte(y, 2 * x + 3);
      u = static_cast<uint8_t>(std::lround(u * (1 - pair) + plan_.logoU * pair));
      v = static_cast<uint8_t>(std::lround(v * (1 - pair) + plan_.logoV * pair));
    }
  }
}

local::Picture SyntheticRecording::Recorded(int n) const {
  local::Picture picture = Clean(n);
  if (HasLogo(n)) Overlay(picture);
  return picture;
}

local::Picture SyntheticRecording::TrueReference() const {
  local::Picture picture = local::Picture::YUY2(plan_.width, plan_.height, 16, 128);
  Overlay(picture);
  return picture;
}

void SyntheticRecording::Write(std::FILE* out, const std::string& name, cli::Y4MChroma chroma) const {
  cli::Y4MFormat format;
  format.width = plan_.width, format.height = plan_.height;
  if (chroma == cli::Y4MChroma::k420) format.chroma = chroma, format.chromaTag = "420jpeg";
  cli::Y4MWriter writer(out, name, format);
  // Two frames made at once: a long full-size recording takes a while.
  for (int n = 0; n < plan_.frames; n += 2) {
    auto next = std::async(std::launch::async, [&] { return n + 1 < plan_.frames ? Recorded(n + 1) : local::Picture{}; });
    const local::Picture p = Recorded(n);
    writer.WriteFrame(p.bytes.data(), p.rowSize);
    const local::Picture q = next.get();
    if (n + 1 < plan_.frames) writer.WriteFrame(q.bytes.data(), q.rowSize);
  }
}

std::string SyntheticRecording::Y4M(cli::Y4MChroma chroma) const {
  char* data = nullptr;
  size_t size = 0;
  std::FILE* out = open_memstream(&data, &size);
  Write(out, "memory", chroma);
  std::fclose(out);
  std::string bytes(data, size);
  std::free(data);
  return bytes;
}

void SyntheticRecording::WriteY4M(const std::string& path) const {
  std::FILE* out = std::fopen(path.c_str(), "wb");
  if (!out) throw std::runtime_error(path + ": cannot write");
  // In writes of 32 KiB, as ffmpeg writes a file: the page cache then holds
  // the file as it would hold a recording made with it (stdio's 4 KiB writes
  // leave it in 4 KiB pieces, each slower to read).
  std::setvbuf(out, nullptr, _IOFBF, size_t{1} << 15);
  Write(out, path, cli::Y4MChroma::k422);
  std::fclose(out);
}

double MeanAbsoluteError(const local::Picture& a, const local::Picture& b, const cli::logo::Box& box) {
  double sum = 0;
  int count = 0;
  for (int y = box.y; y < box.Bottom(); ++y) {
    for (int x = box.x; x < box.Right(); ++x, ++count) sum += std::abs(a.Luma(y, x) - b.Luma(y, x));
  }
  return count ? sum / count : 0;
}

}  // namespace pramvix::quality
