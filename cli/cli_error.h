#pragma once
#include <stdexcept>
#include <string>

namespace pramvix::cli {

// A problem with the command's own input or output (a file that cannot be
// read, a malformed header): reported as "pramvix: <text>", exit status 1.
class CliError : public std::runtime_error {
 public:
  explicit CliError(const std::string& message) : std::runtime_error(message) {}
};

// A wrong command line: reported with a usage hint, exit status 2.
class UsageError : public std::runtime_error {
 public:
  explicit UsageError(const std::string& message) : std::runtime_error(message) {}
};

}  // namespace pramvix::cli
