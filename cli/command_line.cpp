#include "command_line.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <thread>

#include "cli_error.h"
#include "option_words.h"

namespace pramvix::cli {

int ThreadsToRun(int threads) {
  if (threads > 0) return threads;
  const unsigned cores = std::thread::hardware_concurrency();
  return cores == 0 ? 1 : static_cast<int>(std::min<unsigned>(cores, kMaxThreads));
}

std::string UsageText() {
  return "usage: pramvix [options] FUNCTION ARG...\n"
         "       pramvix [options] 'FUNCTION(ARG, ...)'\n"
         "       pramvix scan [options] CLIP LOGO_CLIP ...   (pramvix scan --help)\n"
         "       pramvix --list | --help [FUNCTION] | --version\n"
         "       pramvix logo [options] CLIP   (find a logo and make its reference picture)\n"
         "\n"
         "Runs one of the plug-in's functions on video files. A clip argument is a Y4M 4:2:2\n"
         "file (- for standard input) or a PNG picture (a one-frame clip, BT.601 limited range);\n"
         "numbers are numbers. The result goes out as Y4M 4:2:2. Written as a call, a clip\n"
         "argument may itself be a call; a file or - named twice is one clip, read once.\n"
         "\n"
         "options:\n"
         "  -o FILE         write to FILE instead of standard output\n"
         "  --png N         write frame N as a PNG picture instead of Y4M\n"
         "  --frames A:B    only frames A to B (both included); A: runs to the end\n"
         "  --threads N     frames made by N threads at once (default: one per core)\n"
         "  -q              no progress report\n"
         "  --plugin PATH   load the plug-in library from PATH\n"
         "                  (default: $PRAMVIX_PLUGIN, then beside the command, then the build tree)\n"
         "  --list          list the functions and their arguments\n"
         "  --help [F]      this text, or the arguments of function F\n"
         "  --version       the command's version\n"
         "Function names ignore case, as in scripts.\n";
}

CommandLine ParseCommandLine(const std::vector<std::string>& words) {
  CommandLine command;
  const std::vector<std::string> positional = SplitOptions(words, [&](const std::string& word, auto value) {
    if (word == "-o" || word == "--output") {
      command.output = value();
    } else if (word == "--png") {
      command.pngFrame = FrameNumber(value(), word);
    } else if (word == "--frames") {
      ParseFrameRange(value(), command.first, command.last);
    } else if (word == "--threads") {
      command.threads = ThreadCount(value());
    } else if (word == "-q" || word == "--quiet") {
      command.quiet = true;
    } else if (word == "--plugin") {
      command.plugin = value();
    } else if (word == "--list") {
      command.action = CommandLine::Action::kList;
    } else if (word == "--version") {
      command.action = CommandLine::Action::kVersion;
    } else if (word == "--help" || word == "-h") {
      command.action = CommandLine::Action::kHelp;
    } else {
      throw UsageError("unknown option " + word);
    }
    return true;
  });
  if (command.action == CommandLine::Action::kHelp) {
    if (positional.size() > 1) throw UsageError("--help takes one function name");
    if (!positional.empty()) command.function = positional[0];
    return command;
  }
  if (command.action == CommandLine::Action::kList || command.action == CommandLine::Action::kVersion) {
    if (!positional.empty()) throw UsageError(std::string(command.action == CommandLine::Action::kList ? "--list" : "--version") + " takes no arguments");
    return command;
  }
  if (positional.empty()) {
    command.action = CommandLine::Action::kUsage;
    return command;
  }
  command.function = positional[0];
  command.args.assign(positional.begin() + 1, positional.end());
  return command;
}

}  // namespace pramvix::cli
