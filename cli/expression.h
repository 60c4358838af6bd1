#pragma once
// Calls written as in a script: `IfNoLogo(in.y4m, NoLogo(in.y4m, logo.png, 0,
// 40, 600, 20, 80, 50), logo.png, 0, 10, 20, 600, 20, 80, 50)`. An argument
// is a call, a word (a file name or a number: anything up to the next comma or
// closing bracket, spaces at its ends dropped) or a quoted word ("a, b.y4m",
// with \" and \\ inside).
#include <cstddef>
#include <memory>
#include <string>
#include <vector>

namespace pramvix::cli {

struct CallExpression;

struct ExpressionArgument {
  std::string word;                      // a word, unquoted; empty for a call
  std::unique_ptr<CallExpression> call;  // a call, or none
  size_t offset = 0;                     // where it starts in the text, from 0
};

struct CallExpression {
  std::string function;
  std::vector<ExpressionArgument> args;
  size_t offset = 0;
};

// Calls nest at most this deep.
constexpr int kMaxCallDepth = 32;

// Whether the text is written as a call: a name, then "(".
bool IsCallText(const std::string& text);

// Reads one call that makes the whole text. Throws UsageError naming the
// character (from 1) at fault and what was expected there.
CallExpression ReadExpression(const std::string& text);

}  // namespace pramvix::cli
