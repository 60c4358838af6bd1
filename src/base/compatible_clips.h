#pragma once
#include "host/host.h"

namespace pramvix {

// The clip compatibility test of the filters that compare their logo clip with
// the first clip: width, height and pixel type must agree; frame rate, frame
// count and audio are not compared.
inline bool CompatibleClips(const VideoInfo& a, const VideoInfo& b) {
  return a.width == b.width && a.height == b.height && a.pixel_type == b.pixel_type;
}

}  // namespace pramvix
