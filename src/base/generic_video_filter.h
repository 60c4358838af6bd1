#pragma once
#include "host/host.h"

namespace pramvix {

// Pass-through base of every filter: holds the first input clip and a copy of
// its description, and answers everything but GetFrame from that clip.
class GenericVideoFilter : public IClip {
 public:
  explicit GenericVideoFilter(PClip clip);

  int GetVersion() override { return 1; }
  PVideoFrame GetFrame(int n, IScriptEnvironment* env) override;
  bool GetParity(int n) override;
  void GetAudio(void* buf, int start, int count, IScriptEnvironment* env) override;
  const VideoInfo& GetVideoInfo() override;
  ~GenericVideoFilter() override = default;

 protected:
  const PClip child;
  const VideoInfo vi;
};

}  // namespace pramvix
