// Generates a clip with a semi-transparent logo burned in and its reference
// picture, removes the logo with NoLogo through the plug-in library, and
// writes before/after images.
#include <cmath>
#include <cstdio>
#include <string>

#include "local_environment.h"
#include "memory_clip.h"
#include "png_out.h"

using pramvix::AVSValue;
using pramvix::PClip;
using pramvix::local::Picture;

namespace {

constexpr int kWidth = 320, kHeight = 180;
constexpr int kLogoX = 236, kLogoY = 16, kLogoW = 64, kLogoH = 40;

// Opacity of the logo at a pixel: a ring with a bar, 0 outside.
double LogoOpacity(int p, int r) {
  const double dx = p - (kLogoX + 20), dy = r - (kLogoY + 20);
  const double d = std::sqrt(dx * dx + dy * dy);
  if (d >= 10 && d <= 16) return 0.55;
  if (p >= kLogoX + 40 && p < kLogoX + 58 && r >= kLogoY + 14 && r < kLogoY + 26) return 0.55;
  return 0.0;
}

// A moving picture: diagonal bands and a colour wash that drift with t.
Picture Scene(int t) {
  Picture picture = Picture::YUY2(kWidth, kHeight);
  for (int r = 0; r < kHeight; ++r) {
    for (int p = 0; p < kWidth; ++p) {
      const double wave = std::sin((p + 2 * r + 6 * t) * 0.05) * 0.5 + 0.5;
      picture.Luma(r, p) = static_cast<uint8_t>(40 + 150 * wave * (r + 40) / (kHeight + 40));
    }
    for (int p = 0; p < kWidth; p += 2) {
      picture.Byte(r, 2 * p + 1) = static_cast<uint8_t>(128 + 40 * std::sin((p + t * 4) * 0.02));
      picture.Byte(r, 2 * p + 3) = static_cast<uint8_t>(128 + 40 * std::cos((r + t * 3) * 0.03));
    }
  }
  return picture;
}

// Burns a white (luma 238) overlay of the logo's opacity into the luma.
Picture WithLogo(Picture picture) {
  for (int r = 0; r < kHeight; ++r) {
    for (int p = 0; p < kWidth; ++p) {
      const double a = LogoOpacity(p, r);
      picture.Luma(r, p) = static_cast<uint8_t>(std::lround(picture.Luma(r, p) * (1 - a) + 238 * a));
    }
  }
  return picture;
}

}  // namespace

int main(int argc, char** argv) {
  const std::string out = argc > 1 ? argv[1] : "out/demo";
  pramvix::local::LocalEnvironment host;
  host.LoadPlugin(PRAMVIX_PLUGIN_PATH);

  std::vector<Picture> frames;
  for (int t = 0; t < 4; ++t) frames.push_back(WithLogo(Scene(t)));
  const Picture reference = WithLogo(Picture::YUY2(kWidth, kHeight, 16));
  const PClip clip = pramvix::local::MemoryClip::Of(frames);
  const PClip logo = pramvix::local::MemoryClip::Of({reference});

  const PClip cleaned =
      host.Invoke("NoLogo", {clip, logo, 0, 20, kLogoX - 4, kLogoY - 4, kLogoW + 8, kLogoH + 8}).AsClip();
  const Picture after = pramvix::local::PictureOf(cleaned->GetFrame(2, &host));

  bool ok = WriteYUY2AsPNG(frames[2], out + "-before.png") && WriteYUY2AsPNG(after, out + "-nologo.png") &&
            WriteYUY2AsPNG(reference, out + "-reference.png");
  if (!ok) {
    std::fprintf(stderr, "demo: cannot write images under %s\n", out.c_str());
    return 1;
  }
  std::printf("wrote %s-before.png, %s-nologo.png and %s-reference.png\n", out.c_str(), out.c_str(), out.c_str());
  return 0;
}
