#pragma once
#include <string>
#include <vector>

namespace pramvix::cli::scan {

// `pramvix scan`: `words` are the words after "scan". Writes the segments to
// standard output and the files its options name; returns the exit status.
// Throws UsageError, CliError and the host's errors as the command does.
int RunScan(const std::vector<std::string>& words);

}  // namespace pramvix::cli::scan
