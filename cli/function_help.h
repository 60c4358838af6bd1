#pragma once
#include <string>
#include <vector>

namespace pramvix::cli {

// Names and meanings of a function's arguments, for --help and for usage
// errors. The command takes the functions themselves and their type strings
// from the plug-in's registry; this table only adds words to them.
struct ArgumentHelp {
  const char* name;
  const char* meaning;
};

struct FunctionHelp {
  const char* name;
  const char* summary;
  std::vector<ArgumentHelp> arguments;
};

// The words for a function, or null when there are none.
const FunctionHelp* HelpFor(const std::string& function);

// "clip", "int", "float", … for a type-string letter.
std::string TypeName(char letter);
// "NoLogo(clip, clip, int, int, int, int, int, int)".
std::string Signature(const std::string& function, const std::string& types);
// Name of argument i: from the table, or "argument i+1".
std::string ArgumentName(const std::string& function, const std::string& types, size_t i);
// The text of `pramvix --help FUNCTION`.
std::string HelpText(const std::string& function, const std::string& types);

}  // namespace pramvix::cli
