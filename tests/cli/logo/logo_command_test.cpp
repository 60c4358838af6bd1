// `pramvix logo` end to end, as a child process.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <string>
#include <tuple>
#include <vector>

#include "cli/support/command_run.h"
#include "logo/logo_command.h"
#include "logo_recording.h"
#include "png_io.h"
#include "y4m.h"

namespace pramvix::testing {
namespace {
using quality::RecordingPlan;
using quality::SyntheticRecording;

class LogoCommand : public ::testing::Test {
 protected:
  const std::string dir = ScratchDirectory();
};

TEST_F(LogoCommand, WritesThePictureTheReportAndThePreview) {
  RecordingPlan plan;
  plan.presence = 0.6;
  const SyntheticRecording recording(plan);
  WriteFile(dir + "/in.y4m", recording.Y4M());
  const CommandResult text = RunPramvix({"logo", dir + "/in.y4m", "-o", dir + "/logo.png", "--preview", dir + "/preview.png",
                                         "--y4m", dir + "/logo.y4m"});
  ASSERT_EQ(text.status, 0) << text.err;
  EXPECT_EQ(text.err, "");
  const local::Picture picture = cli::ReadPNGFile(dir + "/logo.png");
  EXPECT_EQ(picture.rowSize, 2 * plan.width);
  EXPECT_EQ(picture.height, plan.height);
  const cli::logo::Box truth = recording.TrueBox();
  EXPECT_GT(picture.Luma(truth.y + truth.height / 2, truth.x + 3), 100);  // on the ring
  EXPECT_EQ(picture.Luma(5, 5), 16);
  const std::string y4m = ReadFile(dir + "/logo.y4m");
  const auto frames = cli::DecodeY4M(reinterpret_cast<const uint8_t*>(y4m.data()), y4m.size());
  ASSERT_EQ(frames.size(), 1u);
  EXPECT_EQ(frames[0].Luma(truth.y + truth.height / 2, truth.x + 3), picture.Luma(truth.y + truth.height / 2, truth.x + 3));
  const local::Picture preview = cli::ReadPNGFile(dir + "/preview.png");
  EXPECT_EQ(preview.rowSize, 3 * 2 * plan.width);
  for (const char* line : {"frames: 300 sampled", "region: x ", "threshold: ", "NoLogo", "IfLogo: frame threshold",
                           "pramvix NoLogo ", "pramvix NoLogoColor ", "pramvix scan ", "AviSynth:", "preview: "}) {
    EXPECT_NE(text.out.find(line), std::string::npos) << line << " in\n" << text.out;
  }

  // The same from a pipe, as JSON, on part of the clip.
  const CommandResult json = RunPramvix({"logo", "-", "-o", dir + "/logo2.png", "--json", "--frames", "0:249"},
                                        Feed(recording.Y4M()));
  ASSERT_EQ(json.status, 0) << json.err;
  EXPECT_EQ(json.out.front(), '{');
  for (const char* field : {"\"frames_sampled\": 250", "\"region\": {\"x\": ", "\"threshold\": ", "\"nologom\": {\"level\": ",
                            "\"logo_luma_range\": [", "\"iflogo\": {\"frame_threshold\": ", "\"commands\": [\"pramvix NoLogo "}) {
    EXPECT_NE(json.out.find(field), std::string::npos) << field << " in\n" << json.out;
  }
}

// The whole number after `"name": ` in a JSON report, or -1.
int JsonNumber(const std::string& json, const std::string& name) {
  const std::string key = "\"" + name + "\": ";
  const size_t at = json.find(key);
  return at == std::string::npos ? -1 : std::atoi(json.c_str() + at + key.size());
}

// The README's way from an encoded recording: the decoder hands over its key
// frames only, and the logo is found from those.
TEST_F(LogoCommand, FindsTheLogoInTheKeyFramesOfAnEncodedRecording) {
  if (!HaveProgram("ffmpeg")) GTEST_SKIP() << "ffmpeg is not installed; the key-frame pipeline is not run";
  RecordingPlan plan;
  plan.presence = 0.6;
  const SyntheticRecording recording(plan);
  WriteFile(dir + "/in.y4m", recording.Y4M());
  const CommandResult encoded = RunProgram(
      "/usr/bin/env", {"ffmpeg", "-v", "error", "-nostdin", "-i", dir + "/in.y4m", "-c:v", "mpeg2video", "-g", "4", "-q:v", "2",
                       dir + "/in.ts"});
  ASSERT_EQ(encoded.status, 0) << encoded.err;
  const CommandResult run = RunProgram(
      "/bin/bash", {"-c", "set -o pipefail; ffmpeg -v error -nostdin -skip_frame nokey -i '" + dir +
                              "/in.ts' -fps_mode passthrough -pix_fmt yuv422p -f yuv4mpegpipe - | '" PRAMVIX_COMMAND_PATH
                              "' logo - -o '" + dir + "/logo.png' --json"});
  ASSERT_EQ(run.status, 0) << run.err;
  // A key frame in four, and one where a scene starts: far fewer than the 300.
  const int sampled = JsonNumber(run.out, "frames_sampled");
  EXPECT_GE(sampled, 300 / 4);
  EXPECT_LE(sampled, 300 / 2);
  const cli::logo::Box truth = recording.TrueBox();
  const cli::logo::Box found{JsonNumber(run.out, "x"), JsonNumber(run.out, "y"), JsonNumber(run.out, "width"),
                             JsonNumber(run.out, "height")};
  EXPECT_TRUE(found.Contains(truth)) << run.out;
  EXPECT_LE(found.Right() - truth.Right(), 8);
  EXPECT_LE(truth.x - found.x, 8);
}

TEST_F(LogoCommand, RefusesWithExitStatusOneAndSaysWhatToTry) {
  RecordingPlan plan;
  plan.corner = RecordingPlan::Corner::kNone;
  plan.frames = 60;
  WriteFile(dir + "/plain.y4m", SyntheticRecording(plan).Y4M());
  const CommandResult none = RunPramvix({"logo", dir + "/plain.y4m", "-o", dir + "/logo.png"});
  EXPECT_EQ(none.status, 1);
  EXPECT_NE(none.err.find("pramvix: no static logo found in 60 frames"), std::string::npos) << none.err;
  EXPECT_NE(none.err.find("--region"), std::string::npos) << none.err;
  EXPECT_FALSE(std::ifstream(dir + "/logo.png").good());  // no picture made of noise

  const CommandResult broken = RunPramvix({"logo", "-"}, Feed("YUV4MPEG2 W8 H8 C420\n"));
  EXPECT_EQ(broken.status, 1);
}

// ffmpeg decoding key frames only, without -fps_mode passthrough, repeats
// each until the next: the command says so, found or not (random pictures
// hold no logo, so here it refuses), but not when quiet, nor for a file,
// which is not read in order.
TEST_F(LogoCommand, SaysWhenMostFramesRepeatTheOneBefore) {
  const std::vector<local::Picture> distinct = RandomPictures(64, 32, 100, 5);
  std::vector<local::Picture> repeated;
  for (int k = 0; k < 20; ++k) repeated.insert(repeated.end(), 5, distinct[k]);
  WriteFile(dir + "/repeated.y4m", Y4MOf(repeated));
  const std::string note = "note: 80 of the 100 frames read repeat the frame before them. If ffmpeg decoded key frames only, add -fps_mode passthrough";
  const struct {
    std::vector<std::string> line;
    const std::vector<local::Picture>* piped;  // null: the file
    bool noted;
  } cases[] = {{{"logo", "-"}, &repeated, true},
               {{"logo", "-q", "-"}, &repeated, false},
               {{"logo", "-"}, &distinct, false},
               {{"logo", dir + "/repeated.y4m"}, nullptr, false}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.line[1] + (c.piped == &distinct ? " (distinct frames)" : ""));
    const CommandResult run = RunPramvix(c.line, c.piped ? Feed(Y4MOf(*c.piped)) : CommandInput{});
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.err.find("pramvix: no static logo found"), std::string::npos) << run.err;
    EXPECT_EQ(run.err.find("note:") != std::string::npos, c.noted) << run.err;
    if (c.noted) {
      EXPECT_EQ(run.err.find(note), 0u) << run.err;  // before the refusal
    }
  }
  // From 50 frames read, when more than half repeat.
  for (const auto& [read, repeats, noted] : {std::tuple{49, 49, false}, {50, 25, false}, {50, 26, true}, {3000, 2999, true}}) {
    EXPECT_EQ(cli::logo::RepeatedFramesNote(read, repeats).empty(), !noted) << read << ", " << repeats;
  }
}

TEST_F(LogoCommand, RejectsAWrongCommandLine) {
  const struct {
    std::vector<std::string> line;
    const char* says;
  } cases[] = {
      {{"logo"}, "pramvix: "}, {{"logo", "a.y4m", "b.y4m"}, "pramvix: "}, {{"logo", "a.y4m", "--region", "1,2,3"}, "pramvix: "},
      {{"logo", "a.y4m", "--region", "1,2,x,4"}, "pramvix: "}, {{"logo", "a.y4m", "--frames", "9:3"}, "pramvix: "},
      {{"logo", "a.y4m", "--samples", "1"}, "pramvix: "}, {{"logo", "a.y4m", "--bogus"}, "pramvix: "}, {{"logo", "a.y4m", "-o"}, "pramvix: "},
      // A PNG under a Y4M file's name: refused before the clip is opened.
      {{"logo", "a.y4m", "-o", "logo.Y4M"}, "add --y4m FILE"}, {{"logo", "a.y4m", "--preview", "p.y4m"}, "add --y4m FILE"}};
  for (const auto& c : cases) {
    const CommandResult result = RunPramvix(c.line);
    EXPECT_EQ(result.status, 2) << c.line.back();
    EXPECT_NE(result.err.find(c.says), std::string::npos) << result.err;
  }
  const CommandResult help = RunPramvix({"logo", "--help"});
  EXPECT_EQ(help.status, 0);
  EXPECT_NE(help.out.find("usage: pramvix logo"), std::string::npos);
}

}  // namespace
}  // namespace pramvix::testing
