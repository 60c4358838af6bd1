#pragma once
#include <string>
#include <vector>

namespace pramvix::cli {

// Exit statuses of the command.
constexpr int kExitOk = 0;
constexpr int kExitFailed = 1;  // a filter's error, an unreadable file, a write error
constexpr int kExitUsage = 2;   // a wrong command line

// The whole `pramvix` command: `words` are its arguments without the program
// name. Writes to standard output and standard error; returns the exit status.
int RunCommand(const std::vector<std::string>& words);

}  // namespace pramvix::cli
