#pragma once
#include <string>

#include "host/host.h"

namespace pramvix::local {

// A clip that serves another clip's frames but fails on one frame number, the
// way a host's source fails on a damaged frame: the request raises a
// HostError with this clip's own text (see TextFor). Everything else is
// answered by the clip it wraps.
class FailingClip final : public IClip {
 public:
  FailingClip(PClip clip, int failingFrame);

  PVideoFrame GetFrame(int n, IScriptEnvironment* env) override;
  bool GetParity(int n) override { return clip_->GetParity(n); }
  void GetAudio(void* buf, int start, int count, IScriptEnvironment* env) override {
    clip_->GetAudio(buf, start, count, env);
  }
  const VideoInfo& GetVideoInfo() override { return clip_->GetVideoInfo(); }

  // The text raised for frame n.
  static std::string TextFor(int n);

 private:
  const PClip clip_;
  const int failingFrame_;
};

}  // namespace pramvix::local
