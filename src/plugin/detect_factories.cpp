#include "detect/if_logo.h"
#include "detect/if_no_logo.h"
#include "plugin/arguments.h"
#include "plugin/factories.h"

namespace pramvix {

namespace {
// (clip, alternate clip, logo clip, logo frame, frame threshold, logo threshold, x, y, width, height)
template <class Filter>
AVSValue CreateLogoTest(const AVSValue& args, IScriptEnvironment* env) {
  const char* missingText = Filter::kTexts.missingClip;
  return NewFilter<Filter>(Filter::kTexts.outOfMemory, env, ClipArg(args, 0, missingText, env),
                           ClipArg(args, 1, missingText, env), ClipArg(args, 2, missingText, env),
                           IntArg(args, 3), IntArg(args, 4), IntArg(args, 5), IntArg(args, 6), IntArg(args, 7),
                           IntArg(args, 8), IntArg(args, 9));
}
}  // namespace

AVSValue CreateIfLogo(AVSValue args, void*, IScriptEnvironment* env) {
  return CreateLogoTest<IfLogo>(args, env);
}

AVSValue CreateIfNoLogo(AVSValue args, void*, IScriptEnvironment* env) {
  return CreateLogoTest<IfNoLogo>(args, env);
}

}  // namespace pramvix
