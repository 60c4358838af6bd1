// The logo analysis on recordings with a known logo: the region, the
// reference picture and NoLogo's result with it, against the truth.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "local_environment.h"
#include "logo/analysis.h"
#include "logo_cases.h"

namespace pramvix::quality {
// A failing case is named, not dumped as bytes.
void PrintTo(const LogoCase& c, std::ostream* out) { *out << c.name; }
}  // namespace pramvix::quality

namespace pramvix::testing {
namespace {
using quality::LogoCase;
using quality::NoLogoError;
using quality::ShareWithin3;
using quality::RecordingPlan;
using quality::SyntheticRecording;

using cli::logo::Analysis;
using cli::logo::Box;

Analysis Analyse(const SyntheticRecording& recording, const cli::logo::AnalysisOptions& options = {}, bool seekable = true) {
  const std::string bytes = recording.Y4M();
  auto reader = std::make_unique<cli::Y4MReader>(
      cli::MemorySource(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size(), seekable), "recording");
  cli::logo::FrameSampler sampler(std::move(reader), {});
  return cli::logo::AnalyseClip(sampler, options);
}

class LogoQuality : public ::testing::TestWithParam<LogoCase> {};

TEST_P(LogoQuality, MeetsTheTargets) {
  const SyntheticRecording recording(GetParam().plan);
  const Analysis analysis = Analyse(recording);
  const Box truth = recording.TrueBox();
  const Box found = analysis.reference.region;
  // The region covers the logo and exceeds it by at most 8 pixels a side.
  EXPECT_TRUE(found.Contains(truth) && Grow(truth, 8, recording.Plan().width, recording.Plan().height).Contains(found))
      << found.x << "," << found.y << "," << found.width << "," << found.height << " truth " << truth.x << ","
      << truth.y << "," << truth.width << "," << truth.height;
  EXPECT_EQ(found.x % 2, 0);
  EXPECT_EQ(found.width % 2, 0);
  const double share = ShareWithin3(recording, analysis.reference.picture);
  EXPECT_GE(share, 0.95);
  // The preview shows a frame with the logo, not an advert's picture.
  EXPECT_TRUE(analysis.sampleNumber >= 0 && recording.HasLogo(analysis.sampleNumber)) << "frame " << analysis.sampleNumber;
  // One colour: the advice must not call its parts different.
  EXPECT_LE(analysis.reference.logoLumaHigh - analysis.reference.logoLumaLow, 40)
      << analysis.reference.logoLumaLow << " to " << analysis.reference.logoLumaHigh;

  // The background black and neutral, but for the fit's noise (within the
  // ±3 of the logo's own pixels) where it touches the logo's rim; the logo in
  // its colour, at full strength and where it is solid enough to show it.
  const RecordingPlan& plan = recording.Plan();
  const local::Picture truePicture = recording.TrueReference();
  const local::Picture& picture = analysis.reference.picture;
  auto touchesLogo = [&](int x, int y) {
    for (int dy = -1; dy <= 1; ++dy) {
      for (int dx = -1; dx <= 2; ++dx) {
        if (recording.Opacity(x + dx, y + dy) > 0) return true;
      }
    }
    return false;
  };
  int chromaGood = 0, chromaAll = 0;
  for (int y = 0; y < plan.height; ++y) {
    for (int x = 0; x < plan.width; x += 2) {
      const double opacity = (recording.Opacity(x, y) + recording.Opacity(x + 1, y)) / 2;
      const std::vector<int> pair{picture.Luma(y, x), picture.Byte(y, 2 * x + 1), picture.Byte(y, 2 * x + 3)};
      if (opacity == 0 && touchesLogo(x, y)) {
        ASSERT_TRUE(pair[0] >= 16 && pair[0] <= 19 && std::abs(pair[1] - 128) <= 3 && std::abs(pair[2] - 128) <= 3)
            << x << "," << y << ": " << pair[0] << " " << pair[1] << " " << pair[2];
      } else if (opacity == 0) {
        ASSERT_EQ(pair, std::vector<int>({16, 128, 128})) << x << "," << y;
      } else if (opacity >= 0.3) {
        ++chromaAll;
        chromaGood += std::abs(picture.Byte(y, 2 * x + 1) - truePicture.Byte(y, 2 * x + 1)) <= 4 &&
                      std::abs(picture.Byte(y, 2 * x + 3) - truePicture.Byte(y, 2 * x + 3)) <= 4;
      }
    }
  }
  EXPECT_GE(chromaGood, chromaAll * 0.95) << chromaGood << " of " << chromaAll;
  EXPECT_NEAR(analysis.reference.logoLuma, plan.logoY, 3);
  EXPECT_NEAR(analysis.reference.logoU, plan.logoU, 4);
  EXPECT_NEAR(analysis.reference.logoV, plan.logoV, 4);
  // Where the logo comes and goes, the advised thresholds tell its frames apart.
  if (recording.Plan().presence < 1) {
    for (const auto* advice : {&analysis.ifLogo, &analysis.ifNoLogo}) {
      EXPECT_TRUE(advice->separated);
      EXPECT_NEAR(static_cast<double>(advice->withLogo) / advice->frames, recording.Plan().presence, 0.1);
      EXPECT_GE(advice->agreeing, advice->frames * 8 / 10);
      EXPECT_GT(advice->frameThreshold, 1);
      EXPECT_GT(advice->logoThreshold, 1);
    }
  }

  local::LocalEnvironment host;
  host.LoadPlugin(PRAMVIX_PLUGIN_PATH);
  const double estimated = NoLogoError(host, recording, analysis.reference.picture, analysis.reference.threshold, found);
  const Box trueRegion = cli::logo::FitBoxFor(truth, 3, recording.Plan().width, recording.Plan().height);
  const double ideal = NoLogoError(host, recording, recording.TrueReference(), 1, trueRegion);
  EXPECT_LE(estimated, 1.25 * ideal + 0.05) << "ideal " << ideal;
  std::printf("%s: region %d,%d,%d,%d truth %d,%d,%d,%d; within 3: %.3f; NoLogo error %.2f vs %.2f; fit frames %d of %d\n",
              GetParam().name, found.x, found.y, found.width, found.height, truth.x, truth.y, truth.width, truth.height,
              share, estimated, ideal, analysis.fitFrames, analysis.framesRead);
}

INSTANTIATE_TEST_SUITE_P(Recordings, LogoQuality, ::testing::ValuesIn(quality::LogoCases()),
                         [](const ::testing::TestParamInfo<LogoCase>& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace pramvix::testing
