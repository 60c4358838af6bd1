#include "command_line.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "cli/support/error_text.h"
#include "function_help.h"
#include "script_arguments.h"

namespace pramvix::testing {
namespace {

using cli::CommandLine;
using cli::UsageError;

TEST(CommandLine, OptionsGoAnywhereAndNegativeNumbersAreArguments) {
  const CommandLine c = cli::ParseCommandLine(
      {"-q", "IfLogo", "-", "b.y4m", "l.png", "0", "-20", "-.5", "--frames", "3:9", "-o", "out.y4m", "--png", "4",
       "--plugin", "lib.so"});
  EXPECT_EQ(c.action, CommandLine::Action::kRun);
  EXPECT_EQ(c.function, "IfLogo");
  EXPECT_EQ(c.args, (std::vector<std::string>{"-", "b.y4m", "l.png", "0", "-20", "-.5"}));
  EXPECT_TRUE(c.quiet);
  EXPECT_EQ(c.first, 3);
  EXPECT_EQ(c.last, 9);
  EXPECT_EQ(c.output, "out.y4m");
  EXPECT_EQ(c.pngFrame, 4);
  EXPECT_EQ(c.plugin, "lib.so");
  EXPECT_EQ(cli::ParseCommandLine({"F", "--", "-x"}).args, (std::vector<std::string>{"-x"}));
  const CommandLine open = cli::ParseCommandLine({"--frames", "5:", "F"});
  EXPECT_EQ(open.first, 5);
  EXPECT_EQ(open.last, -1);
  EXPECT_EQ(cli::ParseCommandLine({}).action, CommandLine::Action::kUsage);
  EXPECT_EQ(cli::ParseCommandLine({"--help", "NoLogo"}).function, "NoLogo");
  EXPECT_EQ(cli::ParseCommandLine({"--list"}).action, CommandLine::Action::kList);
}

TEST(CommandLine, RefusesBadOptions) {
  std::vector<std::pair<std::vector<std::string>, std::string>> cases = {
      {{"-x", "F"}, "unknown option -x"},
      {{"F", "-o"}, "-o needs a value"},
      {{"--frames", "7", "F"}, "--frames needs A:B, not '7'"},
      {{"--frames", "7:2", "F"}, "--frames 7:2: the last frame comes before the first"},
      {{"--png", "-1", "F"}, "--png needs a frame number of 0 or more, not '-1'"},
      {{"--list", "F"}, "--list takes no arguments"},
  };
  for (const std::string count : {"0", "-2", "257", "two", "1.5", ""}) {
    cases.push_back({{"--threads", count, "F"}, "--threads needs a number from 1 to 256, not '" + count + "'"});
  }
  for (const auto& [words, error] : cases) {
    EXPECT_EQ(ErrorText<UsageError>([&] { cli::ParseCommandLine(words); }), error) << words[0] << " " << words[1];
  }
  EXPECT_EQ(cli::ParseCommandLine({"--threads", "256", "F"}).threads, 256);
}

std::string ArgumentErrorOf(const std::string& types, const std::vector<std::string>& words) {
  int opened = 0;
  const std::string error = ErrorText<UsageError>([&] {
    cli::ReadArguments("NoLogo", types, words, [&opened](const std::string&) { ++opened; return PClip(); });
  });
  EXPECT_EQ(opened, 0) << "no clip is opened before the arguments are known to be right";
  return error;
}

TEST(ScriptArguments, ReadsByTheTypeString) {
  std::vector<std::string> opened;
  const auto values = cli::ReadArguments("F", "cifffbs", {"a.y4m", "-7", "2", "0.5", "-1e3", "true", "x"},
                                         [&opened](const std::string& path) {
                                           opened.push_back(path);
                                           return PClip();
                                         });
  EXPECT_EQ(opened, (std::vector<std::string>{"a.y4m"}));
  EXPECT_EQ(values[1].AsInt(), -7);
  EXPECT_TRUE(values[2].IsInt());  // an integer where a number is expected stays an integer
  EXPECT_EQ(values[2].AsFloat(), 2.0f);
  EXPECT_EQ(values[3].AsFloat(), 0.5f);
  EXPECT_EQ(values[4].AsFloat(), -1000.0f);
  EXPECT_TRUE(values[5].AsBool());
  EXPECT_STREQ(values[6].AsString(), "x");
}

TEST(ScriptArguments, WrongCountOrKindNamesTheFunctionAndItsArguments) {
  const std::string tail =
      "\nexpected: NoLogo(clip, clip, int, int, int, int, int, int)\nsee: pramvix --help NoLogo";
  EXPECT_EQ(ArgumentErrorOf("cciiiiii", {"a", "b", "0"}), "NoLogo takes 8 arguments, 3 given" + tail);
  EXPECT_EQ(ArgumentErrorOf("cciiiiii", {"a", "b", "0", "x", "1", "2", "3", "4"}),
            "NoLogo: argument 4 (threshold) must be an integer, not 'x'" + tail);
  EXPECT_EQ(ArgumentErrorOf("cciiiiii", {"a", "b", "1.5", "1", "1", "2", "3", "4"}),
            "NoLogo: argument 3 (logo_frame) must be an integer, not '1.5'" + tail);
  EXPECT_EQ(ArgumentErrorOf("cciiiiii", {"a", "b", "0", "1", "1", "2", "3", "2147483648"}),
            "NoLogo: argument 8 (height) must be an integer, not '2147483648'" + tail);
  // A type string that the table does not know: arguments are numbered.
  EXPECT_EQ(ArgumentErrorOf("cf", {"a", "nan"}),
            "NoLogo: argument 2 (argument 2) must be a number, not 'nan'"
            "\nexpected: NoLogo(clip, float)\nsee: pramvix --help NoLogo");
}

TEST(FunctionHelp, UsesTheTableOnlyWhereItsTypeStringMatches) {
  for (size_t i = 0; i < kFunctionCount; ++i) {
    const FunctionEntry& row = kFunctionTable[i];
    EXPECT_EQ(cli::HelpFor(row.name, row.params), &row) << row.name;
  }
  EXPECT_EQ(cli::HelpFor("NoLogo", "cciiiii"), nullptr);
  EXPECT_EQ(cli::ArgumentName("NoLogo", "cciiiii", 3), "argument 4");
EXPECT_EQ(cli::ArgumentName("NoLogoM", "cciiiiiifii", 8), "gain");
  EXPECT_EQ(cli::ArgumentName("IfLogo", "ccciiiiiii", 4), "frame_threshold");
  EXPECT_EQ(cli::HelpText("Other", "ci"),
            "Other(clip, int)\n\n"
            "  argument 1  clip   a Y4M 4:2:2 file, - for standard input, or a PNG picture\n"
            "  argument 2  int    a number\n");
}

}  // namespace
}  // namespace pramvix::testing
