#pragma once
#include "base/filter_texts.h"
#include "base/generic_video_filter.h"
#include "base/region.h"
#include "removal/chroma_restoration.h"
#include "removal/logo_removal.h"

namespace pramvix {

// What NoLogoColor does to a region, fixed when it is built: NoLogoM's
// adjustable correction with NoLogo's softening at the reference picture's
// edges for the luma, and the chroma under the same overlay.
struct ColourRemoval {
  ColourRemoval(int threshold, const Overlay& overlay, Simd simd);

  RemovalRule luma;
  RemoveLogoKernel lumaPass;  // the passes for the instruction set chosen
  ChromaRule chroma;
  RestoreChromaRowKernel chromaRow;
};

// Every row of the region, each frame stepped by its own pitch. The region
// (and the pixel pairs it touches) must lie inside both frames.
void RemoveLogoInColour(const MutableFrame& main, const ConstFrame& reference, const Region& region,
                        const ColourRemoval& removal);

// Removes a semi-transparent logo from luma and chroma: the reference picture
// shows the logo over black, and the logo is an overlay of luma level + 16
// whose strength the reference luma gives (scaled by gain); its colour is
// whatever the reference picture's chroma shows. Refuses a logo clip of
// another size or layout.
class NoLogoColor : public GenericVideoFilter {
 public:
  NoLogoColor(PClip child, PClip logoClip, int logoFrame, int threshold, int x, int y, int width, int height,
              float gain, int level, int offset, IScriptEnvironment* env);
  PVideoFrame GetFrame(int n, IScriptEnvironment* env) override;
  ~NoLogoColor() override = default;

  static const FilterTexts kTexts;

 private:
  const PClip logoClip;
  const int logoFrame;
  const Region region;
  const ColourRemoval removal;
};

}  // namespace pramvix
