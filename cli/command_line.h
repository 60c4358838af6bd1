#pragma once
#include <string>
#include <vector>

namespace pramvix::cli {

// What the command was asked to do.
struct CommandLine {
  enum class Action { kRun, kList, kHelp, kUsage, kVersion };
  Action action = Action::kRun;
  std::string function;           // kRun, and kHelp's topic (empty: general help)
  std::vector<std::string> args;  // the function's arguments, as written
  std::string output;             // -o FILE; empty: standard output
  int pngFrame = -1;              // --png N: write frame N as a PNG instead of Y4M
  int first = 0;                  // --frames A:B, both included
  int last = -1;                  // -1: to the end
  int threads = 0;                // --threads N; 0: one per core
  bool quiet = false;             // -q
  std::string plugin;             // --plugin PATH
};

// Options may come anywhere; a word that looks like a number ("-5", "-0.5")
// or is "-" alone is an argument. "--" ends the options. Throws UsageError.
CommandLine ParseCommandLine(const std::vector<std::string>& words);

// The threads to run: `threads`, or one per core when 0.
int ThreadsToRun(int threads);

// The general usage text.
std::string UsageText();

}  // namespace pramvix::cli
