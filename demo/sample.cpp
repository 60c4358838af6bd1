// Writes the demo's sample material into a directory: sample.y4m (ten seconds
// of scenes, busy and calm, with a semi-transparent yellow logo burned in),
// clean.y4m (the same without the logo), plain.y4m (a flat blue clip),
// drawn-logo.png (the logo over black as it was drawn, in its colour, to
// compare with what `pramvix logo` finds), before.png (frame 2 of sample.y4m)
// and broadcast.y4m (12 seconds: programme with the logo, an advert without
// it, programme).
#include <cmath>
#include <cstdio>
#include <string>

#include "cli_error.h"
#include "png_io.h"
#include "y4m.h"

using pramvix::local::Picture;

namespace {

constexpr int kWidth = 320, kHeight = 180, kFrames = 240, kSceneFrames = 30;
constexpr int kLogoX = 236, kLogoY = 16;

// Opacity of the logo at a pixel: a ring with a bar, 0 outside.
double LogoOpacity(int p, int r) {
  const double dx = p - (kLogoX + 20), dy = r - (kLogoY + 20);
  const double d = std::sqrt(dx * dx + dy * dy);
  if (d >= 10 && d <= 16) return 0.55;
  if (p >= kLogoX + 40 && p < kLogoX + 58 && r >= kLogoY + 14 && r < kLogoY + 26) return 0.55;
  return 0.0;
}

// A calm scene: a soft gradient at one of four brightness levels (a fade, a
// grey studio wall, a bright sky, a dusky one) with a slowly drifting glow.
Picture Calm(int t) {
  static const int kLevels[4] = {24, 120, 200, 64};
  const int scene = t / kSceneFrames, level = kLevels[(scene / 2) % 4];
  Picture picture = Picture::YUY2(kWidth, kHeight);
  const double gx = kWidth * (0.3 + 0.01 * (t % kSceneFrames)), gy = kHeight * 0.6;
  for (int r = 0; r < kHeight; ++r) {
    for (int p = 0; p < kWidth; ++p) {
      const double glow = 12 * std::exp(-((p - gx) * (p - gx) + (r - gy) * (r - gy)) / (2.0 * 120 * 120));
      picture.Luma(r, p) = static_cast<uint8_t>(std::lround(level + 0.04 * (r - kHeight / 2) + glow));
    }
    for (int p = 0; p < kWidth; p += 2) {
      picture.Byte(r, 2 * p + 1) = static_cast<uint8_t>(140 - level / 16);
      picture.Byte(r, 2 * p + 3) = static_cast<uint8_t>(118 + level / 20);
    }
  }
  return picture;
}

// A moving picture: diagonal bands and a colour wash that drift with t, in
// every other scene; calm scenes between them.
Picture Scene(int t) {
  if ((t / kSceneFrames) % 2 == 1) return Calm(t);
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

// The logo's colour: yellow (luma 210, so NoLogoM and NoLogoColor take level
// 194), U 16, V 146.
constexpr int kLogoLuma = 210, kLogoU = 16, kLogoV = 146;

uint8_t Blend(int under, int logo, double a) { return static_cast<uint8_t>(std::lround(under * (1 - a) + logo * a)); }

// Burns the logo in at its opacity: into each pixel's luma, and into each
// pair's chroma at the mean opacity of its two pixels, as subsampling a
// picture blended in full colour gives. Over black (luma 16, chroma 128) this
// makes the reference picture, whose chroma is the logo's over neutral.
Picture WithLogo(Picture picture) {
  for (int r = 0; r < kHeight; ++r) {
    for (int p = 0; p < kWidth; p += 2) {
      const double a0 = LogoOpacity(p, r), a1 = LogoOpacity(p + 1, r), pair = (a0 + a1) / 2;
      picture.Luma(r, p) = Blend(picture.Luma(r, p), kLogoLuma, a0);
      picture.Luma(r, p + 1) = Blend(picture.Luma(r, p + 1), kLogoLuma, a1);
      picture.Byte(r, 2 * p + 1) = Blend(picture.Byte(r, 2 * p + 1), kLogoU, pair);
      picture.Byte(r, 2 * p + 3) = Blend(picture.Byte(r, 2 * p + 3), kLogoV, pair);
    }
  }
  return picture;
}

void WriteClip(const std::string& path, Picture (*frame)(int), int frames = kFrames) {
  std::FILE* out = std::fopen(path.c_str(), "wb");
  if (!out) throw pramvix::cli::CliError(path + ": cannot open for writing");
  pramvix::cli::Y4MFormat format;
  format.width = kWidth;
  format.height = kHeight;
  format.aspect = "1:1";
  {
    pramvix::cli::Y4MWriter writer(out, path, format);
    for (int t = 0; t < frames; ++t) writer.WriteFrame(frame(t).bytes.data(), 2 * kWidth);
  }
  if (std::fclose(out) != 0) throw pramvix::cli::CliError(path + ": write error");
}

Picture Sample(int t) { return WithLogo(Scene(t)); }
// Flat dark blue: U high, V neutral.
Picture Plain(int) {
  Picture picture = Picture::YUY2(kWidth, kHeight, 60, 128);
  for (size_t j = 1; j < picture.bytes.size(); j += 4) picture.bytes[j] = 200;
  return picture;
}

// An advert: bold moving stripes over the whole frame, no logo.
Picture Advert(int t) {
  Picture picture = Scene(t);
  for (int r = 0; r < kHeight; ++r) {
    for (int p = 0; p < kWidth; ++p) {
      if ((r + p / 3 + 2 * t) / 12 % 2 == 0) picture.Luma(r, p) = static_cast<uint8_t>(picture.Luma(r, p) / 2 + 100);
    }
  }
  return picture;
}

// The programme's scene washed towards white (share 0 to 1): a bright shot
// in which the logo is hard to see.
Picture Washed(int t, double share) {
  Picture picture = Scene(t);
  for (int r = 0; r < kHeight; ++r) {
    for (int p = 0; p < kWidth; ++p) {
      picture.Luma(r, p) = static_cast<uint8_t>(std::lround(picture.Luma(r, p) * (1 - share) + 235 * share));
    }
  }
  return picture;
}

// 25 frames a second: a bright shot around 2 s, the advert from 4 s to 8 s.
constexpr int kBroadcastFrames = 300;
Picture Broadcast(int t) {
  if (t >= 100 && t < 200) return Advert(t);
  if (t >= 36 && t < 64) return WithLogo(Washed(t, 0.95 - std::abs(t - 50) * 0.03));
  return Sample(t);
}

}  // namespace

int main(int argc, char** argv) {
  const std::string dir = argc > 1 ? argv[1] : "out/demo";
  try {
    WriteClip(dir + "/sample.y4m", Sample);
    WriteClip(dir + "/clean.y4m", Scene);
    WriteClip(dir + "/plain.y4m", Plain);
    WriteClip(dir + "/broadcast.y4m", Broadcast, kBroadcastFrames);
    const Picture reference = WithLogo(Picture::YUY2(kWidth, kHeight, 16));
    if (!pramvix::cli::WriteYUY2AsPNG(reference, dir + "/drawn-logo.png") ||
        !pramvix::cli::WriteYUY2AsPNG(Sample(2), dir + "/before.png")) {
      throw pramvix::cli::CliError("cannot write pictures under " + dir);
    }
  } catch (const pramvix::cli::CliError& e) {
    std::fprintf(stderr, "pramvix_sample: %s\n", e.what());
    return 1;
  }
  return 0;
}
