#pragma once
// The instruction sets a pixel kernel may be built for. Each kernel module
// keeps its plain C++ variant as the reference (and the only one off x86-64)
// and hands out the variant for a given set; filters pick theirs once, when
// they are built, so a frame request never asks the CPU again.
#include <vector>

namespace pramvix {

enum class Simd { kScalar, kSse2, kAvx2, kAvx512 };

// Every set this build has code for and this CPU runs, narrowest first.
std::vector<Simd> SupportedSimd();

// The widest supported set. The environment variable PRAMVIX_SIMD (scalar,
// sse2, avx2 or avx512) narrows the choice, e.g. to compare outputs or speeds.
Simd BestSimd();

const char* SimdName(Simd simd);

}  // namespace pramvix

// Variants for x86-64 are compiled per function with a target attribute, so the
// build needs no machine flags and runs on any x86-64 CPU.
#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__))
#define PRAMVIX_X86_64 1
#define PRAMVIX_TARGET_AVX2 __attribute__((target("avx2")))
#define PRAMVIX_TARGET_AVX512 __attribute__((target("avx2,avx512f,avx512bw,avx512vl,avx512dq")))
#else
#define PRAMVIX_X86_64 0
#endif
