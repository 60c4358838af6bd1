#pragma once
// The detection over a clip, frame by frame, as IfNoLogo or IfLogo runs it.
#include "local_environment.h"
#include "scan/scan_options.h"
#include "scan/timeline.h"
#include "shared_clips.h"
#include "y4m_clip.h"

namespace pramvix::cli::scan {

class Detection {
 public:
  // Opens the clips (one clip when both name the same file) and makes the
  // filters' construction checks, with their texts.
  explicit Detection(const ScanOptions& options);

  // For threads that test frames out of order, up to `frames` apart.
  void KeepAhead(int frames) { clips_.KeepAhead(frames); }

  // Whether the clip has frame n: by its count, or by reading a pipe forward.
  // HasFrame and Test may be called from several threads at once.
  bool HasFrame(int n);
  // Frame n's test, with the filter's frame checks and texts.
  FrameRecord Test(int n);

  const VideoInfo& Info() { return clip_->GetVideoInfo(); }

 private:
  ScanOptions options_;
  local::LocalEnvironment host_;
  SharedClips clips_;
  PClip clip_, logo_;
  Y4MClip* stream_ = nullptr;
  Simd simd_;
};

}  // namespace pramvix::cli::scan
