#pragma once
#include "host/value.h"
#include "host/video_frame.h"

namespace pramvix {

class IScriptEnvironment;

// A factory: turns a script call's arguments into a clip value.
using ApplyFunc = AVSValue (*)(AVSValue args, void* user_data, IScriptEnvironment* env);

// The operations of the host that the plug-in relies on.
class IScriptEnvironment {
 public:
  virtual ~IScriptEnvironment() = default;
  virtual void AddFunction(const char* name, const char* params, ApplyFunc apply, void* user_data) = 0;
  // Raises the host's error carrying `message`; never returns.
  [[noreturn]] virtual void ThrowError(const char* message) = 0;
  // Afterwards *frame is held by this handle alone, with the same size and
  // contents. Returns true when a copy was made.
  virtual bool MakeWritable(PVideoFrame* frame) = 0;
  // A new frame of `frame`'s row size and height, held by the returned handle
  // alone, carrying what else MakeWritable's copy of `frame` would carry (the
  // host's frame properties); its picture bytes are left for the caller to
  // fill. Empty when this host makes no such frame for `frame`: the caller
  // then uses MakeWritable.
  virtual PVideoFrame NewFrameLike(const PVideoFrame& frame) = 0;
};

}  // namespace pramvix
