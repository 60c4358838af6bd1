#include "option_words.h"

#include <cerrno>
#include <cstdint>
#include <cstdlib>

namespace pramvix::cli {

bool ParseInt32(const std::string& word, int& value) {
  errno = 0;
  char* end = nullptr;
  const long long v = std::strtoll(word.c_str(), &end, 10);
  if (word.empty() || *end != '\0' || errno != 0 || v < INT32_MIN || v > INT32_MAX) return false;
  value = static_cast<int>(v);
  return true;
}

int FrameNumber(const std::string& text, const std::string& option) {
  errno = 0;
  char* end = nullptr;
  const long value = std::strtol(text.c_str(), &end, 10);
  if (text.empty() || *end != '\0' || errno != 0 || value < 0 || value > 2147483647L) {
    throw UsageError(option + " needs a frame number of 0 or more, not '" + text + "'");
  }
  return static_cast<int>(value);
}

int ThreadCount(const std::string& text) {
  int value = 0;
  if (!ParseInt32(text, value) || value < 1 || value > kMaxThreads) {
    throw UsageError("--threads needs a number from 1 to " + std::to_string(kMaxThreads) + ", not '" + text + "'");
  }
  return value;
}

void ParseFrameRange(const std::string& range, int& first, int& last) {
  const size_t colon = range.find(':');
  if (colon == std::string::npos) throw UsageError("--frames needs A:B, not '" + range + "'");
  first = colon == 0 ? 0 : FrameNumber(range.substr(0, colon), "--frames");
  last = colon + 1 == range.size() ? -1 : FrameNumber(range.substr(colon + 1), "--frames");
  if (last >= 0 && last < first) throw UsageError("--frames " + range + ": the last frame comes before the first");
}

}  // namespace pramvix::cli
