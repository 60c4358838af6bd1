#pragma once
#include <stdexcept>
#include <string>

namespace pramvix::local {

// The local host's error: what ThrowError raises, carrying the exact text.
class HostError : public std::runtime_error {
 public:
  explicit HostError(const std::string& message) : std::runtime_error(message) {}
};

}  // namespace pramvix::local
