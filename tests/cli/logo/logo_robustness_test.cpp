// The analysis driven with arbitrary clips: tiny, constant, black, one frame,
// random bytes, odd regions. It must return or refuse, never crash or reach
// outside its buffers (the sanitizer build checks the latter).
#include <gtest/gtest.h>

#include <memory>
#include <random>
#include <string>

#include "cli/support/command_run.h"
#include "cli_error.h"
#include "logo/analysis.h"

namespace pramvix::testing {
namespace {

enum class Content { kConstant, kBlack, kRandom, kStripes };

std::vector<local::Picture> Clip(int w, int h, int frames, Content content, std::mt19937& random) {
  std::vector<local::Picture> pictures;
  for (int n = 0; n < frames; ++n) {
    local::Picture p = local::Picture::YUY2(w, h, content == Content::kBlack ? 16 : 120, 128);
    if (content == Content::kRandom) {
      for (auto& b : p.bytes) b = static_cast<uint8_t>(random());
    } else if (content == Content::kStripes) {
      for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) p.Luma(y, x) = static_cast<uint8_t>((x / 3 + y / 5) % 2 ? 235 : 16);
      }
    }
    pictures.push_back(std::move(p));
  }
  return pictures;
}

TEST(LogoRobustness, ArbitraryClipsGiveAResultOrARefusal) {
  std::mt19937 random(17);
  const int sizes[][2] = {{2, 2}, {4, 1}, {8, 8}, {16, 16}, {18, 12}, {34, 20}, {64, 36}};
  int outcomes[2] = {0, 0};
  for (int round = 0; round < 120; ++round) {
    const auto& size = sizes[random() % std::size(sizes)];
    const int frames = 1 + static_cast<int>(random() % (round % 3 == 0 ? 2 : 40));
    const auto content = static_cast<Content>(random() % 4);
    const std::string bytes = Y4MOf(Clip(size[0], size[1], frames, content, random));
    cli::logo::AnalysisOptions options;
    if (random() % 3 == 0) {
      options.region = cli::logo::Box{static_cast<int>(random() % 40), static_cast<int>(random() % 40),
                                      static_cast<int>(random() % 40), static_cast<int>(random() % 40)};
    }
    cli::logo::SampleRule rule;
    rule.first = static_cast<int>(random() % 3);
    rule.last = random() % 2 ? -1 : rule.first + static_cast<int>(random() % 50);
    rule.cap = 1 + static_cast<int>(random() % 64);
    const bool seekable = random() % 2;
    try {
      cli::logo::FrameSampler sampler(
          std::make_unique<cli::Y4MReader>(
              cli::MemorySource(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size(), seekable), "clip"),
          rule);
      const auto analysis = cli::logo::AnalyseClip(sampler, options);
      ++outcomes[0];
      EXPECT_EQ(analysis.reference.picture.rowSize, 2 * size[0]);
      EXPECT_GT(analysis.reference.logoPixels, 0);
    } catch (const cli::CliError& e) {
      ++outcomes[1];
      EXPECT_NE(std::string(e.what()), "");
    }
  }
  // Clips like these hold no logo to vouch for.
  EXPECT_EQ(outcomes[0], 0);
  EXPECT_EQ(outcomes[1], 120);
}

}  // namespace
}  // namespace pramvix::testing
