#pragma once
// The steps every frame request shares: views of the fetched frames, the main
// frame made writable, and the checks that come before any byte is written.
#include "base/filter_texts.h"
#include "base/region.h"
#include "base/yuy2.h"
#include "host/host.h"

namespace pramvix {

ConstFrame ViewOf(const PVideoFrame& frame);

// Applies MakeWritable to the main frame and returns its writable rows.
MutableFrame MakeMainWritable(PVideoFrame& frame, const FilterTexts& texts, IScriptEnvironment* env);

// The main frame of a request that writes every byte of it itself: `rows` to
// write, which start as `source`'s, in the frame `out` that the request
// returns. A frame that only the request holds is edited in place (`source`
// is `rows`). A frame that others share is not copied here: the host gives a
// new frame, which the request fills from the shared frame (`source`, held
// by `shared`) as it works, reading each byte once. A host that gives none
// copies the frame in MakeWritable.
struct FrameToFill {
  PVideoFrame out;
  MutableFrame rows;
  ConstFrame source;
  PVideoFrame shared;
};
FrameToFill TakeMainFrame(PVideoFrame frame, const FilterTexts& texts, IScriptEnvironment* env);

// The row size of a YUY2 frame must be a multiple of 4 bytes (an even width).
void CheckRowSize(const MutableFrame& main, const FilterTexts& texts, IScriptEnvironment* env);

// The right-edge check, then the region's left edge and its rows. An empty
// region visits nothing and passes all but the right-edge check.
void CheckRegion(const MutableFrame& main, const Region& region, const FilterTexts& texts,
                 IScriptEnvironment* env);

// A frame read at the region's pixels must be YUY2 and hold them.
void CheckLogoCovers(const PClip& logoClip, const ConstFrame& logo, const Region& region,
                     const FilterTexts& texts, IScriptEnvironment* env);
void CheckAlternateCovers(const PClip& alternateClip, const ConstFrame& alternate, const Region& region,
                          const FilterTexts& texts, IScriptEnvironment* env);

// The frames of a region request once checked: the main frame writable, the
// logo frame to be read.
struct RegionFrames {
  MutableFrame main;
  ConstFrame logo;
};

// The checks every region filter makes, in this order, before any byte is
// written: the row size, the region against the main frame, and the logo frame
// against the region.
void CheckRegionFrames(const RegionFrames& frames, const PClip& logoClip, const Region& region,
                       const FilterTexts& texts, IScriptEnvironment* env);

// Makes the main frame writable, then makes those checks.
RegionFrames BeginRegionRequest(PVideoFrame& main, const PClip& logoClip, const PVideoFrame& logo,
                                const Region& region, const FilterTexts& texts, IScriptEnvironment* env);

// Calls visit(r) for every region row r, top to bottom. An empty region has
// no rows, however tall it is (its rows were never checked against a frame).
template <class Visit>
void ForEachRegionRow(const Region& region, Visit&& visit) {
  if (region.Empty()) return;
  const int first = region.FirstRow();
  for (int i = 0; i < region.RowCount(); ++i) visit(first + i);
}

}  // namespace pramvix
