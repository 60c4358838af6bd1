// The README's section of every function shows the function table's words:
// its syntax line and one parameter-table row per argument, in order, with the
// argument's name, type and meaning exactly as the table has them.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "plugin/function_table.h"

namespace pramvix::testing {
namespace {

const char* TypeWord(char letter) { return letter == 'c' ? "clip" : letter == 'f' ? "float" : "int"; }

std::vector<std::string> Lines(const std::string& path) {
  std::ifstream file(path);
  std::vector<std::string> lines;
  for (std::string line; std::getline(file, line);) lines.push_back(line);
  return lines;
}

std::string SyntaxOf(const FunctionEntry& row) {
  std::string text = "`" + std::string(row.name) + "(";
  for (size_t i = 0; row.params[i]; ++i) {
    text += i ? ", " : "";
    if (row.params[i] != 'c') text += std::string(TypeWord(row.params[i])) + " ";
    text += row.arguments[i].name;
  }
  return text + ")`";
}

TEST(Readme, EveryFunctionHasItsSyntaxAndParameterTable) {
  const std::vector<std::string> lines = Lines(PRAMVIX_SOURCE_DIR "/README.md");
  ASSERT_FALSE(lines.empty());
  for (size_t f = 0; f < kFunctionCount; ++f) {
    const FunctionEntry& row = kFunctionTable[f];
    SCOPED_TRACE(row.name);
    size_t at = 0;
    while (at < lines.size() && lines[at] != "### " + std::string(row.name)) ++at;
    ASSERT_LT(at, lines.size()) << "no section";
    ++at;
    while (at < lines.size() && lines[at].empty()) ++at;
    ASSERT_LT(at, lines.size());
    EXPECT_EQ(lines[at], SyntaxOf(row));
    while (at < lines.size() && lines[at].rfind("| argument |", 0) != 0) ++at;
    at += 2;  // the header and its rule
    size_t i = 0;
    for (; at < lines.size() && lines[at].rfind("| ", 0) == 0; ++at, ++i) {
      ASSERT_LT(i, std::char_traits<char>::length(row.params)) << "more rows than arguments";
      const std::string expected = "| `" + std::string(row.arguments[i].name) + "` | " + TypeWord(row.params[i]) +
                                   " | " + row.arguments[i].meaning + " | ";
      EXPECT_EQ(lines[at].substr(0, expected.size()), expected);
    }
    EXPECT_EQ(i, std::char_traits<char>::length(row.params)) << "one row per argument";
  }
}

}  // namespace
}  // namespace pramvix::testing
