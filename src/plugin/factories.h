#pragma once
#include "host/host.h"

namespace pramvix {

// One factory per script function: reads the call's arguments by position and
// builds the filter. The user data is ignored.
AVSValue CreateNoLogo(AVSValue args, void* user_data, IScriptEnvironment* env);
AVSValue CreateNoLogoM(AVSValue args, void* user_data, IScriptEnvironment* env);
AVSValue CreateNoLogoAuto(AVSValue args, void* user_data, IScriptEnvironment* env);
AVSValue CreateLogoMask(AVSValue args, void* user_data, IScriptEnvironment* env);
AVSValue CreateAddLogo(AVSValue args, void* user_data, IScriptEnvironment* env);
AVSValue CreateIfLogo(AVSValue args, void* user_data, IScriptEnvironment* env);
AVSValue CreateIfNoLogo(AVSValue args, void* user_data, IScriptEnvironment* env);
AVSValue CreateNoLogoColor(AVSValue args, void* user_data, IScriptEnvironment* env);

}  // namespace pramvix
