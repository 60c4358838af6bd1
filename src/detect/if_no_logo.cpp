#include "detect/if_no_logo.h"

namespace pramvix {

PVideoFrame IfNoLogo::GetFrame(int n, IScriptEnvironment* env) { return Serve(LogoRule::kIfNoLogo, n, env); }

}  // namespace pramvix
