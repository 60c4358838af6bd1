#include "function_help.h"

#include <algorithm>

namespace pramvix::cli {

const FunctionEntry* HelpFor(const std::string& function, const std::string& types) {
  const FunctionEntry* entry = FindFunction(function.c_str());
  return entry && types == entry->params ? entry : nullptr;
}

std::string TypeName(char letter) {
  switch (letter) {
    case 'c': return "clip";
    case 'i': return "int";
    case 'f': return "float";
    case 'b': return "bool";
    case 's': return "string";
    default: return std::string("?") + letter;
  }
}

std::string Signature(const std::string& function, const std::string& types) {
  std::string text = function + "(";
  for (size_t i = 0; i < types.size(); ++i) text += (i ? ", " : "") + TypeName(types[i]);
  return text + ")";
}

std::string ArgumentName(const std::string& function, const std::string& types, size_t i) {
  const FunctionEntry* help = HelpFor(function, types);
  if (help && i < types.size()) return help->arguments[i].name;
  return "argument " + std::to_string(i + 1);
}

std::string HelpText(const std::string& function, const std::string& types) {
  const FunctionEntry* help = HelpFor(function, types);
  std::string text = Signature(function, types) + "\n";
  if (help) text += "\n" + std::string(help->summary) + "\n";
  text += "\n";
  size_t nameWidth = 8;
  for (size_t i = 0; i < types.size(); ++i) nameWidth = std::max(nameWidth, ArgumentName(function, types, i).size());
  for (size_t i = 0; i < types.size(); ++i) {
    std::string name = ArgumentName(function, types, i);
    std::string type = TypeName(types[i]);
    text += "  " + name + std::string(nameWidth + 2 - name.size(), ' ') + type +
            std::string(7 - std::min<size_t>(type.size(), 6), ' ');
    if (help) {
      text += help->arguments[i].meaning;
    } else if (types[i] == 'c') {
      text += "a Y4M 4:2:2 file, - for standard input, or a PNG picture";
    } else {
      text += "a number";
    }
    text += "\n";
  }
  if (help && types.find('c') != std::string::npos) {
    text += "\nA clip is a Y4M 4:2:2 file, - for standard input, or a PNG picture (one frame: its number is 0).\n";
  }
  return text;
}

}  // namespace pramvix::cli
