// The scan's outputs, from a timeline made by hand.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "scan/exports.h"
#include "scan/plot.h"

namespace pramvix::cli::scan {
namespace {

Timeline Ntsc(int frames) {
  Timeline timeline;
  timeline.fpsNumerator = 30000;
  timeline.fpsDenominator = 1001;
  for (int n = 0; n < frames; ++n) timeline.frames.push_back(FrameRecord{n, 2 * n, n % 2 == 0});
  return timeline;
}

const std::vector<Segment> kSegments = {{false, 0, 29}, {true, 30, 89}, {false, 90, 99}, {true, 100, 119}};

TEST(Exports, TextAndJsonGiveTimesAndFrames) {
  const Timeline timeline = Ntsc(120);
  EXPECT_EQ(SegmentsText(timeline, {kSegments[0], kSegments[1]}),
            "no logo  0:00:00.000 - 0:00:01.001  frames 0-29  (1.001 s)\n"
            "logo     0:00:01.001 - 0:00:03.003  frames 30-89  (2.002 s)\n");
  const std::string json = SegmentsJson(timeline, {kSegments[1]}, ScanFacts{"IfLogo", 0.5});
  EXPECT_EQ(json,
            "{\n  \"rule\": \"IfLogo\",\n  \"fps\": {\"numerator\": 30000, \"denominator\": 1001},\n"
            "  \"frames\": 120,\n  \"min_length\": 0.500,\n  \"segments\": [\n"
            "    {\"logo\": true, \"first_frame\": 30, \"last_frame\": 89, \"start\": 1.001, \"end\": 3.003, "
            "\"start_time\": \"0:00:01.001\", \"end_time\": \"0:00:03.003\"}\n  ]\n}\n");
  EXPECT_NE(SegmentsJson(timeline, {}, ScanFacts{"IfNoLogo", 1}).find("\"segments\": []\n}"), std::string::npos);
}

TEST(Exports, CsvHasOneLinePerFrame) {
  const std::string csv = CsvOf(Ntsc(3));
  EXPECT_EQ(csv, "frame,time,hits,misses,present\n0,0.000,0,0,1\n1,0.033,1,2,0\n2,0.067,2,4,1\n");
}

TEST(Exports, ChaptersUseTheClipsTimeBaseAndNumberEachKind) {
  EXPECT_EQ(ChaptersOf(Ntsc(120), {kSegments[0], kSegments[1], kSegments[2]}),
            ";FFMETADATA1\n"
            "\n[CHAPTER]\nTIMEBASE=1001/30000\nSTART=0\nEND=30\ntitle=No logo 1\n"
            "\n[CHAPTER]\nTIMEBASE=1001/30000\nSTART=30\nEND=90\ntitle=Logo 1\n"
            "\n[CHAPTER]\nTIMEBASE=1001/30000\nSTART=90\nEND=100\ntitle=No logo 2\n");
}

TEST(Exports, CutListBoundsLieHalfwayBetweenFrames) {
  Timeline pal = Ntsc(0);
  pal.fpsNumerator = 25;
  pal.fpsDenominator = 1;
  EXPECT_EQ(CutListOf(pal, kSegments), "between(t,1.180000,3.580000)+between(t,3.980000,4.780000)\n");
  // A segment from frame 0 starts at 0, not half a frame before it.
  EXPECT_EQ(CutListOf(pal, {{true, 0, 4}}), "between(t,0.000000,0.180000)\n");
  EXPECT_EQ(CutListOf(pal, {{false, 0, 4}}), "0\n");
}

TEST(Plot, ShadesSegmentsAndDrawsEachFramesShare) {
  Timeline timeline = Ntsc(0);
  // 400 frames: hits on all edges for the first half, none after.
  for (int n = 0; n < 400; ++n) timeline.frames.push_back(FrameRecord{n < 200 ? 50 : 0, n < 200 ? 0 : 50, n < 200});
  const RGBImage image = Plot(timeline, {{true, 0, 199}, {false, 200, 399}}, 400, 200);
  ASSERT_EQ(image.width, 400);
  ASSERT_EQ(image.height, 200);
  ASSERT_EQ(image.rgb.size(), 400u * 200u * 3u);
  const PlotArea area = AreaOf(400, 200);
  auto pixel = [&](int x, int y) {
    const uint8_t* p = &image.rgb[(static_cast<size_t>(y) * image.width + x) * 3];
    return std::vector<int>{p[0], p[1], p[2]};
  };
  auto colour = [](const uint8_t* c) { return std::vector<int>{c[0], c[1], c[2]}; };
  const int mid = (area.top + area.bottom) / 2 + 3;
  const int early = area.left + 10, late = area.right - 10;
  EXPECT_EQ(pixel(early, mid), colour(PlotColours::kPresent));
  EXPECT_EQ(pixel(late, mid), colour(PlotColours::kAbsent));
  EXPECT_EQ(pixel(early, area.top), colour(PlotColours::kMean));   // share 1 at the top
  EXPECT_EQ(pixel(late, area.bottom), colour(PlotColours::kMean));  // share 0 at the bottom
  // Sizes below the least are raised; an empty timeline draws axes only.
  const RGBImage tiny = Plot(Ntsc(0), {}, 1, 1);
  EXPECT_EQ(tiny.width, 200);
  EXPECT_EQ(tiny.height, 120);
}

}  // namespace
}  // namespace pramvix::cli::scan
