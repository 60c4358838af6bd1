// Runs of the per-frame decision and the merging of short ones.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "scan/segments.h"

namespace pramvix::cli::scan {
namespace {

// "1" present, "0" absent, one letter a frame.
std::vector<FrameRecord> FramesOf(const std::string& pattern) {
  std::vector<FrameRecord> frames;
  for (char c : pattern) frames.push_back(FrameRecord{0, 0, c == '1'});
  return frames;
}

// The segments written back in the same letters, with '|' between them.
std::string Drawn(const std::vector<Segment>& segments) {
  std::string text;
  for (const Segment& s : segments) {
    if (!text.empty()) text += "|";
    text += std::string(static_cast<size_t>(s.Length()), s.present ? '1' : '0');
  }
  return text;
}

TEST(Segments, ShortRunsMergeIntoTheirNeighboursShortestFirst) {
  const struct {
    const char* frames;
    int minFrames;
    const char* merged;
  } cases[] = {
      {"", 3, ""},
      {"1", 3, "1"},
      {"1111", 3, "1111"},
      {"11", 3, "11"},                                   // one run is left whatever its length
      {"1110111", 3, "1111111"},                         // a flicker joins both sides
      {"0111111", 3, "1111111"},                         // at the start: takes its neighbour's state
      {"1111110", 3, "1111111"},
      {"111000111", 3, "111|000|111"},                   // nothing shorter than the minimum
      {"111000111", 4, "000000000"},                     // equal lengths: the earliest goes first
      {"1111011000000", 3, "1111111|000000"},            // the shortest first: 2 frames are joined, not merged
      {"110100000", 2, "1111|00000"},
      {"1111100111111", 3, "1111111111111"},             // a 2-frame gap closes
      {"1111100111111", 2, "11111|00|111111"},
      {"1010101010", 2, "0000000000"},                   // flicker everywhere ends in one segment
      {"1110000000111", 0, "111|0000000|111"},           // a minimum of 0 merges nothing
      {"1100010", 0, "11|000|1|0"},                      // the runs as decided
  };
  for (const auto& c : cases) {
    EXPECT_EQ(Drawn(MergeShort(RunsOf(FramesOf(c.frames)), c.minFrames)), c.merged)
        << c.frames << " at " << c.minFrames;
  }
}

TEST(Segments, MergedSegmentsCoverEveryFrameInOrderAndAlternate) {
  std::string pattern;
  for (int i = 0; i < 3000; ++i) pattern += ((i * 7919) % 13 < 6 + (i / 500) % 3) ? '1' : '0';
  const auto merged = MergeShort(RunsOf(FramesOf(pattern)), 5);
  ASSERT_FALSE(merged.empty());
  EXPECT_EQ(merged.front().first, 0);
  EXPECT_EQ(merged.back().last, 2999);
  for (size_t i = 1; i < merged.size(); ++i) {
    EXPECT_EQ(merged[i].first, merged[i - 1].last + 1);
    EXPECT_NE(merged[i].present, merged[i - 1].present);
  }
  ASSERT_GT(merged.size(), 1u);
  for (const Segment& s : merged) EXPECT_GE(s.Length(), 5);
}

TEST(Timeline, TimesAndFrameCounts) {
  Timeline ntsc;
  ntsc.fpsNumerator = 30000;
  ntsc.fpsDenominator = 1001;
  EXPECT_DOUBLE_EQ(ntsc.SecondsAt(30000), 1001.0);
  EXPECT_EQ(ntsc.FramesIn(1.0), 30);
  EXPECT_EQ(ntsc.FramesIn(0.0), 0);
  EXPECT_EQ(ntsc.FramesIn(-3), 0);
  EXPECT_EQ(ntsc.FramesIn(1e300), 2000000000);
  EXPECT_EQ(ClockTime(0), "0:00:00.000");
  EXPECT_EQ(ClockTime(3723.4567), "1:02:03.457");
  EXPECT_EQ(ClockTime(59.9996), "0:01:00.000");
  EXPECT_EQ(ClockTime(-1), "0:00:00.000");
}

}  // namespace
}  // namespace pramvix::cli::scan
