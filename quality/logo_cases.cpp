#include "logo_cases.h"

#include <algorithm>
#include <cstdlib>

#include "memory_clip.h"

namespace pramvix::quality {

namespace {

using Corner = RecordingPlan::Corner;

RecordingPlan PlanOf(Corner corner, double opacity, int y, int u, int v, double presence = 1.0, int letterbox = 0,
                     unsigned seed = 1) {
  RecordingPlan plan;
  plan.corner = corner, plan.opacity = opacity, plan.logoY = y, plan.logoU = u, plan.logoV = v;
  plan.presence = presence, plan.letterbox = letterbox, plan.seed = seed;
  return plan;
}

// Adverts that show the same still card, larger than the logo, elsewhere.
RecordingPlan WithAdStill(RecordingPlan plan) {
  plan.adStill = true;
  return plan;
}

// Adverts with a mark of their own where the logo sits: frames the fit must
// leave out although something stands out in the box.
RecordingPlan WithAdMark(RecordingPlan plan) {
  plan.adMark = true;
  return plan;
}

// A studio set, still and larger than the logo, in half the scenes; calm
// scenes in between, from which the background can be read.
RecordingPlan WithStudioSet(RecordingPlan plan) {
  plan.stillSet = 0.5, plan.busy = 0.3;
  return plan;
}

// A line that moving content draws in one place through the logo, for the
// opening third of the recording.
RecordingPlan WithOpeningLine(RecordingPlan plan) {
  plan.openingLine = 0.3;
  return plan;
}

}  // namespace

const std::vector<LogoCase>& LogoCases() {
  static const std::vector<LogoCase> cases = {
      {"WhiteTopRight", "white, 60 %, top right", PlanOf(Corner::kTopRight, 0.6, 235, 128, 128), true},
      {"FaintWhiteTopLeft", "white, 10 %, top left", PlanOf(Corner::kTopLeft, 0.1, 235, 128, 128, 1.0, 0, 2), true},
      {"SolidWhiteBottomLeft", "white, 90 %, bottom left", PlanOf(Corner::kBottomLeft, 0.9, 235, 128, 128, 1.0, 0, 3), true},
      {"OrangeBottomRight", "orange, 50 %, bottom right", PlanOf(Corner::kBottomRight, 0.5, 150, 60, 200, 1.0, 0, 4), true},
      {"GreyTopRight", "grey, 40 %, top right", PlanOf(Corner::kTopRight, 0.4, 128, 128, 128, 1.0, 0, 5), false},
      {"AdBreaks", "white, 50 %, in 40 % of the frames", PlanOf(Corner::kTopRight, 0.5, 235, 128, 128, 0.4, 0, 6), true},
      {"Letterboxed", "white, 60 %, letterboxed", PlanOf(Corner::kBottomRight, 0.6, 235, 128, 128, 1.0, 24, 7), true},
      {"AdBreaksWithAStill", "white, 50 %, adverts with a still card",
       WithAdStill(PlanOf(Corner::kTopLeft, 0.5, 235, 128, 128, 0.7, 0, 8)), true},
      {"AdBreaksWithAMarkOfTheirOwn", "white, 50 %, adverts with a mark in the logo's box",
       WithAdMark(PlanOf(Corner::kTopRight, 0.5, 235, 128, 128, 0.7, 0, 9)), true},
      {"AStudioSetInHalfTheScenes", "white, 60 %, a studio set in half the scenes",
       WithStudioSet(PlanOf(Corner::kTopLeft, 0.6, 235, 128, 128, 0.9, 0, 10)), true},
      {"AStillLineThroughTheLogo", "white, 60 %, a line standing still through it in the first 30 % of the frames",
       WithOpeningLine(PlanOf(Corner::kTopRight, 0.6, 235, 128, 128, 1.0, 0, 11)), true},
  };
  return cases;
}

RecordingPlan FullHD(RecordingPlan plan, int frames) {
  plan.width = 1920, plan.height = 1080, plan.frames = frames, plan.logoWidth = 180, plan.logoHeight = 72;
  if (plan.letterbox) plan.letterbox = 132;
  return plan;
}

double ShareWithin3(const SyntheticRecording& recording, const local::Picture& reference) {
  const local::Picture truth = recording.TrueReference();
  const cli::logo::Box box = recording.TrueBox();
  int good = 0, all = 0;
  for (int y = box.y; y < box.Bottom(); ++y) {
    for (int x = box.x; x < box.Right(); ++x) {
      if (recording.Opacity(x, y) <= 0) continue;
      ++all;
      good += std::abs(truth.Luma(y, x) - reference.Luma(y, x)) <= 3;
    }
  }
  return all ? static_cast<double>(good) / all : 0;
}

double NoLogoError(local::LocalEnvironment& host, const SyntheticRecording& recording, const local::Picture& reference,
                   int threshold, const cli::logo::Box& region) {
  const PClip logo = local::MemoryClip::Of({reference});
  double sum = 0;
  int frames = 0;
  for (int n = 0; n < recording.Plan().frames && frames < 24; n += 3) {
    if (!recording.HasLogo(n)) continue;
    const PClip clip = local::MemoryClip::Of({recording.Recorded(n)});
    const PClip out = host.Invoke("NoLogo", {AVSValue(clip), AVSValue(logo), AVSValue(0), AVSValue(threshold), AVSValue(region.x),
                                             AVSValue(region.y), AVSValue(region.width), AVSValue(region.height)})
                          .AsClip();
    sum += MeanAbsoluteError(local::PictureOf(out->GetFrame(0, &host)), recording.Clean(n), recording.TrueBox());
    ++frames;
  }
  return sum / std::max(1, frames);
}

}  // namespace pramvix::quality
