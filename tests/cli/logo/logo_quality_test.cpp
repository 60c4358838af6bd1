// The logo analysis on recordings with a known logo: the region, the
// reference picture and NoLogo's result with it, against the truth.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <string>

#include "cli/support/synthetic_recording.h"
#include "local_environment.h"
#include "logo/analysis.h"
#include "memory_clip.h"

namespace pramvix::testing {
namespace {

using cli::logo::Analysis;
using cli::logo::Box;
using Corner = RecordingSpec::Corner;

Analysis Analyse(const SyntheticRecording& recording, const cli::logo::AnalysisOptions& options = {}, bool seekable = true) {
  const std::string bytes = recording.Y4M();
  auto reader = std::make_unique<cli::Y4MReader>(
      cli::MemorySource(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size(), seekable), "recording");
  cli::logo::FrameSampler sampler(std::move(reader), {});
  return cli::logo::AnalyseClip(sampler, options);
}

// Share of the logo's pixels whose reference luma is within 3 of the truth.
double ShareWithin3(const SyntheticRecording& recording, const local::Picture& reference) {
  const local::Picture truth = recording.TrueReference();
  const Box box = recording.TrueBox();
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

// NoLogo's mean absolute error in the logo's box, over frames with the logo,
// with the given reference, threshold and region.
double NoLogoError(local::LocalEnvironment& host, const SyntheticRecording& recording, const local::Picture& reference,
                   int threshold, const Box& region) {
  const PClip logo = local::MemoryClip::Of({reference});
  double sum = 0;
  int frames = 0;
  for (int n = 0; n < recording.Spec().frames && frames < 24; n += 3) {
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

struct QualityCase {
  const char* name;
  RecordingSpec spec;
};

RecordingSpec Spec(Corner corner, double opacity, int y, int u, int v, double presence = 1.0, int letterbox = 0,
                   unsigned seed = 1) {
  RecordingSpec spec;
  spec.corner = corner, spec.opacity = opacity, spec.logoY = y, spec.logoU = u, spec.logoV = v;
  spec.presence = presence, spec.letterbox = letterbox, spec.seed = seed;
  return spec;
}

void PrintTo(const QualityCase& c, std::ostream* out) { *out << c.name; }

class LogoQuality : public ::testing::TestWithParam<QualityCase> {};

TEST_P(LogoQuality, MeetsTheTargets) {
  const SyntheticRecording recording(GetParam().spec);
  const Analysis analysis = Analyse(recording);
  const Box truth = recording.TrueBox();
  const Box found = analysis.reference.region;
  // The region covers the logo and exceeds it by at most 8 pixels a side.
  EXPECT_TRUE(found.Contains(truth)) << found.x << "," << found.y << "," << found.width << "," << found.height << " truth "
                                     << truth.x << "," << truth.y << "," << truth.width << "," << truth.height;
  EXPECT_LE(truth.x - found.x, 8);
  EXPECT_LE(truth.y - found.y, 8);
  EXPECT_LE(found.Right() - truth.Right(), 8);
  EXPECT_LE(found.Bottom() - truth.Bottom(), 8);
  EXPECT_EQ(found.x % 2, 0);
  EXPECT_EQ(found.width % 2, 0);
  const double share = ShareWithin3(recording, analysis.reference.picture);
  EXPECT_GE(share, 0.95);

  local::LocalEnvironment host;
  host.LoadPlugin(PRAMVIX_PLUGIN_PATH);
  const double estimated = NoLogoError(host, recording, analysis.reference.picture, analysis.reference.threshold, found);
  const Box trueRegion = cli::logo::FitBoxFor(truth, 3, recording.Spec().width, recording.Spec().height);
  const double ideal = NoLogoError(host, recording, recording.TrueReference(), 1, trueRegion);
  EXPECT_LE(estimated, 1.25 * ideal + 0.05) << "ideal " << ideal;
  std::printf("%s: region %d,%d,%d,%d truth %d,%d,%d,%d; within 3: %.3f; NoLogo error %.2f vs %.2f; fit frames %d of %d\n",
              GetParam().name, found.x, found.y, found.width, found.height, truth.x, truth.y, truth.width, truth.height,
              share, estimated, ideal, analysis.fitFrames, analysis.framesRead);
}

INSTANTIATE_TEST_SUITE_P(
    Recordings, LogoQuality,
    ::testing::Values(QualityCase{"WhiteTopRight", Spec(Corner::kTopRight, 0.6, 235, 128, 128)},
                      QualityCase{"FaintWhiteTopLeft", Spec(Corner::kTopLeft, 0.1, 235, 128, 128, 1.0, 0, 2)},
                      QualityCase{"SolidWhiteBottomLeft", Spec(Corner::kBottomLeft, 0.9, 235, 128, 128, 1.0, 0, 3)},
                      QualityCase{"OrangeBottomRight", Spec(Corner::kBottomRight, 0.5, 150, 60, 200, 1.0, 0, 4)},
                      QualityCase{"GreyTopRight", Spec(Corner::kTopRight, 0.4, 128, 128, 128, 1.0, 0, 5)},
                      QualityCase{"AdBreaks", Spec(Corner::kTopRight, 0.5, 235, 128, 128, 0.4, 0, 6)},
                      QualityCase{"Letterboxed", Spec(Corner::kBottomRight, 0.6, 235, 128, 128, 1.0, 24, 7)}),
    [](const ::testing::TestParamInfo<QualityCase>& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace pramvix::testing
