#include "support/variants.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>

namespace pramvix::test {

std::vector<Simd> VectorSimd() {
  std::vector<Simd> sets;
  for (Simd simd : SupportedSimd()) {
    if (simd != Simd::kScalar) sets.push_back(simd);
  }
  return sets;
}

uint32_t TestSeed() {
  uint32_t seed;
  if (const char* given = std::getenv("PRAMVIX_TEST_SEED")) {
    seed = static_cast<uint32_t>(std::strtoul(given, nullptr, 10));
  } else {
    seed = static_cast<uint32_t>(std::chrono::steady_clock::now().time_since_epoch().count());
  }
  std::printf("random inputs from seed %u (replay: PRAMVIX_TEST_SEED=%u)\n", seed, seed);
  return seed;
}

std::vector<uint8_t> RandomBytes(std::mt19937& random, size_t size) {
  std::vector<uint8_t> bytes(size);
  // Flat stretches as well as noise, so every test of the kernels meets both.
  std::uniform_int_distribution<int> byte(0, 255), stretch(1, 24);
  for (size_t i = 0; i < size;) {
    const bool flat = random() % 2 == 0;
    const int value = byte(random);
    for (int n = stretch(random); n > 0 && i < size; --n, ++i) {
      bytes[i] = static_cast<uint8_t>(flat ? value : byte(random));
    }
  }
  return bytes;
}

}  // namespace pramvix::test
