#pragma once
// Help texts for the functions the command runs. Names and meanings of the
// arguments come from the plug-in's function table; the functions themselves
// and their type strings from what the loaded plug-in registered.
#include <string>

#include "plugin/function_table.h"

namespace pramvix::cli {

// The table's row for a function, or null when the table has none whose type
// string is `types` (a plug-in built from other sources).
const FunctionEntry* HelpFor(const std::string& function, const std::string& types);

// "clip", "int", "float", … for a type-string letter.
std::string TypeName(char letter);
// "NoLogo(clip, clip, int, int, int, int, int, int)".
std::string Signature(const std::string& function, const std::string& types);
// Name of argument i: from the table, or "argument i+1".
std::string ArgumentName(const std::string& function, const std::string& types, size_t i);
// The text of `pramvix --help FUNCTION`.
std::string HelpText(const std::string& function, const std::string& types);

}  // namespace pramvix::cli
