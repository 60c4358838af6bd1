#include "plugin/arguments.h"
#include "plugin/factories.h"
#include "removal/no_logo.h"
#include "removal/no_logo_auto.h"
#include "removal/no_logo_color.h"
#include "removal/no_logo_m.h"

namespace pramvix {

// NoLogo(clip, logo clip, logo frame, threshold, x, y, width, height)
AVSValue CreateNoLogo(AVSValue args, void*, IScriptEnvironment* env) {
  const char* missing = NoLogo::kTexts.missingClip;
  return NewFilter<NoLogo>(NoLogo::kTexts.outOfMemory, env, ClipArg(args, 0, missing, env),
                           ClipArg(args, 1, missing, env), IntArg(args, 2), IntArg(args, 3), IntArg(args, 4),
                           IntArg(args, 5), IntArg(args, 6), IntArg(args, 7));
}

// NoLogoM(clip, logo clip, logo frame, threshold, x, y, width, height, gain, level, offset)
AVSValue CreateNoLogoM(AVSValue args, void*, IScriptEnvironment* env) {
  const char* missing = NoLogoM::kTexts.missingClip;
  return NewFilter<NoLogoM>(NoLogoM::kTexts.outOfMemory, env, ClipArg(args, 0, missing, env),
                            ClipArg(args, 1, missing, env), IntArg(args, 2), IntArg(args, 3), IntArg(args, 4),
                            IntArg(args, 5), IntArg(args, 6), IntArg(args, 7), FloatArg(args, 8), IntArg(args, 9),
                            IntArg(args, 10));
}

// NoLogoAuto(clip, logo clip, logo frame)
AVSValue CreateNoLogoAuto(AVSValue args, void*, IScriptEnvironment* env) {
  const char* missing = NoLogoAuto::kTexts.missingClip;
  return NewFilter<NoLogoAuto>(NoLogoAuto::kTexts.outOfMemory, env, ClipArg(args, 0, missing, env),
                               ClipArg(args, 1, missing, env), IntArg(args, 2));
}

// NoLogoColor(clip, logo clip, logo frame, threshold, x, y, width, height, gain, level, offset)
AVSValue CreateNoLogoColor(AVSValue args, void*, IScriptEnvironment* env) {
  const char* missing = NoLogoColor::kTexts.missingClip;
  return NewFilter<NoLogoColor>(NoLogoColor::kTexts.outOfMemory, env, ClipArg(args, 0, missing, env),
                                ClipArg(args, 1, missing, env), IntArg(args, 2), IntArg(args, 3), IntArg(args, 4),
                                IntArg(args, 5), IntArg(args, 6), IntArg(args, 7), FloatArg(args, 8),
                                IntArg(args, 9), IntArg(args, 10));
}

}  // namespace pramvix
