#pragma once
// The frame request the logo-removal filters share: the reference picture is
// fetched first, then the main frame, which is made writable, checked and
// cleaned row by row.
#include "base/frame_request.h"
#include "removal/logo_removal.h"

namespace pramvix {

// regionOf(main) gives the region to clean in the checked main frame.
template <class RegionOf>
PVideoFrame ServeRemoval(const PClip& child, int n, const PClip& logoClip, int logoFrame, RegionOf regionOf,
                         const RemovalRule& rule, const FilterTexts& texts, IScriptEnvironment* env) {
  const PVideoFrame logo = logoClip->GetFrame(logoFrame, env);
  PVideoFrame frame = child->GetFrame(n, env);
  const MutableFrame main = MakeMainWritable(frame, texts, env);
  CheckRowSize(main, texts, env);
  const Region region = regionOf(main);
  CheckRegion(main, region, texts, env);
  const ConstFrame reference = ViewOf(logo);
  CheckLogoCovers(logoClip, reference, region, texts, env);

  RemoveLogo(main, reference, region, rule);
  return frame;
}

}  // namespace pramvix
