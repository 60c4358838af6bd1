#include "removal/no_logo_color.h"

#include <utility>

#include "base/compatible_clips.h"
#include "base/frame_request.h"

namespace pramvix {

namespace {

// The whole pixel pairs a region touches: a region starting or ending on an
// odd pixel also reads that pair's other pixel and writes the pair's chroma.
// For a region that has passed the checks and is not empty, so the sums stay
// within the row.
Region PairsOf(const Region& region) {
  const int first = region.x - (region.x & 1);
  const int end = region.x + region.width + ((region.x + region.width) & 1);
  return Region{first, region.y, end - first, region.height};
}

}  // namespace

// The right-edge text is NoLogo's, as NoLogoM's is.
const FilterTexts NoLogoColor::kTexts = PRAMVIX_FILTER_TEXTS(
    "NoLogoColor", "NoLogoColor: YUY2 data only (no RGB); use ConvertToYUY2", "NoLogoColor: Incompatible clips",
    "NoLogoColor: width must be a multiple of 2; use Crop", "You X position is too far right.");

ColourRemoval::ColourRemoval(int threshold, const Overlay& overlay, Simd simd)
    : luma(Checked(RemovalRule{threshold, overlay, LogoPixels::kCorrect, Softening::kAtReferenceEdges})),
      lumaPass(RemoveLogoFor(simd)),
      chroma{threshold, Transmission(overlay)},
      chromaRow(RestoreChromaRowFor(simd)) {}

void RemoveLogoInColour(const MutableFrame& main, const ConstFrame& reference, const Region& region,
                        const ColourRemoval& removal) {
  // The chroma pass reads only chroma of the main frame, which the luma pass
  // leaves alone, so the order does not matter.
  ForEachRegionRow(region, [&](int r) {
    removal.chromaRow(main.Row(r), reference.Row(r), region.x, region.width, removal.chroma);
  });
  removal.lumaPass(main, reference, region, removal.luma);
}

NoLogoColor::NoLogoColor(PClip child, PClip logoClip, int logoFrame, int threshold, int x, int y, int width,
                         int height, float gain, int level, int offset, IScriptEnvironment* env)
    : GenericVideoFilter(std::move(child)),
      logoClip(std::move(logoClip)),
      logoFrame(logoFrame),
      region{x, y, width, height},
      removal(threshold, Overlay{level, gain, offset}, BestSimd()) {
  // The incompatibility is reported first, also for two clips of other layouts.
  if (!CompatibleClips(this->logoClip->GetVideoInfo(), vi)) env->ThrowError(kTexts.incompatible);
  if (!vi.IsYUY2()) env->ThrowError(kTexts.notYUY2);
}

PVideoFrame NoLogoColor::GetFrame(int n, IScriptEnvironment* env) {
  const PVideoFrame logo = logoClip->GetFrame(logoFrame, env);
  PVideoFrame frame = child->GetFrame(n, env);
  const RegionFrames frames = BeginRegionRequest(frame, logoClip, logo, region, kTexts, env);
  // The region's pairs: the main frame holds them once the region passed (its
  // row size is a multiple of 4 bytes); the logo frame may be narrower.
  if (!region.Empty()) CheckLogoCovers(logoClip, frames.logo, PairsOf(region), kTexts, env);
  RemoveLogoInColour(frames.main, frames.logo, region, removal);
  return frame;
}

}  // namespace pramvix
