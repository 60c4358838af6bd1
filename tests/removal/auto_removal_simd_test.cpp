// Every vector variant of NoLogoAuto's row pass against the plain pass, byte
// for byte: every (main, reference) luma pair through the correction, every
// pattern of softened pixels, the test that skips untouched spans, and random
// rows and frames.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

#include "removal/auto_removal.h"
#include "support/variant_check.h"

#if PRAMVIX_X86_64
#define PRAMVIX_VECTOR_TARGET
#include "removal/auto_removal_vector.h"
#endif

namespace pramvix {
namespace {

using testing::VectorSimd;

const LogoPixels kModes[] = {LogoPixels::kCorrect, LogoPixels::kMark};

const char* ModeName(LogoPixels pixels) { return pixels == LogoPixels::kMark ? "marking" : "removal"; }

// The row worked in place, then the same row worked from a source into a row
// that starts as other bytes, side by side: both must be the plain pass's.
std::vector<uint8_t> PassRow(Simd simd, std::vector<uint8_t> main, const std::vector<uint8_t>& reference,
                             LogoPixels pixels) {
  const int width = static_cast<int>(main.size() / 2);
  const ConstLumaRow logo(reference.data(), static_cast<int>(reference.size() / 2));
  std::vector<uint8_t> out(main.size());
  for (size_t i = 0; i < out.size(); ++i) out[i] = static_cast<uint8_t>(~main[i]);
  AutoRowFor(simd)(MutableLumaRow(out.data(), width), ConstLumaRow(main.data(), width), logo, pixels);
  AutoRowFor(simd)(MutableLumaRow(main.data(), width), ConstLumaRow(main.data(), width), logo, pixels);
  main.insert(main.end(), out.begin(), out.end());
  return main;
}

::testing::AssertionResult PassLikePlain(const std::vector<uint8_t>& main, const std::vector<uint8_t>& reference,
                                         LogoPixels pixels) {
  return testing::LikeThePlainKernel([&](Simd simd) { return PassRow(simd, main, reference, pixels); });
}

// Main lumas (p * multiplier + 7) % 256 over `reference`, a row of lumas.
::testing::AssertionResult PassLikePlain(const std::vector<int>& reference, int multiplier, LogoPixels pixels) {
  std::vector<uint8_t> main(2 * reference.size()), lumas(2 * reference.size(), 60);
  for (size_t p = 0; p < reference.size(); ++p) {
    main[2 * p] = static_cast<uint8_t>((p * multiplier + 7) % 256);
    lumas[2 * p] = static_cast<uint8_t>(reference[p]);
  }
  return PassLikePlain(main, lumas, pixels);
}

TEST(AutoRemovalVariants, CorrectEveryLumaPairLikeThePlainPass) {
  // Pixels 0 … 2 hold the edge luma, then main luma 0 … 255 over reference
  // luma L, all of them logo pixels. Flat: L everywhere; pairs: L and a
  // neighbour luma alternate, so each lane's ratio is its own. Neither
  // softens inside, so each pair's correction shows in its byte.
  const int pixels = 3 + 256 + 13;
  for (LogoPixels mode : kModes) {
    for (int L = 0; L < 256; ++L) {
      for (bool flat : {true, false}) {
        const int edge = L < 128 ? 255 : 0;
        const int other = L == 255 ? 254 : L + 1;
        std::vector<uint8_t> main(2 * pixels, 128), reference(2 * pixels, 77);
        for (int p = 0; p < pixels; ++p) {
          reference[2 * p] = static_cast<uint8_t>(p < 3 ? edge : (flat || p % 2 == 0 ? L : other));
          if (p >= 3 && p < 3 + 256) main[2 * p] = static_cast<uint8_t>(p - 3);
        }
        ASSERT_TRUE(PassLikePlain(main, reference, mode)) << ModeName(mode) << " L=" << L << (flat ? " flat" : " pairs");
      }
    }
  }
}

TEST(AutoRemovalVariants, EveryPatternOfSoftenedPixelsAtEveryPlaceInABlock) {
  // Pixel k is softened where the reference lumas at k − 1 and k + 1 differ
  // by 5 or more: each chain of every other pixel steps between 100 and 105
  // where a bit of the pattern is set. Every pattern of twelve bits, and runs
  // of 13 to 40 set bits, cover runs of softened pixels within a block, over
  // a whole block of 8, 16 or 32 and into the next; the offset moves them
  // through every lane of each.
  std::vector<uint64_t> patterns;
  for (uint64_t pattern = 0; pattern < 4096; ++pattern) patterns.push_back(pattern);
  for (int run = 13; run <= 40; ++run) patterns.push_back((uint64_t{1} << run) - 1);
  const int pixels = 100;
  for (LogoPixels mode : kModes) {
    for (uint64_t pattern : patterns) {
      for (int offset = 0; offset < 32; ++offset) {
        std::vector<int> reference(pixels);
        const int first = 10 + offset;  // the pixel softened by the pattern's bit 0
        int chain[2] = {100, 100};
        for (int p = 0; p < pixels; ++p) {
          const int k = p - 1;  // the step whose test this pixel's luma ends
          if (k >= first && k < first + 40 && (pattern >> (k - first) & 1)) chain[p % 2] ^= 100 ^ 105;
          reference[p] = p < 2 ? 100 : chain[p % 2];
        }
        ASSERT_TRUE(PassLikePlain(reference, 89 + static_cast<int>(pattern % 7), mode))
            << ModeName(mode) << " pattern " << pattern << " offset " << offset;
      }
    }
  }
}

TEST(AutoRemovalVariants, UntouchedSpansAreExactlyThoseWithNothingToDo) {
  // A reference at the edge luma E but for one spot, at every position:
  // a luma 5 away (corrected, and softens both neighbours), 4 away (nothing),
  // a pair 3 below and 2 above two pixels apart (softens the pixel between
  // them, corrects none), or 5 and 4 away two pixels apart (corrects the
  // first and softens only its left neighbour: where the first ends a block
  // before an untouched span, its new luma must still be written). Each shows
  // wherever a span's test must read it.
  struct Spot {
    int at0, at2;  // luma change at the spot and two pixels to its right
  };
  const Spot spots[] = {{5, 0}, {-5, 0}, {4, 0}, {-4, 0}, {-3, 2}, {2, -3}, {5, 4}, {-5, -4}};
  const int pixels = 2 + 3 * 32 + 11;
  for (int edge : {0, 3, 5, 128, 250, 252, 255}) {
    for (const Spot& spot : spots) {
      for (int q = 2; q + 2 < pixels; ++q) {
        const int at0 = edge + spot.at0, at2 = edge + spot.at2;
        if (at0 < 0 || at0 > 255 || at2 < 0 || at2 > 255) continue;
        std::vector<int> reference(pixels, edge);
        reference[q] = at0;
        reference[q + 2] = at2;
        ASSERT_TRUE(PassLikePlain(reference, 53, LogoPixels::kCorrect))
            << "edge " << edge << ", change " << spot.at0 << "/" << spot.at2 << " at pixel " << q;
      }
    }
  }
  // Two spots: a corrected pixel that softens only its left neighbour (5
  // then 4 two pixels on), and a plain corrected pixel `gap` pixels to its
  // right. Between them whole blocks may have nothing to do: each must leave
  // its pixels alone, write the last pixel of the busy block before it, and
  // let the next busy block start afresh.
  for (int gap = 3; gap <= 72; ++gap) {
    for (int q = 2; q + gap + 2 < 2 + 4 * 32 + 11; ++q) {
      std::vector<int> reference(2 + 4 * 32 + 11, 128);
      reference[q] = reference[q + gap] = 133;
      reference[q + 2] = 132;
      ASSERT_TRUE(PassLikePlain(reference, 71, LogoPixels::kCorrect)) << "spots at pixels " << q << " and " << q + gap;
    }
  }
}

TEST(AutoRemovalVariants, RandomRowsAndFramesMatchThePlainPass) {
  testing::SeededDraw draw;
  for (int trial = 0; trial < 20000; ++trial) {
    const int width = draw.Int(1, 150);
    const std::vector<uint8_t> reference = draw.Row(width + (draw.OneIn(3) ? draw.Int(0, 20) : 0));
    const std::vector<uint8_t> main = draw.Row(width);
    const LogoPixels mode = kModes[draw.Int(0, 1)];
    ASSERT_TRUE(PassLikePlain(main, reference, mode)) << ModeName(mode) << " trial " << trial << " width " << width;
  }
  // Whole frames with padded pitches: every row but the last; the first is
  // one pixel wide, which has no pixel to visit.
  for (int trial = 0; trial < 200; ++trial) {
    const int width = trial == 0 ? 1 : draw.Int(1, 90), height = draw.Int(1, 6);
    const testing::TightFrame reference = testing::RandomFrame(draw, width, height);
    const testing::TightFrame main = testing::RandomFrame(draw, width, height);
    const LogoPixels mode = kModes[draw.Int(0, 1)];
    ASSERT_TRUE(testing::LikeThePlainKernel([&](Simd simd) {
      testing::TightFrame out = main, from = main;  // from: every byte first inverted, padding included
      for (uint8_t& byte : from.bytes) byte = static_cast<uint8_t>(~byte);
      RemoveLogoAuto(out.Rows(), reference.ReadRows(), mode, AutoRowFor(simd));
      RemoveLogoAuto(main.ReadRows(), from.Rows(), reference.ReadRows(), mode, AutoRowFor(simd));
      out.bytes.insert(out.bytes.end(), from.bytes.begin(), from.bytes.end());
      return out.bytes;
    })) << "frame trial " << trial;
  }
}

#if PRAMVIX_X86_64
TEST(AutoRemovalVariants, NewtonStepCorrectsAlikeFromAnyEstimateWithinTheInstructionSetsBound) {
  // The vector correction takes 1 / b from the processor's estimate, which
  // another processor may make differently within 1.5·2^−12 (relative). Here
  // estimates across that whole band, its ends included, go through the step
  // and the correction's float steps, for every pair of lumas against the
  // plain pass; this processor's own estimate must lie in the band.
  const double bound = 1.5 / 4096;
  for (int L = 0; L < 256; ++L) {
    if (L == auto_removal::kFullLuma) continue;  // no quotient: those lanes are set apart
    const float b = auto_removal::kFull - static_cast<float>(L);
    const float d = (static_cast<float>(L) - auto_removal::kBlack) + 0.001f;
    const auto error = [b](float e) { return std::fabs(static_cast<double>(e) * b - 1.0); };
    const float own = _mm_cvtss_f32(_mm_rcp_ps(_mm_set1_ps(b)));
    ASSERT_LE(error(own), bound) << "L=" << L;
    for (int i = -64; i <= 64; ++i) {
      float e = static_cast<float>((1.0 + bound * i / 64) / b);
      while (error(e) > bound) e = std::nextafter(e, 1.0f / b);  // rounding may step just outside
      const float c = _mm_cvtss_f32(auto_removal::NewtonStep(_mm_set1_ps(b), _mm_set1_ps(e)));
      const float ratio = d * c;
      for (int s = 0; s < 256; ++s) {
        const float t = (auto_removal::kFull - static_cast<float>(s)) * ratio;
        const int v = std::clamp(s - static_cast<int>(t), 0, 250);
        ASSERT_EQ(v, UncoveredLuma(s, L, Overlay{})) << "L=" << L << " s=" << s << " estimate step " << i;
      }
    }
  }
}

TEST(AutoRemovalVariants, DivisionByThreeIsExactForEverySumOfThreeLumas) {
  for (int n = 0; n <= 3 * 255; ++n) {
    const int got = _mm_extract_epi16(auto_removal::DivideBy3(_mm_set1_epi16(static_cast<int16_t>(n))), 0);
    ASSERT_EQ(got, n / 3) << "n=" << n;
  }
}
#endif

}  // namespace
}  // namespace pramvix
