#include "base/frame_request.h"

#include <cstdint>
#include <utility>

namespace pramvix {

namespace {

// Whether the region's pixels and rows lie inside a frame of this geometry.
// 64-bit sums: the region is any four 32-bit integers.
bool RowsInside(const Region& region, int frameHeight) {
  return static_cast<int64_t>(region.FirstRow()) + region.RowCount() <= frameHeight;
}

bool PixelsInside(const Region& region, int rowSize) {
  return region.x >= 0 && 2 * (static_cast<int64_t>(region.x) + region.width) <= rowSize;
}

void CheckCovers(const PClip& clip, const ConstFrame& frame, const Region& region, const char* tooSmall,
                 const char* notYUY2, IScriptEnvironment* env) {
  if (region.Empty()) return;
  if (!clip->GetVideoInfo().IsYUY2()) env->ThrowError(notYUY2);
  if (!PixelsInside(region, frame.rowSize) || !RowsInside(region, frame.height)) env->ThrowError(tooSmall);
}

}  // namespace

ConstFrame ViewOf(const PVideoFrame& frame) {
  return ConstFrame{frame->GetReadPtr(), frame->GetPitch(), frame->GetRowSize(), frame->GetHeight()};
}

MutableFrame MakeMainWritable(PVideoFrame& frame, const FilterTexts& texts, IScriptEnvironment* env) {
  env->MakeWritable(&frame);
  uint8_t* data = frame->GetWritePtr();
  if (!data) env->ThrowError(texts.notWritable);
  return MutableFrame{data, frame->GetPitch(), frame->GetRowSize(), frame->GetHeight()};
}

FrameToFill TakeMainFrame(PVideoFrame frame, const FilterTexts& texts, IScriptEnvironment* env) {
  if (frame && !frame->GetWritePtr()) {
    PVideoFrame made = env->NewFrameLike(frame);
    if (made) {
      uint8_t* data = made->GetWritePtr();
      if (!data) env->ThrowError(texts.notWritable);
      const MutableFrame rows{data, made->GetPitch(), made->GetRowSize(), made->GetHeight()};
      return FrameToFill{std::move(made), rows, ViewOf(frame), std::move(frame)};
    }
  }
  const MutableFrame rows = MakeMainWritable(frame, texts, env);
  return FrameToFill{std::move(frame), rows, ConstFrame{rows.data, rows.pitch, rows.rowSize, rows.height}, {}};
}

void CheckRowSize(const MutableFrame& main, const FilterTexts& texts, IScriptEnvironment* env) {
  if (main.rowSize % 4 != 0) env->ThrowError(texts.width);
}

void CheckRegion(const MutableFrame& main, const Region& region, const FilterTexts& texts,
                 IScriptEnvironment* env) {
  if (2 * (static_cast<int64_t>(region.x) + region.width) > main.rowSize) env->ThrowError(texts.rightEdge);
  if (region.Empty()) return;
  if (region.x < 0) env->ThrowError(texts.leftEdge);
  if (!RowsInside(region, main.height)) env->ThrowError(texts.bottom);
}

void CheckLogoCovers(const PClip& logoClip, const ConstFrame& logo, const Region& region,
                     const FilterTexts& texts, IScriptEnvironment* env) {
  CheckCovers(logoClip, logo, region, texts.logoTooSmall, texts.logoNotYUY2, env);
}

void CheckAlternateCovers(const PClip& alternateClip, const ConstFrame& alternate, const Region& region,
                          const FilterTexts& texts, IScriptEnvironment* env) {
  CheckCovers(alternateClip, alternate, region, texts.alternateTooSmall, texts.alternateNotYUY2, env);
}

RegionFrames BeginRegionRequest(PVideoFrame& main, const PClip& logoClip, const PVideoFrame& logo,
                                const Region& region, const FilterTexts& texts, IScriptEnvironment* env) {
  const RegionFrames frames{MakeMainWritable(main, texts, env), ViewOf(logo)};
  CheckRegionFrames(frames, logoClip, region, texts, env);
  return frames;
}

void CheckRegionFrames(const RegionFrames& frames, const PClip& logoClip, const Region& region,
                       const FilterTexts& texts, IScriptEnvironment* env) {
  CheckRowSize(frames.main, texts, env);
  CheckRegion(frames.main, region, texts, env);
  CheckLogoCovers(logoClip, frames.logo, region, texts, env);
}

}  // namespace pramvix
