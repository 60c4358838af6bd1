// A recording made by ffmpeg, run whole in a pipeline (ffmpeg | pramvix |
// ffmpeg), and cut into parts with --frames, each part run on its own and
// the parts joined with ffmpeg's concat demuxer: the frames of the whole run.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "cli/support/command_run.h"

namespace pramvix::testing {
namespace {

// ffmpeg with these arguments, found on the PATH.
CommandResult Ffmpeg(std::vector<std::string> args) {
  args.insert(args.begin(), {"ffmpeg", "-v", "error", "-nostdin"});
  return RunProgram("/usr/bin/env", args);
}

// The frames of a video file as raw 4:2:2 bytes, decoded by ffmpeg.
std::string Decoded(const std::string& input, const std::vector<std::string>& inputOptions = {}) {
  std::vector<std::string> args = inputOptions;
  args.insert(args.end(), {"-i", input, "-f", "rawvideo", "-pix_fmt", "yuv422p", "-"});
  const CommandResult run = Ffmpeg(args);
  EXPECT_EQ(run.status, 0) << run.err;
  return run.out;
}

TEST(SplitAndJoin, PartsJoinedByFfmpegAreTheWholeRun) {
  if (!HaveProgram("ffmpeg")) GTEST_SKIP() << "ffmpeg is not installed; the split-and-join test is not run";
  const std::string dir = ScratchDirectory();
  constexpr int kWidth = 64, kHeight = 16, kFrames = 30;
  ASSERT_EQ(Ffmpeg({"-f", "lavfi", "-i", "testsrc=size=64x16:rate=25", "-frames:v", "30", "-pix_fmt", "yuv422p",
                    "-f", "yuv4mpegpipe", dir + "/in.y4m"}).status, 0);
  WriteFile(dir + "/logo.y4m", Y4MOf(RandomPictures(kWidth, kHeight, 1, 22)));
  const std::vector<std::string> call = {"NoLogo", dir + "/in.y4m", dir + "/logo.y4m", "0", "20", "10", "2", "40", "12"};

  const CommandResult whole = RunProgram(
      "/bin/bash", {"-c", "set -o pipefail; ffmpeg -v error -i '" + dir + "/in.y4m' -f yuv4mpegpipe - | '" PRAMVIX_COMMAND_PATH
                          "' NoLogo - '" + dir + "/logo.y4m' 0 20 10 2 40 12 | ffmpeg -v error -i - -f rawvideo -pix_fmt yuv422p -"});
  ASSERT_EQ(whole.status, 0) << whole.err;
  const std::string& expected = whole.out;
  ASSERT_EQ(expected.size(), static_cast<size_t>(kFrames) * kWidth * kHeight * 2);
  ASSERT_FALSE(expected == Decoded(dir + "/in.y4m")) << "the call changed nothing: a weak comparison";

  // Parts of uneven length, one a single frame, the last open-ended, each on
  // a different number of threads.
  const std::vector<std::string> ranges = {"0:6", "7:7", "8:20", "21:"};
  struct Container {
    const char* extension;
    std::vector<std::string> encode;  // ffmpeg's output options; none: the command writes the part itself
  };
  for (const Container& container : {Container{"y4m", {}}, Container{"mkv", {"-c:v", "ffv1"}}}) {
    SCOPED_TRACE(container.extension);
    std::string list;
    for (size_t i = 0; i < ranges.size(); ++i) {
      const std::string part = dir + "/part-" + std::to_string(i) + "." + container.extension;
      const bool direct = container.encode.empty();
      std::vector<std::string> words = {"-q", "--threads", std::to_string(i % 3 + 1), "--frames", ranges[i],
                                        "-o", direct ? part : dir + "/part.y4m"};
      words.insert(words.end(), call.begin(), call.end());
      const CommandResult cut = RunPramvix(words);
      ASSERT_EQ(cut.status, 0) << cut.err;
      if (!direct) {
        std::vector<std::string> encode = {"-y", "-i", dir + "/part.y4m"};
        encode.insert(encode.end(), container.encode.begin(), container.encode.end());
        encode.push_back(part);
        const CommandResult encoded = Ffmpeg(encode);
        ASSERT_EQ(encoded.status, 0) << encoded.err;
      }
      list += "file '" + part + "'\n";
    }
    WriteFile(dir + "/parts.txt", list);
    const std::string joined = Decoded(dir + "/parts.txt", {"-f", "concat", "-safe", "0"});
    EXPECT_EQ(joined.size(), expected.size());
    EXPECT_TRUE(joined == expected);
  }
}

}  // namespace
}  // namespace pramvix::testing
