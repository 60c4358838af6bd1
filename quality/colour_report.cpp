// pramvix_colour_report DIR: measures NoLogo against NoLogoColor on full-size
// synthetic recordings (1920x1080, white and coloured logos at 20 to 80 %
// opacity over moving, coloured content) and writes DIR/colour-restoration.md
// with the figures and DIR/colour-before-after.png, a crop of the logo region:
// with the logo, after NoLogo, after NoLogoColor, and the clean picture.
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "png_io.h"
#include "synthetic_recording.h"

using namespace pramvix;

namespace {

constexpr int kWidth = 1920, kHeight = 1080, kFrames = 4;

// The region of `picture` with a margin, each pixel and row doubled.
local::Picture Enlarged(const local::Picture& picture, const Region& region, int margin) {
  const int x = (region.x - margin) & ~1, width = (region.width + 2 * margin + 1) & ~1;
  const int y = region.y - margin, height = region.height + 2 * margin;
  local::Picture out = local::Picture::YUY2(2 * width, 2 * height);
  for (int r = 0; r < 2 * height; ++r) {
    for (int p = 0; p < width; p += 2) {
      const int from = 2 * (x + p);
      const uint8_t y0 = picture.Byte(y + r / 2, from), u = picture.Byte(y + r / 2, from + 1),
                    y1 = picture.Byte(y + r / 2, from + 2), v = picture.Byte(y + r / 2, from + 3);
      const uint8_t quad[8] = {y0, u, y0, v, y1, u, y1, v};
      for (int j = 0; j < 8; ++j) out.Byte(r, 4 * p + j) = quad[j];
    }
  }
  return out;
}

// Pictures of one size side by side.
local::Picture SideBySide(const std::vector<local::Picture>& pictures) {
  const int gap = 8;  // bytes: two pixels of black between panels
  int rowSize = 0;
  for (const local::Picture& p : pictures) rowSize += p.rowSize + gap;
  local::Picture out = local::Picture::YUY2((rowSize - gap) / 2, pictures.front().height);
  int at = 0;
  for (const local::Picture& p : pictures) {
    for (int r = 0; r < p.height; ++r) {
      for (int j = 0; j < p.rowSize; ++j) out.Byte(r, at + j) = p.Byte(r, j);
    }
    at += p.rowSize + gap;
  }
  return out;
}

}  // namespace

int main(int argc, char** argv) {
  const std::string dir = argc > 1 ? argv[1] : "docs";
  local::LocalEnvironment env;
  env.LoadPlugin(PRAMVIX_PLUGIN_PATH);

  std::string table =
      "| logo | opacity | threshold | level | chroma error, NoLogo | chroma error, NoLogoColor | ratio "
      "| luma error, NoLogo | luma error, NoLogoColor |\n|---|---|---|---|---|---|---|---|---|\n";
  std::vector<local::Picture> panels;
  for (const quality::LogoColour& colour : quality::kLogoColours) {
    for (const double opacity : {0.2, 0.4, 0.6, 0.8}) {
      const quality::Recording recording = quality::MakeRecording(kWidth, kHeight, kFrames, colour, opacity);
      const quality::Errors noLogo = quality::MeasureRemoval(env, recording, "NoLogo");
      const quality::Errors restored = quality::MeasureRemoval(env, recording, "NoLogoColor");
      char line[256];
      std::snprintf(line, sizeof line, "| %s | %.0f %% | %d | %d | %.2f | %.2f | %.3f | %.2f | %.2f |\n", colour.name,
                    opacity * 100, recording.threshold, recording.level, noLogo.chroma, restored.chroma,
                    restored.chroma / noLogo.chroma, noLogo.luma, restored.luma);
      table += line;
      std::fputs(line, stderr);
      // The pictures: a white and a coloured logo at 60 %.
      if (opacity == 0.6 && (std::string(colour.name) == "white" || std::string(colour.name) == "yellow")) {
        const Region& region = recording.region;
        panels.push_back(SideBySide({Enlarged(recording.burned[0], region, 8), Enlarged(noLogo.first, region, 8),
                                     Enlarged(restored.first, region, 8), Enlarged(recording.clean[0], region, 8)}));
      }
    }
  }
  // Both rows of panels in one picture, one above the other.
  local::Picture picture = local::Picture::YUY2(panels[0].rowSize / 2, panels[0].height * 2 + 8);
  for (int r = 0; r < panels[0].height; ++r) {
    for (int j = 0; j < panels[0].rowSize; ++j) {
      picture.Byte(r, j) = panels[0].Byte(r, j);
      picture.Byte(r + panels[0].height + 8, j) = panels[1].Byte(r, j);
    }
  }
  if (!cli::WriteYUY2AsPNG(picture, dir + "/colour-before-after.png")) {
    std::fprintf(stderr, "pramvix_colour_report: cannot write %s/colour-before-after.png\n", dir.c_str());
    return 1;
  }

  std::ofstream doc(dir + "/colour-restoration.md");
  doc << "# Colour under the logo: NoLogo against NoLogoColor\n\n"
         "Written by `scripts/colour-quality.sh` (`pramvix_colour_report`); the test\n"
         "`ColourQualityTest` measures the same at 240x136 and requires NoLogoColor's\n"
         "chroma error to be at most a quarter of NoLogo's in every case.\n\n"
         "Synthetic recordings of "
      << kFrames << " frames at " << kWidth << "x" << kHeight
      << ": moving colour bars and a turning hue wheel with\n"
         "a luma texture, worked out per pixel in full colour. A logo (\"TV\" and a ring,\n"
         "soft edges from 4x4 samples a pixel) of the given colour and opacity is\n"
         "blended into every pixel, and only then is each pixel pair's chroma averaged\n"
         "into YUY2, as an encoder subsamples a broadcast picture. The reference picture\n"
         "is the same logo blended over black. Both filters get the region of the\n"
         "logo's box plus 4 pixels, a threshold of a quarter of the logo's full\n"
         "reference step (at least 1); NoLogoColor also gets gain 1.0, the logo's luma\n"
         "− 16 as level, and offset 0. Errors are mean absolute differences from the\n"
         "clean picture over the bytes of the region's pixel pairs (U and V for chroma),\n"
         "averaged over the frames; NoLogo leaves the chroma as the logo left it.\n\n"
      << "Logo colours (Y, U, V in limited range): "
      << [] {
           std::string list;
           for (const quality::LogoColour& c : quality::kLogoColours) {
             list += std::string(list.empty() ? "" : ", ") + c.name + " (" + std::to_string(c.y) + ", " +
                     std::to_string(c.u) + ", " + std::to_string(c.v) + ")";
           }
           return list;
         }()
      << ".\n\n"
      << table
      << "\n![With the logo, after NoLogo, after NoLogoColor, clean](colour-before-after.png)\n\n"
         "The logo region of frame 0, enlarged twice: with the logo, after NoLogo, after\n"
         "NoLogoColor, and the clean picture; above a white logo, below a yellow one,\n"
         "both at 60 % opacity.\n";
  if (!doc) {
    std::fprintf(stderr, "pramvix_colour_report: cannot write %s/colour-restoration.md\n", dir.c_str());
    return 1;
  }
  return 0;
}
