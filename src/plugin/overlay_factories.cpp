#include "overlay/add_logo.h"
#include "overlay/logo_mask.h"
#include "plugin/arguments.h"
#include "plugin/factories.h"

namespace pramvix {

// LogoMask(clip, alternate clip, logo clip, logo frame, threshold, x, y, width, height)
AVSValue CreateLogoMask(AVSValue args, void*, IScriptEnvironment* env) {
  const char* missing = LogoMask::kTexts.missingClip;
  return NewFilter<LogoMask>(LogoMask::kTexts.outOfMemory, env, ClipArg(args, 0, missing, env),
                             ClipArg(args, 1, missing, env), ClipArg(args, 2, missing, env), IntArg(args, 3),
                             IntArg(args, 4), IntArg(args, 5), IntArg(args, 6), IntArg(args, 7), IntArg(args, 8));
}

// AddLogo(clip, logo clip, logo frame, threshold, x, y, width, height, unused)
// The threshold's slot is declared a float; the last integer is never read.
AVSValue CreateAddLogo(AVSValue args, void*, IScriptEnvironment* env) {
  const char* missing = AddLogo::kTexts.missingClip;
  return NewFilter<AddLogo>(AddLogo::kTexts.outOfMemory, env, ClipArg(args, 0, missing, env),
                            ClipArg(args, 1, missing, env), IntArg(args, 2), IntFromFloatArg(args, 3),
                            IntArg(args, 4), IntArg(args, 5), IntArg(args, 6), IntArg(args, 7));
}

}  // namespace pramvix
