#include "detect/if_logo.h"

namespace pramvix {

PVideoFrame IfLogo::GetFrame(int n, IScriptEnvironment* env) { return Serve(LogoRule::kIfLogo, n, env); }

}  // namespace pramvix
