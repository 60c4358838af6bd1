#pragma once
// NoLogoAuto's pass over a frame: NoLogo's row pass with the fixed threshold 5
// and overlay (level 222, gain 1, offset 0) on pixels 1 … w − 1 of every row
// but the last. Fixed settings let the vector variants test whole spans
// exactly and work the correction out without a division.
#include "base/simd.h"
#include "base/yuy2.h"
#include "removal/logo_removal.h"

namespace pramvix {

constexpr int kAutoThreshold = 5;

// NoLogoAuto's rule for the general row pass.
inline RemovalRule AutoRule(LogoPixels pixels) { return RemovalRule{kAutoThreshold, Overlay{}, pixels}; }

// One row: pixels 1 … w − 1 of `main` (w its width) against the same pixels
// of `reference`, which must be at least as wide. Writes what
// RemoveLogoRow(main, reference, 1, w − 1, AutoRule(pixels)) writes.
void RemoveLogoAutoRow(MutableLumaRow main, ConstLumaRow reference, LogoPixels pixels);

using AutoRowKernel = void (*)(MutableLumaRow main, ConstLumaRow reference, LogoPixels pixels);
// The pass built for `simd`; every variant writes the same bytes.
AutoRowKernel AutoRowFor(Simd simd);

// Rows 0 … h − 2 of `main` with `row`, each frame stepped by its own pitch;
// `reference` must have at least h − 1 rows as wide as main's.
void RemoveLogoAuto(const MutableFrame& main, const ConstFrame& reference, LogoPixels pixels, AutoRowKernel row);

}  // namespace pramvix
