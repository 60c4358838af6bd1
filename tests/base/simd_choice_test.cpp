// PRAMVIX_SIMD narrows the filters' choice of instruction set to one the CPU
// runs; any other value, or none, leaves the widest.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "base/simd.h"

namespace pramvix {
namespace {

void SetChoice(const char* value) {
#ifdef _WIN32
  _putenv_s("PRAMVIX_SIMD", value);
#else
  setenv("PRAMVIX_SIMD", value, 1);
#endif
}

TEST(SimdChoice, TheEnvironmentNamesTheSetToUse) {
  const char* outer = std::getenv("PRAMVIX_SIMD");
  const std::string kept = outer ? outer : "";
  const std::vector<Simd> sets = SupportedSimd();
  ASSERT_FALSE(sets.empty());
  for (const Simd simd : sets) {
    SetChoice(SimdName(simd));
    EXPECT_EQ(BestSimd(), simd) << SimdName(simd);
  }
  for (const char* other : {"mmx", ""}) {
    SetChoice(other);
    EXPECT_EQ(BestSimd(), sets.back()) << "'" << other << "'";
  }
  SetChoice(kept.c_str());
  EXPECT_STREQ(SimdName(Simd::kScalar), "scalar");
  EXPECT_STREQ(SimdName(Simd::kSse2), "sse2");
  EXPECT_STREQ(SimdName(Simd::kAvx2), "avx2");
  EXPECT_STREQ(SimdName(Simd::kAvx512), "avx512");
}

}  // namespace
}  // namespace pramvix
