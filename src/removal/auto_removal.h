#pragma once
// NoLogoAuto's pass over a frame: NoLogo's row pass with the fixed threshold 5
// and overlay (level 222, gain 1, offset 0) on pixels 1 … w − 1 of every row
// but the last. Fixed settings let the vector variants test whole spans
// exactly and work the correction out without a division.
#include <cstring>

#include "base/simd.h"
#include "base/yuy2.h"
#include "removal/logo_removal.h"

namespace pramvix {

constexpr int kAutoThreshold = 5;

// NoLogoAuto's rule for the general row pass.
inline RemovalRule AutoRule(LogoPixels pixels) { return RemovalRule{kAutoThreshold, Overlay{}, pixels}; }

// Pixels first … end − 1 of `from`, luma and chroma, into `to`; nothing
// where both are the same row.
inline void CopyPixels(MutableLumaRow to, ConstLumaRow from, int first, int end) {
  if (end <= first || &to[0] == &from[0]) return;
  std::memcpy(&to[first], &from[first], 2 * static_cast<size_t>(end - first));
}

// One row: pixels 1 … w − 1 of `main` (w its width) against the same pixels
// of `reference`, which must be at least as wide. `source` holds the row as
// it starts (as wide as main): either main's own row, worked in place, or
// another, of which main receives every byte. Writes what
// RemoveLogoRow(main, reference, 1, w − 1, AutoRule(pixels)) writes.
void RemoveLogoAutoRow(MutableLumaRow main, ConstLumaRow source, ConstLumaRow reference, LogoPixels pixels);

using AutoRowKernel = void (*)(MutableLumaRow main, ConstLumaRow source, ConstLumaRow reference, LogoPixels pixels);
// The pass built for `simd`; every variant writes the same bytes.
AutoRowKernel AutoRowFor(Simd simd);

// Rows 0 … h − 2 of `main` with `row`, each frame stepped by its own pitch;
// `reference` must have at least h − 1 rows as wide as main's.
void RemoveLogoAuto(const MutableFrame& main, const ConstFrame& reference, LogoPixels pixels, AutoRowKernel row);

// The same on rows that start as `source`'s (main's row size and height),
// where main is another frame: every byte of main is written, the pass
// reading each row of source as it goes instead of a copy made first.
void RemoveLogoAuto(const ConstFrame& source, const MutableFrame& main, const ConstFrame& reference,
                    LogoPixels pixels, AutoRowKernel row);

}  // namespace pramvix
