#pragma once
// The script functions: one table that the plug-in registers from, the
// command's help prints from and the README's parameter tables are checked
// against. Adding a function touches this table, its factory and its filter.
#include <cstddef>

#include "host/host.h"

namespace pramvix {

struct ArgumentEntry {
  const char* name;     // as the help and the README show it
  const char* meaning;  // one line
};

struct FunctionEntry {
  const char* name;
  const char* params;  // "c" clip, "i" integer, "f" float; all positional and required
  ApplyFunc factory;
  const char* summary;             // what the function does, a few sentences
  const ArgumentEntry* arguments;  // one per letter of `params`
};

// The script functions, in the order they are registered.
extern const FunctionEntry kFunctionTable[];
extern const size_t kFunctionCount;

// The row of a function, or null.
const FunctionEntry* FindFunction(const char* name);

// Registers every row of the table with user data 0.
void RegisterFunctions(IScriptEnvironment* env);

}  // namespace pramvix
