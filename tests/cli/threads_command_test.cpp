// --threads end to end: the command on several threads writes what it writes
// on one, fails as it fails on one, and refuses a thread count it cannot use.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "cli/support/command_run.h"

namespace pramvix::testing {
namespace {

class ThreadsCommand : public ::testing::Test {
 protected:
  void SetUp() override {
    dir = ScratchDirectory();
    input = Y4MOf(RandomPictures(48, 12, kFrames, 11));
    WriteFile(dir + "/in.y4m", input);
    WriteFile(dir + "/logo.y4m", Y4MOf(RandomPictures(48, 12, 2, 12)));
    // The same pictures with parameters in every frame header.
    std::string withParameters = input.substr(0, input.find('\n') + 1);
    const size_t pictureBytes = 48 * 12 * 2;
    for (size_t at = withParameters.size(); at < input.size(); at += 6 + pictureBytes) {
      withParameters += "FRAME Ip XA=" + std::to_string(at) + "\n" + input.substr(at + 6, pictureBytes);
    }
    WriteFile(dir + "/framed.y4m", withParameters);
    WriteFile(dir + "/in420.y4m", Random420Y4M(48, 13, kFrames, 13, "420mpeg2"));
  }
  // `words` with "IN", "LOGO", "FRAMED" and "C420" standing for the files.
  std::vector<std::string> Words(std::vector<std::string> words) const {
    for (std::string& word : words) {
      for (const auto& [name, path] : {std::pair<std::string, std::string>{"IN", dir + "/in.y4m"},
                                       std::pair<std::string, std::string>{"LOGO", dir + "/logo.y4m"},
                                       std::pair<std::string, std::string>{"FRAMED", dir + "/framed.y4m"},
                                       std::pair<std::string, std::string>{"C420", dir + "/in420.y4m"}}) {
        for (size_t at; (at = word.find(name)) != std::string::npos;) word.replace(at, name.size(), path);
      }
    }
    return words;
  }

  static constexpr int kFrames = 40;
  std::string dir, input;
};

// Pipes, and files whose frames each thread reads by itself (frame headers
// with parameters, 4:2:0 planes, ranges): the bytes of one thread.
TEST_F(ThreadsCommand, GiveTheBytesOfOneThread) {
  struct Case {
    const char* what;
    std::vector<std::string> words;
    bool stdin;  // the input on standard input, as a pipe
  };
  const Case cases[] = {
      {"NoLogo on files", {"NoLogo", "IN", "LOGO", "1", "20", "4", "2", "30", "8"}, false},
      {"frame headers with parameters", {"NoLogo", "FRAMED", "LOGO", "1", "20", "4", "2", "30", "8"}, false},
      {"4:2:0, frames 3 to 33", {"--frames", "3:33", "NoLogo", "C420", "LOGO", "1", "20", "4", "2", "30", "8"}, false},
      {"NoLogoAuto on a pipe", {"NoLogoAuto", "-", "LOGO", "1"}, true},
      {"NoLogoM, frames 5 to 31", {"--frames", "5:31", "NoLogoM", "IN", "LOGO", "0", "20", "4", "2", "30", "8", "1.5", "16", "-3"}, false},
      {"IfLogo on a pipe, frames 9 on", {"--frames", "9:", "IfLogo", "-", "LOGO", "IN", "1", "20", "40", "4", "2", "30", "8"}, true},
      {"a composed call, the pipe named four times",
       {"IfNoLogo(-, NoLogo(-, LogoMask(-, LOGO, -, 1, 20, 4, 2, 30, 8), 0, 20, 4, 2, 30, 8), -, 0, 20, 40, 4, 2, 30, 8)"},
       true},
  };
  std::string plain;  // the first case's bytes, which the parameters change nothing of
  for (const Case& c : cases) {
    std::string one;
    for (const char* threads : {"1", "2", "3", "8"}) {
      SCOPED_TRACE(std::string(c.what) + ", " + threads + " threads");
      std::vector<std::string> words = Words(c.words);
      words.insert(words.begin(), {"-q", "--threads", threads});
      const CommandResult run = RunPramvix(words, c.stdin ? Feed(input) : CommandInput{});
      ASSERT_EQ(run.status, 0) << run.err;
      EXPECT_EQ(run.err, "");
      if (one.empty()) {
        one = run.out;
        EXPECT_GT(one.size(), 0u);
        EXPECT_FALSE(one == input) << "the call changed nothing: a weak comparison";
      }
      EXPECT_EQ(run.out.size(), one.size());
      EXPECT_TRUE(run.out == one);
    }
    if (plain.empty()) plain = one;
    if (std::string(c.what) == "frame headers with parameters") {
      EXPECT_TRUE(one == plain);
    }
  }
}

// A pipe whose frame 17 has no FRAME line: frames 0 to 16 come out, then
// the error, whatever the threads; with -o nothing is left behind.
TEST_F(ThreadsCommand, AFailingFrameIsReportedAsWithOneThread) {
  std::string broken = input;
  const size_t frameBytes = 6 + 48 * 12 * 2;
  const size_t frame17 = broken.size() - (kFrames - 17) * frameBytes;
  ASSERT_EQ(broken.compare(frame17, 6, "FRAME\n"), 0);
  broken.replace(frame17, 5, "FRAMX");
  CommandResult one;
  for (const char* threads : {"1", "2", "4"}) {
    SCOPED_TRACE(std::string(threads) + " threads");
    const CommandResult run =
        RunPramvix(Words({"--threads", threads, "NoLogo", "-", "LOGO", "1", "20", "4", "2", "30", "8"}), Feed(broken));
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err, "pramvix: standard input: frame 17: expected a FRAME header\n");
    if (std::string(threads) == "1") {
      one = run;
      EXPECT_EQ(run.out.size(), input.find("FRAME") + 17 * frameBytes);
      continue;
    }
    EXPECT_TRUE(run.out == one.out);
    const CommandResult toFile = RunPramvix(
        Words({"--threads", threads, "-o", dir + "/out.y4m", "NoLogo", "-", "LOGO", "1", "20", "4", "2", "30", "8"}),
        Feed(broken));
    EXPECT_EQ(toFile.status, 1);
    EXPECT_EQ(ReadFile(dir + "/out.y4m"), "") << "no partial file";
  }
}

TEST_F(ThreadsCommand, RefuseACountItCannotUse) {
  for (const char* count : {"0", "-2", "257", "two", "1.5", ""}) {
    SCOPED_TRACE(count);
    const CommandResult run = RunPramvix(Words({"--threads", count, "NoLogo", "IN", "LOGO", "1", "20", "4", "2", "30", "8"}));
    EXPECT_EQ(run.status, 2);
    EXPECT_EQ(run.err, std::string("pramvix: --threads needs a number from 1 to 256, not '") + count + "'\n");
  }
}

}  // namespace
}  // namespace pramvix::testing
