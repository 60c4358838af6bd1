#pragma once
#include "host/counted.h"
#include "host/video_frame.h"
#include "host/video_info.h"

namespace pramvix {

class IScriptEnvironment;

// The host's clip. The virtual operations keep the host's slot order:
// GetVersion, GetFrame, GetParity, GetAudio, GetVideoInfo, destructor.
class IClip : public RefCounted {
 public:
  virtual int GetVersion() { return 1; }
  virtual PVideoFrame GetFrame(int n, IScriptEnvironment* env) = 0;
  virtual bool GetParity(int n) = 0;
  virtual void GetAudio(void* buf, int start, int count, IScriptEnvironment* env) = 0;
  virtual const VideoInfo& GetVideoInfo() = 0;
  virtual ~IClip() = default;
};

using PClip = Counted<IClip>;

}  // namespace pramvix
