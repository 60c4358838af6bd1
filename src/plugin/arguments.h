#pragma once
// Reading a script call's arguments by position, and building the filter.
#include <new>
#include <utility>

#include "host/host.h"

namespace pramvix {

// A clip position. The host only calls a factory with arguments that match the
// type string, so a missing clip means a broken host: it is refused rather
// than dereferenced.
inline PClip ClipArg(const AVSValue& args, int i, const char* missingText, IScriptEnvironment* env) {
  PClip clip = args[i].AsClip();
  if (!clip) env->ThrowError(missingText);
  return clip;
}

inline int IntArg(const AVSValue& args, int i) { return args[i].AsInt(); }

// A float position: an integer there is converted to a 32-bit float.
inline float FloatArg(const AVSValue& args, int i) { return args[i].AsFloat(); }

// A float position read as an integer: an integer is used as it is; a float is
// truncated toward zero and saturated to the 32-bit range (not a number: 0).
int IntFromFloatArg(const AVSValue& args, int i);

// Builds a filter and hands it to the host as a clip value: the value's handle
// is the first count on the filter. A constructor that raises an error leaves
// nothing behind; running out of memory is an error naming the filter.
template <class Filter, class... Args>
AVSValue NewFilter(const char* outOfMemoryText, IScriptEnvironment* env, Args&&... args) {
  Filter* filter = new (std::nothrow) Filter(std::forward<Args>(args)..., env);
  if (!filter) env->ThrowError(outOfMemoryText);
  return AVSValue(PClip(filter));
}

}  // namespace pramvix
