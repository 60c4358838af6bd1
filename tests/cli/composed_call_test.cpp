// Composed calls end to end: the command against the same calls made through
// the local host, a pipe shared by two calls, and errors naming their call.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "cli/support/command_run.h"
#include "cli/support/logo_recording.h"
#include "local_environment.h"
#include "memory_clip.h"
#include "shared_clips.h"
#include "support/host_test.h"

namespace pramvix::testing {
namespace {

using local::Picture;
using R = LogoRecording;

const std::string kRegion = std::to_string(R::kX) + ", " + std::to_string(R::kY) + ", " +
                            std::to_string(R::kRegionWidth) + ", " + std::to_string(R::kRegionHeight);

class ComposedCall : public ::testing::Test {
 protected:
  void SetUp() override {
    dir = ScratchDirectory();
    recording = MakeLogoRecording(PresenceWithBreak(30, 10, 20));
    WriteFile(dir + "/in.y4m", Y4MOf(recording.frames));
    WriteFile(dir + "/logo.y4m", Y4MOf({recording.reference}));
  }
  std::string dir;
  LogoRecording recording;
};

TEST_F(ComposedCall, RemovalWhereTheLogoIsGivesTheLocalHostsBytes) {
  // The same calls through the local host, clips in memory.
  local::LocalEnvironment host;
  host.LoadPlugin(PRAMVIX_PLUGIN_PATH);
  const PClip in = local::MemoryClip::Of(recording.frames);
  const PClip logo = local::MemoryClip::Of({recording.reference});
  const PClip removed = host.Invoke("NoLogo", {in, logo, 0, 40, R::kX, R::kY, R::kRegionWidth, R::kRegionHeight})
                            .AsClip();
  const PClip gated = host.Invoke("IfNoLogo", {in, removed, logo, 0, 30, 100, R::kX, R::kY, R::kRegionWidth,
                                               R::kRegionHeight})
                          .AsClip();
  const std::vector<Picture> expected = FramesOf(gated, &host, 0, 29);
  // Removal happened where the logo is, and only there.
  EXPECT_NE(expected[0], recording.frames[0]);
  EXPECT_EQ(expected[15], recording.frames[15]);

  const std::string call = "IfNoLogo(%in, NoLogo(%in, " + dir + "/logo.y4m, 0, 40, " + kRegion + "), " + dir +
                           "/logo.y4m, 0, 30, 100, " + kRegion + ")";
  auto with = [&](const std::string& in) {
    std::string text = call;
    for (size_t at; (at = text.find("%in")) != std::string::npos;) text.replace(at, 3, in);
    return text;
  };
  // Standard input feeds both calls (here on three threads); a file named
  // twice is opened once.
  const CommandResult piped = RunPramvix({"-q", "--threads", "3", with("-")}, Feed(ReadFile(dir + "/in.y4m")));
  ASSERT_EQ(piped.status, 0) << piped.err;
  EXPECT_TRUE(piped.out == Y4MOf(expected));
  const CommandResult filed = RunPramvix({"-q", with(dir + "/in.y4m")});
  ASSERT_EQ(filed.status, 0) << filed.err;
  EXPECT_TRUE(filed.out == Y4MOf(expected));
  // A call as the first clip: the pipe behind it still ends the output (the
  // range, past the end, only keeps a fault from running on without end).
  const PClip twice = host.Invoke("NoLogo", {removed, logo, 0, 40, R::kX, R::kY, R::kRegionWidth,
                                             R::kRegionHeight})
                          .AsClip();
  const CommandResult nestedFirst =
      RunPramvix({"-q", "--frames", "0:40", "NoLogo(NoLogo(-, " + dir + "/logo.y4m, 0, 40, " + kRegion + "), " + dir +
                            "/logo.y4m, 0, 40, " + kRegion + ")"},
                 Feed(ReadFile(dir + "/in.y4m")));
  ASSERT_EQ(nestedFirst.status, 0) << nestedFirst.err;
  EXPECT_TRUE(nestedFirst.out == Y4MOf(FramesOf(twice, &host, 0, 29)));
}

TEST_F(ComposedCall, ErrorsNameTheCallAndTheArgument) {
  const std::string in = dir + "/in.y4m", logo = dir + "/logo.y4m";
  WriteFile(dir + "/small.y4m", Y4MOf({Picture::YUY2(20, 8)}));
  ExpectRefused({
      {{"IfNoLogo(" + in + ", NoLogo(" + in + ", " + logo + ", 0, x, " + kRegion + "), " + logo +
        ", 0, 30, 100, " + kRegion + ")"},
       2,
       "pramvix: NoLogo: argument 4 (threshold) must be an integer, not 'x'\n"
       "expected: NoLogo(clip, clip, int, int, int, int, int, int)\nsee: pramvix --help NoLogo\n"},
      {{"NoLogo(" + in + ", " + logo + ", NoLogo(" + in + ", " + logo + ", 0, 1, 1, 1, 1, 1), 1, 1, 1, 1, 1)"},
       2,
       "pramvix: NoLogo: argument 3 (logo_frame) must be an integer, not a call of NoLogo\n"},
      {{"IfNoLogo(" + in + ", Nothing(" + in + "), " + logo + ")"},
       2,
       "pramvix: there is no function named 'Nothing'; pramvix --list shows them\n"},
      {{"NoLogo(" + in + ", " + logo + ", 0, 1, 1, 1, 1", "extra"},
       2,
       "pramvix: a call written whole, as NoLogo(" + in + ", " + logo + ", 0, 1, 1, 1, 1, takes no further arguments\n"},
      {{"NoLogo(" + in + ", " + logo + ", 0, 1, 1, 1, 1"},
       2,
       "pramvix: expression, character " + std::to_string(41 + 2 * dir.size()) + ": the call of NoLogo is not closed\n"},
      {{"NoLogo(" + in + ", NoLogo(" + dir + "/none.y4m, " + logo + ", 0, 1, 1, 1, 1, 1), 0, 1, 1, 1, 1, 1)"},
       1,
       "pramvix: NoLogo: argument 1 (clip): " + dir + "/none.y4m: cannot open: No such file or directory\n"},
      // The filter's own error, word for word.
      {{"IfNoLogo(" + in + ", AddLogo(" + in + ", " + dir + "/small.y4m, 0, 20, 1, 1, 1, 1, 0), " + logo +
        ", 0, 30, 100, " + kRegion + ")"},
       1,
       "Logo_Blend: Incompatible clips\n"},
  });
}

TEST(SharedClips, OneFileOneClipWhateverPathNamesIt) {
  const std::string dir = ScratchDirectory();
  WriteFile(dir + "/a.y4m", Y4MOf(RandomPictures(8, 2, 2, 5)));
  WriteFile(dir + "/b.y4m", Y4MOf(RandomPictures(8, 2, 2, 5)));
  cli::SharedClips clips;
  const PClip a = clips.Open(dir + "/a.y4m");
  EXPECT_EQ(clips.Open(dir + "/./a.y4m").get(), a.get());
  EXPECT_NE(clips.Open(dir + "/b.y4m").get(), a.get());  // the same bytes, another file
}

}  // namespace
}  // namespace pramvix::testing
