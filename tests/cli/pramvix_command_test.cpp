// The pramvix command end to end, as a child process.
#include <gtest/gtest.h>
#include <unistd.h>

#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "cli/support/command_run.h"
#include "function_help.h"
#include "local_environment.h"
#include "memory_clip.h"
#include "support/host_test.h"
#include "png_io.h"
#include "y4m.h"

namespace pramvix::testing {
namespace {

using local::Picture;

class PramvixCommand : public ::testing::Test {
 protected:
  PramvixCommand() { host.LoadPlugin(PRAMVIX_PLUGIN_PATH); }

  // Frames of `function` run through the local host directly.
  std::vector<Picture> Direct(const std::string& function, const std::vector<AVSValue>& args, int first, int last) {
    return FramesOf(host.Invoke(function, args).AsClip(), &host, first, last);
  }

  local::LocalEnvironment host;
  const std::string dir = ScratchDirectory();
};

// NoLogo(in, reference, logo frame, 30, 2, 3, 8, height) on 4:2:2 and 4:2:0
// streams from a pipe or a file, on one thread or three (which read a file's
// frames each by itself and pack frames ahead): the local host's frames, in
// the input's own format. A 4:2:0 stream comes out in 4:2:0, each chroma row
// the mean of the two it serves (region rows 3 and 4 share theirs with rows
// outside it); a region of no rows changes nothing, so what comes out is what
// went in. Parameters in frame headers change nothing. A PNG reference
// picture is converted as the command converts it.
TEST_F(PramvixCommand, GivesTheLocalHostsBytes) {
  const std::vector<Picture> logo = RandomPictures(34, 7, 2, 4);
  const std::vector<Picture> pictures = RandomPictures(34, 7, 6, 3);
  const std::string plain = Y4MOf(cli::ParseY4MHeader("YUV4MPEG2 W34 H7 F30000:1001 It C422"), pictures);
  WriteFile(dir + "/422.y4m", plain);
  WriteFile(dir + "/framed.y4m", WithFrameParameters(plain, " Ip XA=1", 34 * 7 * 2));
  WriteFile(dir + "/420.y4m", Random420Y4M(34, 7, 4, 8, "420mpeg2"));
  WriteFile(dir + "/logo.y4m", Y4MOf(logo));
  ASSERT_TRUE(cli::WriteYUY2AsPNG(logo[0], dir + "/logo.png"));
  struct Case {
    const char* input;
    bool pipe;
    const char* reference;
    int logoFrame, height, first, last;  // last -1: to the end
  };
  const Case cases[] = {{"420", true, "logo.y4m", 0, 0, 0, -1},    {"420", false, "logo.y4m", 0, 0, 0, -1},
                        {"420", true, "logo.y4m", 0, 2, 0, -1},    {"420", false, "logo.y4m", 1, 2, 1, -1},
                        {"422", true, "logo.y4m", 1, 4, 0, -1},    {"422", false, "logo.png", 0, 4, 2, 3},
                        {"422", true, "logo.y4m", 0, 0, 0, -1},    {"framed", false, "logo.y4m", 1, 4, 0, 4},
                        {"framed", true, "logo.y4m", 0, 3, 0, -1}};
  for (const Case& c : cases) {
    const std::string input = ReadFile(dir + "/" + c.input + ".y4m");
    const auto frames = cli::DecodeY4M(reinterpret_cast<const uint8_t*>(input.data()), input.size());
    const int last = c.last < 0 ? static_cast<int>(frames.size()) - 1 : c.last;
    const std::vector<Picture> reference =
        std::string(c.reference) == "logo.png" ? std::vector<Picture>{cli::ReadPNGFile(dir + "/logo.png")} : logo;
    const auto direct = Direct("NoLogo", {local::MemoryClip::Of(frames), local::MemoryClip::Of(reference), c.logoFrame,
                                          30, 2, 3, 8, c.height}, c.first, last);
    EXPECT_EQ(direct != std::vector<Picture>(frames.begin() + c.first, frames.begin() + last + 1), c.height > 0);
    for (const char* threads : {"1", "3"}) {
      SCOPED_TRACE(::testing::Message() << c.input << (c.pipe ? " pipe" : " file") << ", reference " << c.reference
                                        << ", region height " << c.height << ", frames " << c.first << ":" << c.last
                                        << ", " << threads << " threads");
      std::vector<std::string> words = {"--threads", threads, "NoLogo", c.pipe ? "-" : dir + "/" + c.input + ".y4m",
                                        dir + "/" + c.reference, std::to_string(c.logoFrame), "30", "2", "3", "8",
                                        std::to_string(c.height)};
      if (c.first > 0 || c.last >= 0) {
        words.insert(words.begin(), {"--frames", std::to_string(c.first) + ":" + (c.last < 0 ? "" : std::to_string(last))});
      }
      const CommandResult r = RunPramvix(words, Feed(input));
      ASSERT_EQ(r.status, 0) << r.err;
      EXPECT_EQ(r.err, "");
      EXPECT_TRUE(r.out == Y4MOf(cli::ParseY4MHeader(input.substr(0, input.find('\n'))), direct));
      EXPECT_EQ(r.out == input, c.height == 0);
    }
  }
  // -o writes the stream to a file, and --png N that frame as a picture.
  const CommandResult filed = RunPramvix({"-q", "NoLogo", dir + "/422.y4m", dir + "/logo.y4m", "0", "1", "0", "0",
                                          "0", "0", "-o", dir + "/out.y4m"});
  EXPECT_EQ(filed.status, 0) << filed.err;
  EXPECT_EQ(filed.outBytes, 0u);
  EXPECT_TRUE(ReadFile(dir + "/out.y4m") == plain);
  const CommandResult still = RunPramvix(
      {"--png", "4", "-o", dir + "/f4.png", "NoLogo", "-", dir + "/logo.png", "0", "30", "2", "3", "8", "4"},
      Feed(plain));
  ASSERT_EQ(still.status, 0) << still.err;
  const PClip fromPng = local::MemoryClip::Of({cli::ReadPNGFile(dir + "/logo.png")});
  ASSERT_TRUE(cli::WriteYUY2AsPNG(
      Direct("NoLogo", {local::MemoryClip::Of(pictures), fromPng, 0, 30, 2, 3, 8, 4}, 4, 4)[0], dir + "/expected4.png"));
  EXPECT_TRUE(ReadFile(dir + "/f4.png") == ReadFile(dir + "/expected4.png"));
}

TEST_F(PramvixCommand, NamesIgnoreCaseAndARegionWithoutLogoIsReported) {
  WriteFile(dir + "/in.y4m", Y4MOf(RandomPictures(16, 4, 2, 5)));
  WriteFile(dir + "/flat.y4m", Y4MOf({Picture::YUY2(16, 4, 16)}));
  const std::string in = dir + "/in.y4m", flat = dir + "/flat.y4m";
  const CommandResult exact = RunPramvix({"NoLogo", in, in, "0", "10", "2", "0", "8", "2"});
  ASSERT_EQ(exact.status, 0) << exact.err;
  EXPECT_EQ(exact.err, "");
  const CommandResult lower = RunPramvix({"nologo", in, in, "0", "10", "2", "0", "8", "2"});
  EXPECT_EQ(lower.status, 0);
  EXPECT_TRUE(lower.out == exact.out);
  const CommandResult noLogo = RunPramvix({"NoLogo", in, flat, "0", "10", "2", "0", "8", "2"});
  EXPECT_EQ(noLogo.status, 0);
  EXPECT_EQ(noLogo.err, "pramvix: warning: at threshold 10 the reference picture (" + flat +
                            ") shows no logo in the region; check the region and the threshold\n");
  // Thresholds of a mode of their own draw or clean every pixel: no warning.
  const CommandResult everyPixel = RunPramvix({"AddLogo", in, flat, "0", "-5", "2", "0", "8", "2", "0"});
  EXPECT_EQ(everyPixel.status, 0);
  EXPECT_EQ(everyPixel.err, "");
  const CommandResult version = RunPramvix({"--version"});
  EXPECT_EQ(version.status, 0);
  EXPECT_EQ(version.out.rfind("pramvix ", 0), 0u);
  EXPECT_NE(version.out.find_first_of("0123456789"), std::string::npos);
}

// Usage errors exit with 2, filter and file errors with 1: the filter's own
// text, exactly, then the call's numbers; no stream and no output file.
TEST_F(PramvixCommand, RefusalsExitWithTheirStatusAndText) {
  const std::string in = dir + "/in.y4m";
  WriteFile(in, Y4MOf(RandomPictures(16, 4, 2, 5)));
  auto noLogo = [&](const std::string& clip, std::vector<std::string> options = {}) {
    options.insert(options.end(), {"NoLogo", clip, in, "0", "10", "0", "0", "8", "2"});
    return options;
  };
  const std::string rightEdge = "You X position is too far right.\n";
  ExpectRefused({
      {{"NoLogo", "a.y4m", "b.png", "0"}, 2,
       "pramvix: NoLogo takes 8 arguments, 3 given\nexpected: NoLogo(clip, clip, int, int, int, int, int, int)\n"
       "see: pramvix --help NoLogo\n"},
      {{"NoSuchFilter", "a"}, 2, "pramvix: there is no function named 'NoSuchFilter'; pramvix --list shows them\n"},
      {{"NoLogoo", "a"}, 2,
       "pramvix: there is no function named 'NoLogoo'; did you mean NoLogo? pramvix --list shows them\n"},
      {{"--bogus"}, 2, "pramvix: unknown option --bogus\n"},
      {noLogo(in, {"--threads", "0"}), 2, "pramvix: --threads needs a number from 1 to 256, not '0'\n"},
      {{}, 2, "usage: pramvix", "", true},
      {{"-o", dir + "/out.y4m", "NoLogo", in, in, "0", "10", "12", "0", "8", "2"}, 1,
       rightEdge + "pramvix: NoLogo on 16x4 frames, region x 12, y 0, 8x2, reference picture 16x4 (frame 0 of " + in +
           ")\n"},
      {{"NoLogo", "-", in, "0", "10", "12", "0", "8", "2"}, 1, rightEdge, ReadFile(in), true},
      // A region whose end lies beyond the 32-bit range reaches the filter's check.
      {{"NoLogo", in, in, "0", "10", "2147483000", "2147483000", "2147483000", "2147483000"}, 1, rightEdge, "", true},
      {noLogo(dir + "/missing.y4m"), 1, "pramvix: " + dir + "/missing.y4m: cannot open: No such file or directory\n"},
      {noLogo("-"), 1, "pramvix: standard input: neither a Y4M stream nor a PNG picture\n", "GIF89a"},
      {noLogo(in, {"--png", "9"}), 1, "pramvix: the clip has no frame 9\n"},
      {{"--plugin", dir + "/none.so", "--list"}, 1, "pramvix: Cannot load plugin '" + dir + "/none.so'", "", true},
  });
  EXPECT_FALSE(std::ifstream(dir + "/out.y4m").good());
}

// A pipe whose frame 17 has no FRAME line, on three threads: the local host's
// frames 0 to 16 come out, then the error; with -o nothing is left behind.
TEST_F(PramvixCommand, AFrameThatCannotBeReadEndsTheOutput) {
  const std::vector<Picture> pictures = RandomPictures(16, 4, 20, 5);
  std::string broken = Y4MOf(pictures);
  broken.replace(broken.find("FRAME") + 17 * (6 + 16 * 4 * 2), 5, "FRAMX");
  WriteFile(dir + "/logo.y4m", Y4MOf({pictures[19]}));
  const PClip before = local::MemoryClip::Of(std::vector<Picture>(pictures.begin(), pictures.begin() + 17));
  const auto expected = Direct("NoLogo", {before, local::MemoryClip::Of({pictures[19]}), 0, 20, 2, 0, 8, 2}, 0, 16);
  for (const bool toFile : {false, true}) {
    std::vector<std::string> words = {"--threads", "3", "NoLogo", "-", dir + "/logo.y4m", "0", "20", "2", "0", "8", "2"};
    if (toFile) words.insert(words.begin(), {"-o", dir + "/out.y4m"});
    const CommandResult run = RunPramvix(words, Feed(broken));
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err, "pramvix: standard input: frame 17: expected a FRAME header\n");
    EXPECT_TRUE(run.out == (toFile ? "" : Y4MOf(expected)));
  }
  EXPECT_EQ(ReadFile(dir + "/out.y4m"), "") << "no partial file";
}

TEST_F(PramvixCommand, ListsAndExplainsTheRegisteredFunctions) {
  std::string expected;
  for (const auto& function : host.Functions()) expected += cli::Signature(function.name, function.params) + "\n";
  CommandResult r = RunPramvix({"--list"});
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.out, expected);
  r = RunPramvix({"--help", "NoLogo"});
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.out.rfind("NoLogo(clip, clip, int, int, int, int, int, int)\n", 0), 0u);
  EXPECT_NE(r.out.find("  logo_frame  int    frame number of the reference picture"), std::string::npos);
  // The library is found through the environment as well.
  CommandInput input;
  input.environment = {"PRAMVIX_PLUGIN=" + dir + "/elsewhere.so"};
  r = RunPramvix({"--list"}, input);
  EXPECT_EQ(r.status, 1);
}

// Some 200 MB through a pipe while the process stays small: frames are read
// as they are needed and dropped soon after.
TEST_F(PramvixCommand, LongPipeRunsInBoundedMemory) {
  constexpr int kWidth = 720, kHeight = 576, kFrames = 240;
  const std::string header = "YUV4MPEG2 W720 H576 F25:1 Ip C422\n";
  const std::string frame = "FRAME\n" + std::string(static_cast<size_t>(kWidth) * kHeight * 2, '\x50');
  auto sent = std::make_shared<int>(-1);
  CommandInput input;
  input.next = [=]() -> std::string {
    const int n = (*sent)++;
    return n < 0 ? header : (n < kFrames ? frame : std::string());
  };
  input.keepOutput = false;
  input.environment = {"ASAN_OPTIONS=quarantine_size_mb=4"};
#if defined(__SANITIZE_ADDRESS__)
  constexpr long kLimitKilobytes = 64 * 1024;  // the sanitizer's shadow memory and redzones on top
#else
  constexpr long kLimitKilobytes = 40 * 1024;
#endif
  // Standard input named twice is one clip: its frame 0 stays held as the
  // reference picture while the pipe runs on; composed calls share it too.
  const std::vector<std::vector<std::string>> calls = {
      {"NoLogo", "-", "-", "0", "20", "600", "20", "80", "50"},
      {"IfNoLogo(-, NoLogo(-, -, 0, 20, 600, 20, 80, 50), -, 0, 20, 40, 600, 20, 80, 50)"}};
  for (const auto& call : calls) {
    SCOPED_TRACE(call.size() > 1 ? call[0] + " " + call[1] + " " + call[2] : call[0]);
    *sent = -1;
    // Two threads, each with a few frames of its own, whatever the machine's cores.
    std::vector<std::string> words = {"--threads", "2"};
    words.insert(words.end(), call.begin(), call.end());
    const CommandResult run = RunPramvix(words, input);
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.outBytes, header.size() + kFrames * frame.size());
    EXPECT_GT(run.peakKilobytes, 1024);  // sampled while it ran
    EXPECT_LT(run.peakKilobytes, kLimitKilobytes) << "the whole input is " << kFrames * frame.size() / 1024 << " kB";
  }
}

}  // namespace
}  // namespace pramvix::testing
