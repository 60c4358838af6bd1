#include "expression.h"

#include "cli_error.h"

namespace pramvix::cli {

namespace {

bool IsNameStart(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_'; }
bool IsNameChar(char c) { return IsNameStart(c) || (c >= '0' && c <= '9'); }
bool IsSpace(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; }
bool IsControl(char c) { return static_cast<unsigned char>(c) < 0x20 && !IsSpace(c); }

class Reader {
 public:
  explicit Reader(const std::string& text) : text_(text) {}

  CallExpression Whole() {
    SkipSpace();
    CallExpression call = Call(0);
    SkipSpace();
    if (at_ < text_.size()) Fail("nothing may follow the call");
    return call;
  }

 private:
  [[noreturn]] void Fail(const std::string& why) const {
    throw UsageError("expression, character " + std::to_string(at_ + 1) + ": " + why);
  }
  void SkipSpace() {
    while (at_ < text_.size() && IsSpace(text_[at_])) ++at_;
  }
  bool Peek(char c) const { return at_ < text_.size() && text_[at_] == c; }

  // Whether a call starts here: a name, spaces, "(".
  bool CallAhead() const {
    size_t i = at_;
    if (i >= text_.size() || !IsNameStart(text_[i])) return false;
    while (i < text_.size() && IsNameChar(text_[i])) ++i;
    while (i < text_.size() && IsSpace(text_[i])) ++i;
    return i < text_.size() && text_[i] == '(';
  }

  CallExpression Call(int depth) {
    if (depth >= kMaxCallDepth) Fail("calls nest deeper than " + std::to_string(kMaxCallDepth));
    if (!CallAhead()) Fail("a call, as FUNCTION(ARG, ...), was expected");
    CallExpression call;
    call.offset = at_;
    while (IsNameChar(text_[at_])) call.function += text_[at_++];
    SkipSpace();
    ++at_;  // "("
    SkipSpace();
    if (Peek(')')) {
      ++at_;
      return call;
    }
    for (;;) {
      SkipSpace();
      call.args.push_back(Argument(depth));
      SkipSpace();
      if (Peek(',')) {
        ++at_;
      } else if (Peek(')')) {
        ++at_;
        return call;
      } else {
        Fail(at_ < text_.size() ? "',' or ')' was expected" : "the call of " + call.function + " is not closed");
      }
    }
  }

  ExpressionArgument Argument(int depth) {
    ExpressionArgument argument;
    argument.offset = at_;
    if (CallAhead()) {
      argument.call = std::make_unique<CallExpression>(Call(depth + 1));
    } else if (Peek('"')) {
      argument.word = Quoted();
    } else {
      argument.word = Bare();
    }
    return argument;
  }

  std::string Quoted() {
    ++at_;
    std::string word;
    for (;;) {
      if (at_ >= text_.size()) Fail("the quoted word is not closed");
      const char c = text_[at_++];
      if (c == '"') return word;
      if (c == '\\') {
        if (at_ >= text_.size() || (text_[at_] != '"' && text_[at_] != '\\')) Fail("only \\\" and \\\\ may follow \\");
        word += text_[at_++];
      } else if (IsControl(c)) {
        --at_;
        Fail("a control character is not allowed");
      } else {
        word += c;
      }
    }
  }

  std::string Bare() {
    const size_t start = at_;
    size_t end = at_;
    while (at_ < text_.size() && text_[at_] != ',' && text_[at_] != ')') {
      const char c = text_[at_];
      if (c == '(' || c == '"') Fail(std::string("'") + c + "' in a word; quote the word");
      if (IsControl(c)) Fail("a control character is not allowed");
      ++at_;
      if (!IsSpace(c)) end = at_;
    }
    if (end == start) Fail("an argument was expected");
    return text_.substr(start, end - start);
  }

  const std::string& text_;
  size_t at_ = 0;
};

}  // namespace

bool IsCallText(const std::string& text) {
  size_t i = 0;
  while (i < text.size() && IsSpace(text[i])) ++i;
  if (i >= text.size() || !IsNameStart(text[i])) return false;
  while (i < text.size() && IsNameChar(text[i])) ++i;
  while (i < text.size() && IsSpace(text[i])) ++i;
  return i < text.size() && text[i] == '(';
}

CallExpression ReadExpression(const std::string& text) { return Reader(text).Whole(); }

}  // namespace pramvix::cli
