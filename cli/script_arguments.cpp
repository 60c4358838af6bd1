#include "script_arguments.h"

#include <cerrno>
#include <cmath>
#include <cstdint>
#include <cstdlib>

#include "cli_error.h"
#include "option_words.h"
#include "function_help.h"

namespace pramvix::cli {

namespace {

bool ParseFloat(const std::string& word, float& value) {
  errno = 0;
  char* end = nullptr;
  const double v = std::strtod(word.c_str(), &end);
  if (word.empty() || *end != '\0' || !std::isfinite(v) || std::fabs(v) > 3.4e38) return false;
  value = static_cast<float>(v);
  return true;
}

}  // namespace

std::vector<AVSValue> ReadArguments(const std::string& function, const std::string& types,
                                    const std::vector<std::string>& words, const ClipOpener& openClip) {
  const std::string expected = "\nexpected: " + Signature(function, types) + "\nsee: pramvix --help " + function;
  if (words.size() != types.size()) {
    throw UsageError(function + " takes " + std::to_string(types.size()) + " arguments, " +
                     std::to_string(words.size()) + " given" + expected);
  }
  std::vector<AVSValue> values(types.size());
  for (size_t i = 0; i < types.size(); ++i) {
    const std::string& word = words[i];
    const std::string which = function + ": argument " + std::to_string(i + 1) + " (" +
                              ArgumentName(function, types, i) + ") must be ";
    switch (types[i]) {
      case 'c':
        if (word.empty()) throw UsageError(which + "a file name" + expected);
        break;
      case 'i': {
        int v = 0;
        if (!ParseInt32(word, v)) throw UsageError(which + "an integer, not '" + word + "'" + expected);
        values[i] = AVSValue(v);
        break;
      }
      case 'f': {
        int asInt = 0;
        float v = 0;
        if (ParseInt32(word, asInt)) {
          values[i] = AVSValue(asInt);  // an integer is accepted where a number is expected
        } else if (ParseFloat(word, v)) {
          values[i] = AVSValue(v);
        } else {
          throw UsageError(which + "a number, not '" + word + "'" + expected);
        }
        break;
      }
      case 'b':
        if (word != "true" && word != "false") throw UsageError(which + "true or false, not '" + word + "'" + expected);
        values[i] = AVSValue(word == "true");
        break;
      case 's':
        values[i] = AVSValue(word);
        break;
      default:
        throw UsageError(function + ": argument type '" + std::string(1, types[i]) + "' is not supported here");
    }
  }
  // Clips are opened once every other argument is known to be right, in order.
  for (size_t i = 0; i < types.size(); ++i) {
    if (types[i] == 'c') values[i] = AVSValue(openClip(words[i]));
  }
  return values;
}

}  // namespace pramvix::cli
