#include "support/filter_calls.h"

#include <random>

#include "local_frame.h"

namespace pramvix::testing {

namespace {

// NoLogo and NoLogoM: the region's luma, and the pixel left of it, which the
// row pass softens.
Reach RegionRowsFromLeftNeighbour(const Region& region, int, int) {
  if (region.Empty()) return {};
  const int left = region.x > 0 ? region.x - 1 : 0;
  return Reach{region.FirstRow(), region.FirstRow() + region.RowCount(), 2 * left, 2 * (region.x + region.width)};
}

// NoLogoColor: NoLogo's luma reach, and the chroma of every pixel pair the
// region touches.
Reach RegionRowsAndTheirPairs(const Region& region, int width, int height) {
  Reach reach = RegionRowsFromLeftNeighbour(region, width, height);
  if (region.Empty()) return reach;
  reach.chromaFirstByte = 4 * (region.x / 2);
  reach.chromaEndByte = 4 * ((region.x + region.width + 1) / 2);
  return reach;
}

Reach RegionLuma(const Region& region, int, int) {
  if (region.Empty()) return {};
  return Reach{region.FirstRow(), region.FirstRow() + region.RowCount(), 2 * region.x, 2 * (region.x + region.width)};
}

Reach RegionLumaAndChroma(const Region& region, int width, int height) {
  Reach reach = RegionLuma(region, width, height);
  reach.chroma = true;
  return reach;
}

// NoLogoAuto: the luma of every row but the last.
Reach AllRowsButTheLast(const Region&, int width, int height) { return Reach{0, height - 1, 0, 2 * width}; }

// The arguments `head`, then the region's x, y, width and height, then `tail`.
std::vector<AVSValue> Around(std::vector<AVSValue> head, const Region& r, const std::vector<AVSValue>& tail = {}) {
  head.insert(head.end(), {r.x, r.y, r.width, r.height});
  head.insert(head.end(), tail.begin(), tail.end());
  return head;
}

}  // namespace

const std::vector<FilterCall>& FilterCalls() {
  using In = const CallInputs&;
  // AddLogo's last integer is required by the type string but never read.
  // IfLogo and IfNoLogo mark, with a step few pixels of a patterned frame
  // pass: the test mostly fails and the main frame comes back marked.
  static const std::vector<FilterCall> calls = {
      {"NoLogo", false, [](In in) { return Around({in.main, in.logo, in.logoFrame, in.threshold}, in.region); },
       RegionRowsFromLeftNeighbour, false, 4, {"logo", "main"}},
      {"NoLogoM", false,
       [](In in) { return Around({in.main, in.logo, in.logoFrame, in.threshold}, in.region, {1.0f, 222, 0}); },
       RegionRowsFromLeftNeighbour, false, 4, {"logo", "main"}},
      {"LogoMask", true,
       [](In in) { return Around({in.main, in.alternate, in.logo, in.logoFrame, in.threshold}, in.region); },
       RegionLumaAndChroma, false, 5, {"main", "alternate", "logo"}},
      {"AddLogo", false,
       [](In in) { return Around({in.main, in.logo, in.logoFrame, in.threshold}, in.region, {-123456}); },
       RegionLuma, false, 4, {"logo", "main"}},
      {"IfLogo", true,
       [](In in) { return Around({in.main, in.alternate, in.logo, in.logoFrame, -200, in.threshold}, in.region); },
       RegionLuma, true, 6, {"main", "alternate", "logo"}},
      {"IfNoLogo", true,
       [](In in) { return Around({in.main, in.alternate, in.logo, in.logoFrame, -200, in.threshold}, in.region); },
       RegionLuma, true, 6, {"main", "alternate", "logo"}},
      {"NoLogoAuto", false, [](In in) { return std::vector<AVSValue>{in.main, in.logo, in.logoFrame}; },
       AllRowsButTheLast, false, -1, {"logo", "main"}},
      {"NoLogoColor", false,
       [](In in) { return Around({in.main, in.logo, in.logoFrame, in.threshold}, in.region, {1.5f, 180, 3}); },
       RegionRowsAndTheirPairs, false, 4, {"logo", "main"}},
  };
  return calls;
}

const FilterCall* FilterCallOf(const std::string& function) {
  for (const FilterCall& call : FilterCalls()) {
    if (function == call.function) return &call;
  }
  return nullptr;
}

std::string StrayWrite(const local::Picture& out, const local::Picture& main, const Reach& reach) {
  for (int r = 0; r < main.height; ++r) {
    for (int j = 0; j < main.rowSize; ++j) {
      if (!reach.Covers(r, j) && out.Byte(r, j) != main.Byte(r, j)) {
        return "row " + std::to_string(r) + " byte " + std::to_string(j) + ": " + std::to_string(main.Byte(r, j)) +
               " became " + std::to_string(out.Byte(r, j));
      }
    }
  }
  return "";
}

local::Picture Patterned(int width, int height, uint32_t seed) {
  local::Picture picture = local::Picture::YUY2(width, height);
  std::mt19937 random(seed);
  for (auto& byte : picture.bytes) byte = static_cast<uint8_t>(random());
  return picture;
}

bool Intact(const PVideoFrame& frame) { return static_cast<const local::LocalFrame*>(frame.get())->Intact(); }

}  // namespace pramvix::testing
