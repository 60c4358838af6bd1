#pragma once
// The frame request the logo-removal filters share: the reference picture is
// fetched first, then the main frame, which is made writable, checked and
// cleaned row by row.
#include "base/frame_request.h"
#include "removal/logo_removal.h"

namespace pramvix {

// regionOf(main) gives the region to clean in the main frame.
template <class RegionOf>
PVideoFrame ServeRemoval(const PClip& child, int n, const PClip& logoClip, int logoFrame, RegionOf regionOf,
                         const RemovalRule& rule, Simd simd, const FilterTexts& texts,
                         IScriptEnvironment* env) {
  const PVideoFrame logo = logoClip->GetFrame(logoFrame, env);
  PVideoFrame frame = child->GetFrame(n, env);
  const Region region = regionOf(ViewOf(frame));
  const RegionFrames frames = BeginRegionRequest(frame, logoClip, logo, region, texts, env);
  RemoveLogo(frames.main, frames.logo, region, rule, simd);
  return frame;
}

}  // namespace pramvix
