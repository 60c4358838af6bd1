#pragma once
// What the tests of the vector kernels share: the sets to compare with the
// plain kernels, a replayable random source, and frames held in buffers of
// exactly their bytes, so that AddressSanitizer sees any access past them.
#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "base/region.h"
#include "base/simd.h"
#include "base/yuy2.h"

namespace pramvix::testing {

// Every vector set this CPU runs; the plain kernels are their reference.
std::vector<Simd> VectorSimd();

// Whether `run(simd)` gives on every vector set what it gives on the plain
// kernel; a failure names the first set that differs.
template <class Run>
::testing::AssertionResult LikeThePlainKernel(Run&& run) {
  static const std::vector<Simd> sets = VectorSimd();
  if (sets.empty()) return ::testing::AssertionSuccess();
  const auto plain = run(Simd::kScalar);
  for (Simd simd : sets) {
    if (!(run(simd) == plain)) return ::testing::AssertionFailure() << SimdName(simd) << " differs from the plain kernel";
  }
  return ::testing::AssertionSuccess();
}

// PRAMVIX_TEST_SEED=n replays a run; otherwise each run draws a new seed.
uint32_t TestSeed();
// "seed n (replay with PRAMVIX_TEST_SEED=n)", for SCOPED_TRACE.
std::string SeedNote(uint32_t seed);

class Draw {
 public:
  explicit Draw(uint32_t seed) : engine_(seed) {}

  int Int(int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(engine_); }
  bool OneIn(int n) { return Int(1, n) == 1; }
  // Mostly near the byte range, often one of the edges of the byte range or
  // of int.
  int Threshold();
  // 2·width bytes: random chroma, and lumas of one of several kinds (noise,
  // flat runs with steps, a level with small noise, dark values around 16).
  std::vector<uint8_t> Row(int width);

 private:
  std::mt19937 engine_;
};

// A Draw from TestSeed() whose seed every failure in its scope names.
class SeededDraw : public Draw {
 public:
  SeededDraw() : SeededDraw(TestSeed()) {}

 private:
  explicit SeededDraw(uint32_t seed) : Draw(seed), trace_(__FILE__, __LINE__, SeedNote(seed)) {}
  ::testing::ScopedTrace trace_;
};

// A frame whose buffer ends with its last row's data.
struct TightFrame {
  TightFrame(int rowSize, int height, int pitch);

  MutableFrame Rows() { return {bytes.data(), pitch, rowSize, height}; }
  ConstFrame ReadRows() const { return {bytes.data(), pitch, rowSize, height}; }

  int rowSize;
  int height;
  int pitch;
  std::vector<uint8_t> bytes;
};

// A frame of `width` pixels and `height` rows with random padding per row and
// rows drawn by Draw::Row.
TightFrame RandomFrame(Draw& draw, int width, int height);

// A region of such a frame, anywhere from pixel 0 to the right edge, its rows
// from y or from the top; sometimes without pixels or rows.
Region RandomRegion(Draw& draw, int width, int height);

// A reference row as a logo gives it: stretches at the edge luma, strokes of
// one luma with a softer rim, and noise, each from 1 to 80 pixels long.
std::vector<uint8_t> LogoLikeRow(Draw& draw, int width, int edge);
// A reference picture of `width` x `height` as a logo gives it: a logo's
// strokes over one edge luma (with up to ±3 of noise), every row its own
// logo-like row, or one such row repeated; `x` is each row's edge pixel.
TightFrame LogoLikeFrame(Draw& draw, int width, int height, int x);

// Tests of the vector kernels, skipped where this build or CPU has none.
class VectorKernelTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (VectorSimd().empty()) GTEST_SKIP() << "no vector set on this build or CPU";
  }
};

}  // namespace pramvix::testing
