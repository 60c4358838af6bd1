#pragma once
// What the tests of the kernels' vector variants share: the variants this CPU
// runs, and random input from a seed that is printed and can be replayed.
#include <cstdint>
#include <random>
#include <vector>

#include "base/simd.h"

namespace pramvix::test {

// Every set beyond the scalar reference that this build and CPU run.
std::vector<Simd> VectorSimd();

// A new seed per run, printed; PRAMVIX_TEST_SEED=<n> replays one.
uint32_t TestSeed();

// A byte row of exactly `size` bytes, so a read past its end is caught.
std::vector<uint8_t> RandomBytes(std::mt19937& random, size_t size);

}  // namespace pramvix::test
