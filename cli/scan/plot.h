#pragma once
// A picture of the timeline: the share of hits per frame over time, the
// detection's threshold, the merged segments shaded behind, and the raw
// per-frame decision in a strip below; time in minutes:seconds.
#include <cstdint>
#include <vector>

#include "scan/segments.h"
#include "scan/timeline.h"

namespace pramvix::cli::scan {

struct RGBImage {
  int width = 0;
  int height = 0;
  std::vector<uint8_t> rgb;  // rows of width·3 bytes, top row first
};

// Colours, exposed for tests.
struct PlotColours {
  static constexpr uint8_t kPresent[3] = {208, 236, 208};  // segment with the logo
  static constexpr uint8_t kAbsent[3] = {244, 214, 214};   // segment without it
  static constexpr uint8_t kMean[3] = {30, 60, 140};       // the column's mean share of hits
};

// Geometry: the plot area's columns and rows inside the picture.
struct PlotArea {
  int left = 56, right = 0, top = 16, bottom = 0;  // right and bottom: the area's last column and row
};
PlotArea AreaOf(int width, int height);

// width and height at least 200 and 120 (smaller sizes are raised to those).
RGBImage Plot(const Timeline& timeline, const std::vector<Segment>& merged, int width = 1600, int height = 360);

}  // namespace pramvix::cli::scan
