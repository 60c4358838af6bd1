// The logo search's kernels against their definitions, for every instruction
// set: the cells of 2x2 pixels and the sums of each cell's steps.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "logo/search_kernels.h"
#include "support/variant_check.h"

namespace pramvix::testing {
namespace {
using cli::logo::CellRowFor;
using cli::logo::kMaxStepFrames;
using cli::logo::StepSumFor;

// Bytes of one of three kinds: noise, the extremes only (the largest steps),
// or a level with small noise.
std::vector<uint8_t> Bytes(Draw& draw, size_t count) {
  std::vector<uint8_t> bytes(count);
  const int kind = draw.Int(0, 2), level = draw.Int(0, 255);
  for (auto& b : bytes) {
    b = static_cast<uint8_t>(kind == 0 ? draw.Int(0, 255) : kind == 1 ? 255 * draw.Int(0, 1) : std::clamp(level + draw.Int(-2, 2), 0, 255));
  }
  return bytes;
}

TEST(LogoSearchKernels, CellsAreRoundedMeansOfTwoByTwoPixels) {
  const uint32_t seed = TestSeed();
  SCOPED_TRACE(SeedNote(seed));
  Draw draw(seed);
  for (int trial = 0; trial < 300; ++trial) {
    const int count = trial < 40 ? trial : draw.Int(0, 1000);
    // Rows of exactly their bytes: a read past them is an error under ASan.
    const std::vector<uint8_t> top = Bytes(draw, 2 * static_cast<size_t>(count)), bottom = Bytes(draw, 2 * static_cast<size_t>(count));
    for (Simd simd : SupportedSimd()) {
      std::vector<uint8_t> out(static_cast<size_t>(count) + 1, 77);
      CellRowFor(simd)(top.data(), bottom.data(), count, out.data());
      for (int c = 0; c < count; ++c) {
        const int sum = top[2 * c] + top[2 * c + 1] + bottom[2 * c] + bottom[2 * c + 1];
        ASSERT_EQ(out[c], (sum + 2) / 4) << SimdName(simd) << " count " << count << " cell " << c;
      }
      EXPECT_EQ(out[count], 77) << SimdName(simd) << " wrote past " << count;
    }
  }
}

// Each cell's six sums over the frames, from the definition; the cells at
// the row's ends, which have no left or right neighbour, keep their sums.
TEST(LogoSearchKernels, StepSumsFollowTheirDefinitionForAnyFrameCount) {
  const uint32_t seed = TestSeed();
  SCOPED_TRACE(SeedNote(seed));
  Draw draw(seed);
  for (int trial = 0; trial < 200; ++trial) {
    const int width = trial < 30 ? 3 + trial : draw.Int(3, 1000);
    const int frames = trial % kMaxStepFrames + 1;  // odd and even counts, up to the most
    std::vector<std::vector<uint8_t>> planes;  // three rows each
    std::vector<std::vector<int16_t>> means;
    std::vector<const uint8_t*> rows;
    std::vector<const int16_t*> meanRows;
    for (int k = 0; k < frames; ++k) {
      planes.push_back(Bytes(draw, 3 * static_cast<size_t>(width)));
      means.emplace_back(width);
      for (auto& m : means.back()) m = static_cast<int16_t>(draw.OneIn(4) ? 255 : draw.Int(0, 255));
    }
    for (int k = 0; k < frames; ++k) rows.push_back(planes[k].data() + width), meanRows.push_back(means[k].data());
    std::vector<int32_t> start(6 * static_cast<size_t>(width));
    for (auto& s : start) s = draw.Int(-1000000, 1000000);
    std::vector<int32_t> expected = start;
    for (int k = 0; k < frames; ++k) {
      const uint8_t* row = rows[k];
      for (int c = 1; c + 1 < width; ++c) {
        const int gx = row[c + 1] - row[c - 1], gy = row[c + width] - row[c - width], m = means[k][c];
        expected[c] += gx;
        expected[width + c] += gx * m;
        expected[2 * width + c] += gy;
        expected[3 * width + c] += gy * m;
        expected[4 * width + c] += gx * gx + gy * gy;
        expected[5 * width + c] += std::abs(gx) + std::abs(gy) >= cli::logo::kShownStep;
      }
    }
    for (Simd simd : SupportedSimd()) {
      std::vector<int32_t> sums = start;
      int32_t* s = sums.data();
      StepSumFor(simd)(rows.data(), meanRows.data(), frames, width, s, s + width, s + 2 * width, s + 3 * width, s + 4 * width,
                       s + 5 * width);
      ASSERT_EQ(sums, expected) << SimdName(simd) << " width " << width << " frames " << frames;
    }
  }
}

}  // namespace
}  // namespace pramvix::testing
