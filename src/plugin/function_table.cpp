#include "plugin/function_table.h"

#include "plugin/factories.h"

namespace pramvix {

const FunctionEntry kFunctionTable[] = {
    {"NoLogo", "cciiiiii", CreateNoLogo},
    {"NoLogoM", "cciiiiiifii", CreateNoLogoM},
    {"LogoMask", "ccciiiiii", CreateLogoMask},
    {"AddLogo", "ccifiiiii", CreateAddLogo},
    {"IfLogo", "ccciiiiiii", CreateIfLogo},
    {"IfNoLogo", "ccciiiiiii", CreateIfNoLogo},
    {"NoLogoAuto", "cci", CreateNoLogoAuto},
};

const size_t kFunctionCount = sizeof(kFunctionTable) / sizeof(kFunctionTable[0]);

void RegisterFunctions(IScriptEnvironment* env) {
  for (const FunctionEntry& entry : kFunctionTable) env->AddFunction(entry.name, entry.params, entry.factory, nullptr);
}

}  // namespace pramvix
