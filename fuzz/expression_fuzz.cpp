// Feeds arbitrary text to the command's reader of calls: it must either read a
// call that, written back with every word quoted, reads again as the same
// call, or refuse with a UsageError that names a character of the text.
#include <cstdio>
#include <cstdlib>
#include <string>

#include "cli_error.h"
#include "expression.h"

namespace {

using pramvix::cli::CallExpression;

[[noreturn]] void Fail(const char* why) {
  std::fprintf(stderr, "expression_fuzz: %s\n", why);
  std::abort();
}

std::string Written(const CallExpression& call) {
  std::string text = call.function + "(";
  for (size_t i = 0; i < call.args.size(); ++i) {
    if (i > 0) text += ", ";
    if (call.args[i].call) {
      text += Written(*call.args[i].call);
      continue;
    }
    text += '"';
    for (char c : call.args[i].word) {
      if (c == '"' || c == '\\') text += '\\';
      text += c;
    }
    text += '"';
  }
  return text + ")";
}

int Depth(const CallExpression& call) {
  int deepest = 0;
  for (const auto& argument : call.args) {
    if (argument.call) {
      const int depth = Depth(*argument.call);
      if (depth > deepest) deepest = depth;
    }
  }
  return deepest + 1;
}

void CheckOffsets(const CallExpression& call, size_t size) {
  if (call.offset >= size) Fail("a call starts past the text");
  for (const auto& argument : call.args) {
    if (argument.offset >= size) Fail("an argument starts past the text");
    if (argument.call) CheckOffsets(*argument.call, size);
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  CallExpression call;
  try {
    call = pramvix::cli::ReadExpression(text);
  } catch (const pramvix::cli::UsageError& e) {
    const std::string message = e.what();
    const std::string prefix = "expression, character ";
    if (message.compare(0, prefix.size(), prefix) != 0) Fail("an error that names no character");
    const long character = std::strtol(message.c_str() + prefix.size(), nullptr, 10);
    if (character < 1 || static_cast<size_t>(character) > size + 1) Fail("an error names a character off the text");
    return 0;
  }
  if (Depth(call) > pramvix::cli::kMaxCallDepth) Fail("calls nest past the limit");
  if (!pramvix::cli::IsCallText(text)) Fail("a call was read from text that does not start as one");
  CheckOffsets(call, size);
  const std::string written = Written(call);
  if (Written(pramvix::cli::ReadExpression(written)) != written) Fail("a call written back reads otherwise");
  return 0;
}
