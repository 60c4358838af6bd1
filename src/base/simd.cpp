#include "base/simd.h"

#include <cstdlib>
#include <cstring>

namespace pramvix {

namespace {
bool CpuRuns(Simd simd) {
  switch (simd) {
    case Simd::kScalar:
      return true;
#if PRAMVIX_X86_64
    case Simd::kSse2:
      return true;  // part of x86-64
    case Simd::kAvx2:
      __builtin_cpu_init();  // harmless when already done; needed before static constructors
      return __builtin_cpu_supports("avx2");
    case Simd::kAvx512:  // the foundation with the word and byte, 128- and 256-bit and doubleword subsets
      __builtin_cpu_init();
      return __builtin_cpu_supports("avx2") && __builtin_cpu_supports("avx512f") &&
             __builtin_cpu_supports("avx512bw") && __builtin_cpu_supports("avx512vl") &&
             __builtin_cpu_supports("avx512dq");
#endif
    default:
      return false;
  }
}
}  // namespace

std::vector<Simd> SupportedSimd() {
  std::vector<Simd> sets;
  for (Simd simd : {Simd::kScalar, Simd::kSse2, Simd::kAvx2, Simd::kAvx512}) {
    if (CpuRuns(simd)) sets.push_back(simd);
  }
  return sets;
}

Simd BestSimd() {
  const std::vector<Simd> sets = SupportedSimd();
  const char* wanted = std::getenv("PRAMVIX_SIMD");
  Simd best = sets.front();
  for (Simd simd : sets) {
    best = simd;
    if (wanted != nullptr && std::strcmp(wanted, SimdName(simd)) == 0) break;
  }
  return best;
}

const char* SimdName(Simd simd) {
  switch (simd) {
    case Simd::kSse2:
      return "sse2";
    case Simd::kAvx2:
      return "avx2";
    case Simd::kAvx512:
      return "avx512";
    default:
      return "scalar";
  }
}

}  // namespace pramvix
