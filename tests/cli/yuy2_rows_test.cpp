#include "yuy2_rows.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <vector>

namespace pramvix::testing {
namespace {

// Lengths around the vector step of 16 pairs, so that every path and tail
// runs; each buffer has guard bytes after what a call may touch.
const std::vector<int> kPairCounts = {0, 1, 15, 16, 17, 31, 32, 33, 47, 100};
constexpr size_t kGuard = 64;
constexpr uint8_t kGuardByte = 0xA5;

std::vector<uint8_t> RandomBytes(size_t size, unsigned seed) {
  std::mt19937 random(seed);
  std::vector<uint8_t> bytes(size + kGuard);
  for (uint8_t& b : bytes) b = static_cast<uint8_t>(random());
  return bytes;
}

std::vector<uint8_t> Guarded(size_t size) { return std::vector<uint8_t>(size + kGuard, kGuardByte); }

void ExpectGuardIntact(const std::vector<uint8_t>& bytes, size_t size) {
  for (size_t i = size; i < bytes.size(); ++i) ASSERT_EQ(bytes[i], kGuardByte) << "written past the row at " << i;
}

// Packing interleaves the planes; splitting takes each sample from its place.
TEST(YUY2Rows, PackingAndSplittingPutEachSampleInItsPlace) {
  for (int pairs : kPairCounts) {
    SCOPED_TRACE(pairs);
    const auto top = RandomBytes(4 * pairs, 4 + pairs), bottom = RandomBytes(4 * pairs, 5 + pairs);
    auto y = Guarded(2 * pairs), u = Guarded(pairs), v = Guarded(pairs), packed = Guarded(4 * pairs);
    auto meanU = Guarded(pairs), meanV = Guarded(pairs);
    cli::LumaOfRow(top.data(), pairs, y.data());
    cli::ChromaOfRow(top.data(), pairs, u.data(), v.data());
    cli::ChromaMeanOfRows(top.data(), bottom.data(), pairs, meanU.data(), meanV.data());
    cli::PackRow(bottom.data(), bottom.data() + pairs, bottom.data() + 3 * pairs, pairs, packed.data());
    for (int i = 0; i < pairs; ++i) {
      ASSERT_EQ(y[2 * i], top[4 * i]);
      ASSERT_EQ(y[2 * i + 1], top[4 * i + 2]);
      ASSERT_EQ(u[i], top[4 * i + 1]);
      ASSERT_EQ(v[i], top[4 * i + 3]);
      ASSERT_EQ(meanU[i], (top[4 * i + 1] + bottom[4 * i + 1] + 1) / 2);
      ASSERT_EQ(meanV[i], (top[4 * i + 3] + bottom[4 * i + 3] + 1) / 2);
      // Packed from planes Y = bottom[0, 2 pairs), U = bottom[pairs, ...), V = bottom[3 pairs, ...).
      const uint8_t expected[] = {bottom[2 * i], bottom[pairs + i], bottom[2 * i + 1], bottom[3 * pairs + i]};
      ASSERT_TRUE(std::equal(expected, expected + 4, &packed[4 * i])) << "pair " << i;
    }
    for (const auto* plane : {&u, &v, &meanU, &meanV}) ExpectGuardIntact(*plane, pairs);
    ExpectGuardIntact(y, 2 * pairs);
    ExpectGuardIntact(packed, 4 * pairs);
  }
}

// The mean rounds up, at every pair of extremes, in the vector steps as in
// the tail.
TEST(YUY2Rows, TheMeanRoundsUpEverywhere) {
  const std::vector<std::pair<uint8_t, uint8_t>> pairsOfValues = {{0, 0}, {0, 1}, {1, 2}, {254, 255}, {0, 255}, {255, 255}, {100, 3}};
  for (const auto& [a, b] : pairsOfValues) {
    const int pairs = 19;
    std::vector<uint8_t> top(4 * pairs, a), bottom(4 * pairs, b), u(pairs), v(pairs);
    cli::ChromaMeanOfRows(top.data(), bottom.data(), pairs, u.data(), v.data());
    const auto mean = static_cast<uint8_t>((a + b + 1) / 2);
    EXPECT_EQ(u, std::vector<uint8_t>(pairs, mean)) << int(a) << " " << int(b);
    EXPECT_EQ(v, std::vector<uint8_t>(pairs, mean)) << int(a) << " " << int(b);
  }
}

}  // namespace
}  // namespace pramvix::testing
