#pragma once
#include <cstddef>

#include "host/host.h"

namespace pramvix {

struct FunctionEntry {
  const char* name;
  const char* params;  // "c" clip, "i" integer, "f" float; all positional and required
  ApplyFunc factory;
};

// The script functions, in the order they are registered.
extern const FunctionEntry kFunctionTable[];
extern const size_t kFunctionCount;

// Registers every row of the table with user data 0.
void RegisterFunctions(IScriptEnvironment* env);

}  // namespace pramvix
