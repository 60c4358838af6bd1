#pragma once
// The walk over a command line that the command and its subcommands share.
#include <string>
#include <vector>

#include "cli_error.h"

namespace pramvix::cli {

// Whether a word is an option: "-x" or "--xyz", but not a number ("-5",
// "-0.5") nor "-" alone, which are arguments.
inline bool IsOption(const std::string& word) {
  if (word.size() < 2 || word[0] != '-') return false;
  const char c = word[1];
  return !(c >= '0' && c <= '9') && c != '.';
}

// Calls option(word, value) for every option, where value() takes the word
// after it (a UsageError when there is none), and returns the other words in
// order. "--" ends the options. `option` returns false to stop the walk.
template <class OnOption>
std::vector<std::string> SplitOptions(const std::vector<std::string>& words, OnOption&& option) {
  std::vector<std::string> positional;
  bool optionsEnded = false;
  for (size_t i = 0; i < words.size(); ++i) {
    const std::string& word = words[i];
    if (optionsEnded || !IsOption(word)) {
      positional.push_back(word);
    } else if (word == "--") {
      optionsEnded = true;
    } else {
      auto value = [&]() -> const std::string& {
        if (i + 1 >= words.size()) throw UsageError(word + " needs a value");
        return words[++i];
      };
      if (!option(word, value)) break;
    }
  }
  return positional;
}

// A signed 32-bit integer written in decimal, the whole word; false otherwise.
bool ParseInt32(const std::string& word, int& value);

// A frame number of 0 or more; `option` names what asked for it in the error.
int FrameNumber(const std::string& text, const std::string& option);

// --threads N: from 1 to kMaxThreads.
constexpr int kMaxThreads = 256;
int ThreadCount(const std::string& text);

// --frames A:B (both included): `first` and `last`, -1 for "to the end" (A:).
void ParseFrameRange(const std::string& range, int& first, int& last);

}  // namespace pramvix::cli
