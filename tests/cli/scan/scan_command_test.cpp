// `pramvix scan` end to end, on generated recordings whose logo comes and goes.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <utility>
#include <vector>

#include "cli/support/command_run.h"
#include "cli/support/logo_recording.h"
#include "png_io.h"

namespace pramvix::testing {
namespace {

using R = LogoRecording;

// IfNoLogo's starting thresholds: logo edges of 100 or more, frame steps of 30.
std::vector<std::string> ScanArgs(const std::string& clip, const std::string& logo,
                                  const std::vector<std::string>& options = {}, const std::string& frameThreshold = "30",
                                  int x = R::kX) {
  std::vector<std::string> args = {"scan", "-q"};
  args.insert(args.end(), options.begin(), options.end());
  args.insert(args.end(), {clip, logo, "0", frameThreshold, "100"});
  for (int v : {x, R::kY, R::kRegionWidth, R::kRegionHeight}) args.push_back(std::to_string(v));
  return args;
}

struct Found {
  bool present;
  int first, last;
};

// The segments of the JSON report, read back with nothing but string search.
std::vector<Found> SegmentsOf(const std::string& json) {
  std::vector<Found> found;
  for (size_t at = json.find("{\"logo\": "); at != std::string::npos; at = json.find("{\"logo\": ", at + 1)) {
    Found f{};
    f.present = json.compare(at + 9, 4, "true") == 0;
    f.first = std::atoi(json.c_str() + json.find("\"first_frame\": ", at) + 15);
    f.last = std::atoi(json.c_str() + json.find("\"last_frame\": ", at) + 14);
    found.push_back(f);
  }
  return found;
}

class ScanCommand : public ::testing::Test {
 protected:
  void WriteRecording(const std::vector<bool>& present) {
    const LogoRecording recording = MakeLogoRecording(present);
    WriteFile(dir + "/rec.y4m", Y4MOf(recording.frames));
    WriteFile(dir + "/logo.y4m", Y4MOf({recording.reference}));
  }
  const std::string dir = ScratchDirectory();
};

// The segments within two frames of the schedule; every frame's own decision
// in the CSV, the flicker included (only segments merge).
TEST_F(ScanCommand, SegmentsMatchTheScheduleWithinTwoFrames) {
  struct Case {
    const char* what;
    int count, from, to;        // the logo leaves for frames [from, to)
    std::vector<int> flicker;   // single frames without the logo, to be merged away
    std::vector<std::string> options;
    std::vector<Found> truth;
  };
  const std::vector<Case> cases = {
      {"break in the middle", 100, 40, 70, {20, 85}, {}, {{true, 0, 39}, {false, 40, 69}, {true, 70, 99}}},
      {"starts with the break", 90, 0, 30, {60}, {}, {{false, 0, 29}, {true, 30, 89}}},
      {"ends with the break", 90, 50, 90, {}, {}, {{true, 0, 49}, {false, 50, 89}}},
      {"IfLogo's rule", 100, 40, 70, {}, {"--rule", "IfLogo"}, {{true, 0, 39}, {false, 40, 69}, {true, 70, 99}}},
      // A shorter minimum keeps a 10-frame gap that the default would merge.
      {"short break kept", 80, 30, 40, {}, {"--min-length", "0.2"}, {{true, 0, 29}, {false, 30, 39}, {true, 40, 79}}},
      {"short break merged", 80, 30, 40, {}, {}, {{true, 0, 79}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    std::vector<bool> present = PresenceWithBreak(c.count, c.from, c.to);
    for (int n : c.flicker) present[static_cast<size_t>(n)] = !present[static_cast<size_t>(n)];
    WriteRecording(present);
    std::vector<std::string> options = c.options;
    options.insert(options.end(), {"--json", "--csv", dir + "/t.csv"});
    const CommandResult result = RunPramvix(ScanArgs(dir + "/rec.y4m", dir + "/logo.y4m", options));
    ASSERT_EQ(result.status, 0) << result.err;
    const std::string csv = ReadFile(dir + "/t.csv");
    std::string decisions = "t", lastCharacters;  // the header's, then each frame's
    for (const bool p : present) decisions += p ? '1' : '0';
    for (size_t at = csv.find('\n'); at != std::string::npos; at = csv.find('\n', at + 1)) lastCharacters += csv[at - 1];
    EXPECT_EQ(lastCharacters, decisions);
    const std::vector<Found> found = SegmentsOf(result.out);
    ASSERT_EQ(found.size(), c.truth.size()) << result.out;
    for (size_t i = 0; i < found.size(); ++i) {
      EXPECT_EQ(found[i].present, c.truth[i].present) << i;
      EXPECT_NEAR(found[i].first, c.truth[i].first, 2) << i;
      EXPECT_NEAR(found[i].last, c.truth[i].last, 2) << i;
    }
  }
}

// The text report on standard output beside the files asked for.
TEST_F(ScanCommand, WritesTheSegmentsAsTextAndTheFramesAsCsvAndAPlot) {
  WriteRecording(PresenceWithBreak(60, 30, 60));
  const CommandResult run = RunPramvix(
      ScanArgs(dir + "/rec.y4m", dir + "/logo.y4m", {"--csv", dir + "/t.csv", "--plot", dir + "/t.png"}));
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.out,
            "logo     0:00:00.000 - 0:00:01.200  frames 0-29  (1.200 s)\n"
            "no logo  0:00:01.200 - 0:00:02.400  frames 30-59  (1.200 s)\n");
  const local::Picture plot = cli::ReadPNGFile(dir + "/t.png");
  EXPECT_EQ(std::make_pair(plot.rowSize, plot.height), std::make_pair(2 * 1600, 360));
  const std::string csv = ReadFile(dir + "/t.csv");
  EXPECT_EQ(csv.compare(0, 31, "frame,time,hits,misses,present\n"), 0);
  EXPECT_NE(csv.find("\n30,1.200,"), std::string::npos);  // time at 25 frames a second
}

TEST_F(ScanCommand, FFmpegReadsTheChaptersAndCutsByTheCutList) {
  if (!HaveProgram("ffmpeg")) GTEST_SKIP() << "ffmpeg is not installed";
  WriteRecording(PresenceWithBreak(100, 40, 70));
  const CommandResult result = RunPramvix(
      ScanArgs(dir + "/rec.y4m", dir + "/logo.y4m", {"--chapters", dir + "/ch.txt", "--cut-list", dir + "/cut.txt"}));
  ASSERT_EQ(result.status, 0) << result.err;

  // The chapters, put into a container and read back.
  const std::string chapters = "ffmpeg -v error -y -i '" + dir + "/rec.y4m' -i '" + dir +
                               "/ch.txt' -map_metadata 1 -map 0 -c:v ffv1 '" + dir + "/with.mkv' && ffprobe -v error " +
                               "-show_chapters -of csv=p=0 '" + dir + "/with.mkv' > '" + dir + "/probe.txt'";
  ASSERT_EQ(std::system(chapters.c_str()), 0);
  const std::string probe = ReadFile(dir + "/probe.txt");
  EXPECT_NE(probe.find("1.600000,2800000000,2.800000,No logo 1"), std::string::npos) << probe;
  EXPECT_NE(probe.find("2.800000,4000000000,4.000000,Logo 2"), std::string::npos) << probe;

  // The cut list keeps exactly the frames with the logo: 40 + 30.
  const std::string cut = "ffmpeg -v error -y -i '" + dir + "/rec.y4m' -vf \"select='$(cat '" + dir +
                          "/cut.txt')',setpts=N/FRAME_RATE/TB\" -f yuv4mpegpipe '" + dir + "/cut.y4m'";
  ASSERT_EQ(std::system(cut.c_str()), 0);
  const std::string kept = ReadFile(dir + "/cut.y4m");
  int frames = 0;
  for (size_t at = kept.find("FRAME"); at != std::string::npos; at = kept.find("FRAME", at + 1)) ++frames;
  EXPECT_EQ(frames, 70);
  const std::string recording = ReadFile(dir + "/rec.y4m");
  // Frame 70 of the recording follows frame 39 in the cut.
  const size_t frameBytes = static_cast<size_t>(R::kWidth) * R::kHeight * 2;
  const size_t header = recording.find('\n') + 1;
  const size_t cutHeader = kept.find('\n') + 1;
  ASSERT_GE(kept.size(), cutHeader + 41 * (frameBytes + 6));
  EXPECT_EQ(kept.substr(cutHeader + 40 * (frameBytes + 6) + 6, frameBytes),
            recording.substr(header + 70 * (frameBytes + 6) + 6, frameBytes));
}

TEST_F(ScanCommand, WrongCallsAreRefusedWithTheirReason) {
  WriteRecording(PresenceWithBreak(10, 0, 0));
  WriteFile(dir + "/small.y4m", Y4MOf({local::Picture::YUY2(20, 8)}));
  ExpectRefused({
      {ScanArgs(dir + "/rec.y4m", dir + "/logo.y4m", {}, "0"), 2,
       "pramvix: scan: IfNoLogo's test never finds the logo with a frame threshold of 0 or less; give one above 0\n"},
      {ScanArgs(dir + "/rec.y4m", dir + "/logo.y4m", {}, "x"), 2,
       "pramvix: scan: argument 4 (frame_threshold) must be an integer, not 'x'\n"},
      {ScanArgs(dir + "/rec.y4m", dir + "/logo.y4m", {"--rule", "Other"}), 2,
       "pramvix: --rule is IfNoLogo or IfLogo, not 'Other'\n"},
      {ScanArgs(dir + "/rec.y4m", dir + "/logo.y4m", {"--min-length", "-1"}), 2,
       "pramvix: --min-length needs a number of seconds from 0 to 1000000, not '-1'\n"},
      {ScanArgs(dir + "/rec.y4m", dir + "/small.y4m"), 1, "If Luma Logo test: Incompatible clips\n"},
      {ScanArgs(dir + "/rec.y4m", dir + "/logo.y4m", {"--csv", dir + "/no/such/dir.csv"}), 1,
       "pramvix: " + dir + "/no/such/dir.csv: cannot open for writing\n"},
      // The filters' own frame checks, each with its text: the region ends past the row.
      {ScanArgs(dir + "/rec.y4m", dir + "/logo.y4m", {}, "30", 80), 1, "Your X position is too far right.\n"},
      {ScanArgs(dir + "/rec.y4m", dir + "/logo.y4m", {"--rule", "IfLogo"}, "30", 80), 1,
       "You X position is too far right.\n"},
  });
}

// Every frame's totals and the segments are the same from a pipe or a file,
// on one thread or several; the clip named twice (its frame 0 the reference
// picture) stays one clip.
TEST_F(ScanCommand, ThreadsAndPipesGiveTheTimelineOfOneThreadOnAFile) {
  WriteRecording(PresenceWithBreak(90, 30, 61));
  std::string ownReference;
  for (const bool namedTwice : {false, true}) {
    std::string one;  // the CSV and the report of one thread on the file
    for (const auto& [pipe, threads] : {std::pair{false, "1"}, {true, "1"}, {false, "5"}, {true, "2"}}) {
      SCOPED_TRACE(std::string(pipe ? "pipe" : "file") + (namedTwice ? " named twice, " : ", ") + threads + " threads");
      const std::string clip = pipe ? "-" : dir + "/rec.y4m";
      const CommandResult run = RunPramvix(
          ScanArgs(clip, namedTwice ? clip : dir + "/logo.y4m", {"--threads", threads, "--json", "--csv", dir + "/f.csv"}),
          pipe ? Feed(ReadFile(dir + "/rec.y4m")) : CommandInput{});
      ASSERT_EQ(run.status, 0) << run.err;
      if (one.empty()) {
        EXPECT_GE(SegmentsOf(run.out).size(), 2u) << "a timeline with a break: " << run.out;
        one = ReadFile(dir + "/f.csv") + run.out;
        EXPECT_NE(one, ownReference) << "the recording's frame 0 is the reference";
      }
      EXPECT_EQ(ReadFile(dir + "/f.csv") + run.out, one);
    }
    ownReference = one;
  }
}

}  // namespace
}  // namespace pramvix::testing
