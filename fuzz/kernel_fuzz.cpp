// Every vector variant of the pixel kernels against the scalar reference, on
// rows and settings from the fuzzer: any difference in a written byte is a
// finding. Rows are allocated to their exact size, so a read or write beyond
// a row's end is one too.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <vector>

#include "fuzz_inputs.h"
#include "detect/logo_edge_scan.h"
#include "overlay/blend_kernel.h"
#include "overlay/mask_kernel.h"
#include "removal/auto_removal.h"
#include "removal/chroma_restoration.h"
#include "removal/logo_removal.h"

namespace pramvix::fuzz {
namespace {

// A row of exactly 2 * pixels bytes, on the heap on its own.
struct Row {
  Row(FuzzedDataProvider& in, int pixels) : size(2 * static_cast<size_t>(pixels)), bytes(new uint8_t[size]) {
    const std::vector<uint8_t> given = in.ConsumeBytes<uint8_t>(size);
    for (size_t i = 0; i < size; ++i) bytes[i] = i < given.size() ? given[i] : static_cast<uint8_t>(i * 29);
  }
  Row(const Row& other) : size(other.size), bytes(new uint8_t[size]) {
    if (size != 0) std::memcpy(bytes.get(), other.bytes.get(), size);
  }
  bool operator==(const Row& other) const { return size == 0 || std::memcmp(bytes.get(), other.bytes.get(), size) == 0; }

  size_t size;
  std::unique_ptr<uint8_t[]> bytes;
};

void Check(bool same) {
  if (!same) std::abort();
}

// Rows wide enough for the vector variants' runs of blocks, one after another.
void RemovalRow(FuzzedDataProvider& in) {
  const int mainWidth = in.ConsumeIntegralInRange(1, 600);
  const int referenceWidth = mainWidth + in.ConsumeIntegralInRange(0, 20);
  const int x = in.ConsumeIntegralInRange(0, mainWidth - 1);
  const int width = in.ConsumeIntegralInRange(0, mainWidth - x);
  RemovalRule rule{FuzzInt(in), Overlay{FuzzInt(in), FuzzFloat(in), FuzzInt(in)}};
  rule.logoPixels = in.ConsumeBool() ? LogoPixels::kMark : LogoPixels::kCorrect;
  rule.softening = in.ConsumeBool() ? Softening::kEverywhere : Softening::kAtReferenceEdges;
  if (in.ConsumeBool()) rule = Checked(rule);
  const Row reference(in, referenceWidth);
  const Row original(in, mainWidth);
  const auto run = [&](Simd simd) {
    Row main(original);
    RemoveLogoRowFor(simd)(MutableLumaRow(main.bytes.get(), mainWidth),
                           ConstLumaRow(reference.bytes.get(), referenceWidth), x, width, rule);
    return main;
  };
  const Row expected = run(Simd::kScalar);
  for (Simd simd : SupportedSimd()) Check(run(simd) == expected);
}

// A region of sixteen rows and more, which the AVX2 pass works side by side;
// each frame a buffer of exactly its rows.
void RemovalStrip(FuzzedDataProvider& in) {
  const int mainWidth = in.ConsumeIntegralInRange(1, 160);
  const int referenceWidth = mainWidth + in.ConsumeIntegralInRange(0, 20);
  const int height = in.ConsumeIntegralInRange(16, 40);
  Region region;
  region.x = in.ConsumeIntegralInRange(0, mainWidth - 1);
  region.width = in.ConsumeIntegralInRange(0, mainWidth - region.x);
  region.y = in.ConsumeIntegralInRange(0, height - 1);
  region.height = in.ConsumeIntegralInRange(0, height - region.y);
  RemovalRule rule{FuzzInt(in), Overlay{FuzzInt(in), FuzzFloat(in), FuzzInt(in)}};
  rule.logoPixels = in.ConsumeBool() ? LogoPixels::kMark : LogoPixels::kCorrect;
  rule.softening = in.ConsumeBool() ? Softening::kEverywhere : Softening::kAtReferenceEdges;
  if (in.ConsumeBool()) rule = Checked(rule);
  const Row reference(in, referenceWidth * height);
  const Row original(in, mainWidth * height);
  const ConstFrame referenceRows{reference.bytes.get(), 2 * referenceWidth, 2 * referenceWidth, height};
  const auto run = [&](Simd simd) {
    Row main(original);
    RemoveLogo(MutableFrame{main.bytes.get(), 2 * mainWidth, 2 * mainWidth, height}, referenceRows, region, rule, simd);
    return main;
  };
  const Row expected = run(Simd::kScalar);
  for (Simd simd : SupportedSimd()) Check(run(simd) == expected);
}

// NoLogoAuto's pass over a whole row, wide enough for every span and block
// size of the vector variants.
void AutoRowOf(FuzzedDataProvider& in) {
  const int mainWidth = in.ConsumeIntegralInRange(1, 200);
  const int referenceWidth = mainWidth + in.ConsumeIntegralInRange(0, 20);
  const LogoPixels pixels = in.ConsumeBool() ? LogoPixels::kMark : LogoPixels::kCorrect;
  const Row reference(in, referenceWidth);
  const Row original(in, mainWidth);
  const ConstLumaRow logo(reference.bytes.get(), referenceWidth);
  // In place, and from the original into a row of other bytes.
  const auto run = [&](Simd simd, bool inPlace) {
    Row main(original);
    if (!inPlace) std::memset(main.bytes.get(), 0xA5, main.size);
    AutoRowFor(simd)(MutableLumaRow(main.bytes.get(), mainWidth),
                     ConstLumaRow(inPlace ? main.bytes.get() : original.bytes.get(), mainWidth), logo, pixels);
    return main;
  };
  const Row expected = run(Simd::kScalar, true);
  for (Simd simd : SupportedSimd()) Check(run(simd, true) == expected && run(simd, false) == expected);
}

// NoLogoColor's chroma pass: rows of whole pixel pairs, the region's pairs
// inside both.
void ChromaRowOf(FuzzedDataProvider& in) {
  const int mainWidth = 2 * in.ConsumeIntegralInRange(1, 50);
  const int referenceWidth = mainWidth + 2 * in.ConsumeIntegralInRange(0, 10);
  const int x = in.ConsumeIntegralInRange(0, mainWidth - 1);
  const int width = in.ConsumeIntegralInRange(0, mainWidth - x);
  const int threshold = FuzzInt(in);
  const ChromaRule rule{threshold, Transmission(Overlay{FuzzInt(in), FuzzFloat(in), 0})};
  const Row reference(in, referenceWidth);
  const Row original(in, mainWidth);
  const auto run = [&](Simd simd) {
    Row main(original);
    RestoreChromaRowFor(simd)(main.bytes.get(), reference.bytes.get(), x, width, rule);
    return main;
  };
  const Row expected = run(Simd::kScalar);
  for (Simd simd : SupportedSimd()) Check(run(simd) == expected);
}

void BlendRowOf(FuzzedDataProvider& in) {
  const int width = in.ConsumeIntegralInRange(0, 100);
  const int threshold = FuzzInt(in);
  const Row logo(in, width);
  const Row original(in, width);
  const auto run = [&](Simd simd) {
    Row main(original);
    BlendRowFor(simd)(main.bytes.get(), logo.bytes.get(), width, threshold);
    return main;
  };
  const Row expected = run(Simd::kScalar);
  for (Simd simd : SupportedSimd()) Check(run(simd) == expected);
}

void MaskRowOf(FuzzedDataProvider& in) {
  const int width = in.ConsumeIntegralInRange(0, 100);
  const int threshold = FuzzInt(in);
  const Row alternate(in, width);
  const Row logo(in, width);
  const Row original(in, width);
  const auto run = [&](Simd simd) {
    Row main(original);
    MaskRowFor(simd)(main.bytes.get(), alternate.bytes.get(), logo.bytes.get(), width, threshold);
    return main;
  };
  const Row expected = run(Simd::kScalar);
  for (Simd simd : SupportedSimd()) Check(run(simd) == expected);
}

// IfLogo's or IfNoLogo's scan of one row: the counts and any marks.
void ScanRowOf(FuzzedDataProvider& in, ScanRowKernel (*rowFor)(Simd)) {
  const int mainWidth = in.ConsumeIntegralInRange(1, 100);
  const int logoWidth = mainWidth + in.ConsumeIntegralInRange(0, 20);
  const int x = in.ConsumeIntegralInRange(0, mainWidth - 1);
  const int width = in.ConsumeIntegralInRange(0, mainWidth - x);
  const TestRule rule = TestRuleOf(FuzzInt(in), FuzzInt(in));
  const Row logo(in, logoWidth);
  const Row original(in, mainWidth);
  const auto run = [&](Simd simd, RowCounts* counts) {
    Row main(original);
    *counts = rowFor(simd)(MutableLumaRow(main.bytes.get(), mainWidth), ConstLumaRow(logo.bytes.get(), logoWidth),
                           x, width, rule);
    return main;
  };
  RowCounts expectedCounts;
  const Row expected = run(Simd::kScalar, &expectedCounts);
  for (Simd simd : SupportedSimd()) {
    RowCounts counts;
    Check(run(simd, &counts) == expected);
    Check(counts.hits == expectedCounts.hits && counts.misses == expectedCounts.misses);
  }
}

}  // namespace
}  // namespace pramvix::fuzz

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzedDataProvider in(data, size);
  switch (in.ConsumeIntegralInRange(0, 7)) {
    case 0: pramvix::fuzz::RemovalRow(in); break;
    case 1: pramvix::fuzz::BlendRowOf(in); break;
    case 2: pramvix::fuzz::MaskRowOf(in); break;
    case 3: pramvix::fuzz::ScanRowOf(in, pramvix::IfLogoRowFor); break;
    case 4: pramvix::fuzz::ScanRowOf(in, pramvix::IfNoLogoRowFor); break;
    case 5: pramvix::fuzz::ChromaRowOf(in); break;
    case 7: pramvix::fuzz::RemovalStrip(in); break;
    default: pramvix::fuzz::AutoRowOf(in); break;
  }
  return 0;
}
