#include "plugin/arguments.h"
#include "plugin/factories.h"
#include "removal/no_logo.h"

namespace pramvix {

// NoLogo(clip, logo clip, logo frame, threshold, x, y, width, height)
AVSValue CreateNoLogo(AVSValue args, void*, IScriptEnvironment* env) {
  const char* missing = "NoLogo: a clip argument is missing";
  return NewFilter<NoLogo>("NoLogo: out of memory", env, ClipArg(args, 0, missing, env),
                           ClipArg(args, 1, missing, env), IntArg(args, 2), IntArg(args, 3), IntArg(args, 4),
                           IntArg(args, 5), IntArg(args, 6), IntArg(args, 7));
}

}  // namespace pramvix
