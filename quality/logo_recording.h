#pragma once
// Recordings with a known logo: moving, textured and noisy pictures in
// scenes (busy texture, calm gradients, dark scenes), a logo of a chosen
// colour and opacity with anti-aliased edges laid over them, optional ad
// breaks and letterboxing. Every frame is made on demand from the seed, so a
// long or large recording costs no memory.
#include <cstdio>
#include <string>
#include <vector>

#include "logo/frame_view.h"
#include "picture.h"
#include "y4m.h"

namespace pramvix::quality {

struct RecordingPlan {
  int width = 320;
  int height = 180;
  int frames = 300;
  unsigned seed = 1;
  enum class Corner { kTopLeft, kTopRight, kBottomLeft, kBottomRight, kNone } corner = Corner::kTopRight;
  int logoWidth = 48;
  int logoHeight = 28;
  double opacity = 0.6;
  int logoY = 235, logoU = 128, logoV = 128;  // white by default
  double presence = 1.0;  // share of frames with the logo; the rest are ad breaks
  bool adStill = false;   // the ad breaks show a still card, larger than the logo, low in the middle
  bool adMark = false;    // the ad breaks show a bright mark of their own inside the logo's box
  double stillSet = 0;    // share of scenes that show the same studio set (the first among them): still panels, a presenter moving in front
  int letterbox = 0;      // black rows at the top and at the bottom
  double openingLine = 0; // share of the frames, from the first, in which a dark dashed line stands still through the logo's middle, 45 % of the frame long (as moving content can draw one in place)
  double noise = 2.0;     // standard deviation of the luma noise
  double busy = 0.5;      // share of scenes with busy texture
  int sceneFrames = 20;   // scenes last this many frames to twice as many
};

class SyntheticRecording {
 public:
  explicit SyntheticRecording(const RecordingPlan& plan);

  const RecordingPlan& Plan() const { return plan_; }
  // The logo's box: every pixel with some opacity lies in it.
  cli::logo::Box TrueBox() const { return box_; }
  bool HasLogo(int n) const;
  // Frame n without the logo, and as recorded.
  local::Picture Clean(int n) const;
  local::Picture Recorded(int n) const;
  // The logo over black, rounded as a picture would hold it.
  local::Picture TrueReference() const;
  // Opacity per pixel of the true box.
  double Opacity(int x, int y) const;

  // The recording as a Y4M stream in memory (4:2:2, or 4:2:0 if asked), or
  // written to a file.
  std::string Y4M(cli::Y4MChroma chroma = cli::Y4MChroma::k422) const;
  void WriteY4M(const std::string& path) const;

 private:
  void Overlay(local::Picture& picture) const;
  void Write(std::FILE* out, const std::string& name, cli::Y4MChroma chroma) const;

  RecordingPlan plan_;
  cli::logo::Box box_;
  std::vector<double> alpha_;  // box-sized
};

// Mean absolute luma error over `box` of `a` against `b`.
double MeanAbsoluteError(const local::Picture& a, const local::Picture& b, const cli::logo::Box& box);

}  // namespace pramvix::quality
