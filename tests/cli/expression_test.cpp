// The reader of calls written as in a script.
#include <gtest/gtest.h>

#include <string>

#include "cli/support/error_text.h"
#include "expression.h"

namespace pramvix::cli {
namespace {

// The call written back: F(a,G(b)), words in brackets when quoted-looking.
std::string Shape(const CallExpression& call) {
  std::string text = call.function + "(";
  for (size_t i = 0; i < call.args.size(); ++i) {
    if (i > 0) text += ",";
    text += call.args[i].call ? Shape(*call.args[i].call) : "[" + call.args[i].word + "]";
  }
  return text + ")";
}

std::string ErrorOf(const std::string& text) {
  const std::string error = testing::ErrorText<UsageError>([&] { ReadExpression(text); });
  return error.empty() ? "no error" : error;
}

TEST(Expression, ReadsCallsWordsAndQuotedWords) {
  const struct {
    const char* text;
    const char* shape;
  } cases[] = {
      {"F()", "F()"},
      {"  F ( a )  ", "F([a])"},
      {"NoLogo(in.y4m, logo.png, 0, -40, 600, 20, 80, 50)",
       "NoLogo([in.y4m],[logo.png],[0],[-40],[600],[20],[80],[50])"},
      {"IfNoLogo(-, NoLogo(-, l.png, 0), l.png)", "IfNoLogo([-],NoLogo([-],[l.png],[0]),[l.png])"},
      {"F(my clip.y4m , 1.5e3)", "F([my clip.y4m],[1.5e3])"},  // inner spaces stay, outer ones go
      {"F(\"a, (b).y4m\", \"q\\\"\\\\\")", "F([a, (b).y4m],[q\"\\])"},
      {"F(G(H(x)), y)", "F(G(H([x])),[y])"},
      {"F(\n\ta,\n\tb\n)", "F([a],[b])"},
      {"F(G ())", "F(G())"},
  };
  for (const auto& c : cases) EXPECT_EQ(Shape(ReadExpression(c.text)), c.shape) << c.text;
  const CallExpression call = ReadExpression("F(a, G(b))");
  EXPECT_EQ(call.args[1].offset, 5u);
  EXPECT_EQ(call.args[1].call->offset, 5u);
}

TEST(Expression, ErrorsNameTheCharacterAndWhatWasExpected) {
  const struct {
    const char* text;
    const char* error;
  } cases[] = {
      {"", "expression, character 1: a call, as FUNCTION(ARG, ...), was expected"},
      {"F(a", "expression, character 4: the call of F is not closed"},
      {"F(a b", "expression, character 6: the call of F is not closed"},
      {"F(a,", "expression, character 5: an argument was expected"},
      {"F(a,,b)", "expression, character 5: an argument was expected"},
      {"F(a) x", "expression, character 6: nothing may follow the call"},
      {"F(a(b)", "expression, character 7: the call of F is not closed"},  // a(b) is a call
      {"F(1(b))", "expression, character 4: '(' in a word; quote the word"},
      {"F(a\"b\")", "expression, character 4: '\"' in a word; quote the word"},
      {"F(\"ab)", "expression, character 7: the quoted word is not closed"},
      {"F(\"a\\nb\")", "expression, character 6: only \\\" and \\\\ may follow \\"},
      {"F(\"a\"b)", "expression, character 6: ',' or ')' was expected"},
      {"F(a\x01)", "expression, character 4: a control character is not allowed"},
      {"9F(a)", "expression, character 1: a call, as FUNCTION(ARG, ...), was expected"},
  };
  for (const auto& c : cases) EXPECT_EQ(ErrorOf(c.text), c.error) << c.text;
}

TEST(Expression, NestingIsBounded) {
  std::string text;
  for (int i = 0; i < kMaxCallDepth; ++i) text += "F(";
  std::string closed = text + "x";
  for (int i = 0; i < kMaxCallDepth; ++i) closed += ")";
  EXPECT_EQ(ErrorOf(closed), "no error");
  EXPECT_EQ(ErrorOf("F(" + closed + ")"), "expression, character " + std::to_string(2 * kMaxCallDepth + 1) +
                                                ": calls nest deeper than " + std::to_string(kMaxCallDepth));
  // Far deeper text fails at the limit, without recursing further.
  EXPECT_NE(ErrorOf(std::string(100000, 'F') + std::string(100000, '(')), "no error");
  std::string deep;
  for (int i = 0; i < 100000; ++i) deep += "F(";
  EXPECT_NE(ErrorOf(deep).find("nest deeper"), std::string::npos);
}

TEST(Expression, TellsCallsFromFunctionNames) {
  EXPECT_TRUE(IsCallText("NoLogo(a)"));
  EXPECT_TRUE(IsCallText(" F ("));
  EXPECT_FALSE(IsCallText("NoLogo"));
  EXPECT_FALSE(IsCallText("./in(1).y4m"));
  EXPECT_FALSE(IsCallText("-"));
  EXPECT_FALSE(IsCallText(""));
}

}  // namespace
}  // namespace pramvix::cli
