#include "preview.h"

#include <algorithm>
#include <cstring>

#include "memory_clip.h"

namespace pramvix::cli::logo {

namespace {

// A magenta line one pixel outside the region, so that it hides nothing.
void Outline(local::Picture& picture, const Box& region) {
  const int width = picture.rowSize / 2, height = picture.height;
  auto mark = [&](int x, int y) {
    if (x < 0 || y < 0 || x >= width || y >= height) return;
    picture.Luma(y, x) = 105;
    const int pair = 2 * (x & ~1);
    picture.Byte(y, pair + 1) = 212;
    picture.Byte(y, pair + 3) = 234;
  };
  for (int x = region.x - 1; x <= region.Right(); ++x) mark(x, region.y - 1), mark(x, region.Bottom());
  for (int y = region.y - 1; y <= region.Bottom(); ++y) mark(region.x - 1, y), mark(region.Right(), y);
}

}  // namespace

local::Picture MakePreview(local::LocalEnvironment& host, const local::Picture& frame, const local::Picture& reference,
                           const Box& region, int threshold, const Strength& strength) {
  const PClip clip = local::MemoryClip::Of({frame});
  const PClip logo = local::MemoryClip::Of({reference});
  const AVSValue result = host.Invoke(
      "NoLogoColor", {AVSValue(clip), AVSValue(logo), AVSValue(0), AVSValue(threshold), AVSValue(region.x),
                      AVSValue(region.y), AVSValue(region.width), AVSValue(region.height),
                      AVSValue(static_cast<float>(strength.gain)), AVSValue(strength.level), AVSValue(0)});
  const local::Picture cleaned = local::PictureOf(result.AsClip()->GetFrame(0, &host));
  local::Picture outlined = frame;
  Outline(outlined, region);
  const local::Picture* parts[3] = {&outlined, &cleaned, &reference};
  local::Picture out{3 * frame.rowSize, frame.height, std::vector<uint8_t>(static_cast<size_t>(3) * frame.rowSize * frame.height)};
  for (int r = 0; r < frame.height; ++r) {
    for (int i = 0; i < 3; ++i) {
      const local::Picture& part = *parts[i];
      if (part.rowSize != frame.rowSize || part.height != frame.height) continue;
      std::memcpy(&out.bytes[static_cast<size_t>(r) * out.rowSize + static_cast<size_t>(i) * frame.rowSize],
                  &part.bytes[static_cast<size_t>(r) * part.rowSize], frame.rowSize);
    }
  }
  return out;
}

}  // namespace pramvix::cli::logo
