#pragma once
// A clip that serves another clip's frames and notes each request in a shared
// log, to show in which order a filter fetches its frames.
#include <string>
#include <utility>
#include <vector>

#include "host/host.h"

namespace pramvix::testing {

class RecordingClip : public IClip {
 public:
  RecordingClip(PClip clip, std::string name, std::vector<std::string>* log)
      : clip_(std::move(clip)), name_(std::move(name)), log_(log) {}

  PVideoFrame GetFrame(int n, IScriptEnvironment* env) override {
    log_->push_back(name_ + " " + std::to_string(n));
    return clip_->GetFrame(n, env);
  }
  bool GetParity(int n) override { return clip_->GetParity(n); }
  void GetAudio(void* buf, int start, int count, IScriptEnvironment* env) override {
    clip_->GetAudio(buf, start, count, env);
  }
  const VideoInfo& GetVideoInfo() override { return clip_->GetVideoInfo(); }

 private:
  PClip clip_;
  std::string name_;
  std::vector<std::string>* log_;
};

}  // namespace pramvix::testing
