#pragma once
#include <optional>
#include <vector>

#include "frame_view.h"
#include "logo_fit.h"
#include "picture.h"

namespace pramvix::cli::logo {

// The reference picture and what it says about the logo.
struct Reference {
  local::Picture picture;  // YUY2, frame-sized: the logo over black
  Box region;              // even x and width, padded around the logo
  int logoPixels = 0;
  int threshold = 1;       // NoLogo's: the smallest height above 16 of a logo pixel
  int logoLuma = 235;      // the logo's luma at full strength (median over solid pixels)
  int logoLumaLow = 235, logoLumaHigh = 235;  // its 3rd and 97th percentiles: parts of other colours
  int logoU = 128, logoV = 128;
  double medianError = 0;  // of the kept pixels' reference luma
};

// Pixels of the region padded by this much around the logo's pixels.
constexpr int kRegionPadding = 3;

// Keeps the pixels whose reference luma stands clear of 16 (by 3 levels and
// by 2.5 standard errors, not with one shade of background only, with at
// least two kept neighbours, away from the fit box's outer band) and writes them into a black frame. Within `inside` only,
// when given (a region the user chose). The region is the kept pixels' box
// grown by kRegionPadding, x and width made even, cut to the frame.
Reference MakeReference(const LogoEstimate& estimate, int frameWidth, int frameHeight,
                        const std::optional<Box>& inside);

// Rounds to the nearest integer and limits to lo..hi; NaN gives lo.
int RoundClamp(double value, int lo, int hi);

// The value at `share` of the way through the sorted values (0.5: the
// median, the upper one of an even count); 0 for none.
double Percentile(std::vector<double> values, double share);
double Median(const std::vector<double>& values);

}  // namespace pramvix::cli::logo
