// How the analysis reads: the thread that reads ahead, the search's cells,
// and a logo that shows only late in a file, fitted in the one reading.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <numeric>
#include <random>
#include <string>
#include <vector>

#include "cli/support/command_run.h"
#include "cli/support/error_text.h"
#include "logo/analysis.h"
#include "logo/read_ahead.h"
#include "logo/region_search.h"
#include "logo_recording.h"

namespace pramvix::testing {
namespace {
using cli::logo::FrameSampler;
using cli::logo::FrameView;
using cli::logo::ReadAhead;
using quality::RecordingPlan;
using quality::SyntheticRecording;

std::unique_ptr<cli::Y4MReader> Reader(const std::string& bytes, bool seekable) {
  return std::make_unique<cli::Y4MReader>(
      cli::MemorySource(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size(), seekable), "clip");
}

std::string SmallClip(int frames) {
  RecordingPlan plan;
  plan.width = 16, plan.height = 8, plan.frames = frames, plan.corner = RecordingPlan::Corner::kNone;
  return SyntheticRecording(plan).Y4M();
}

// The sum of a 16x8 frame's luma, taken in bands of 3 rows, as a stand-in
// for work done on the reading thread.
std::vector<uint8_t> SumOf(const cli::logo::LumaRows& luma) {
  uint32_t sum = 0;
  for (int top = 0; top < 8; top += 3) {
    const uint8_t* band = luma(top, std::min(3, 8 - top));
    sum = std::accumulate(band, band + 16 * std::min(3, 8 - top), sum);
  }
  return {static_cast<uint8_t>(sum), static_cast<uint8_t>(sum >> 8), static_cast<uint8_t>(sum >> 16)};
}
std::vector<uint8_t> SumOf(const FrameView& frame) {
  return SumOf([&](int top, int) { return frame.y + static_cast<size_t>(top) * frame.width; });
}

// The frames a sampler hands out, and the same through the reading thread at
// any depth, each with what that thread prepared from it.
TEST(FrameSampling, SpreadsAKnownLengthAndCapsAPipeAlsoWhenReadAhead) {
  const std::string bytes = SmallClip(100);
  struct Case {
    bool seekable;
    cli::logo::SampleRule rule;
    std::vector<int> frames;  // sorted
    std::vector<int> start;   // the first ones handed out, in order
    int depth;                // of the reading ahead
  };
  auto every = [](int first, int last, int step) {
    std::vector<int> frames;
    for (int n = first; n <= last; n += step) frames.push_back(n);
    return frames;
  };
  const Case cases[] = {
      // A file: every 4th frame, in passes of every 8th taken frame (32
      // apart), then the ones halfway (16 on), then a quarter of the way.
      {true, {0, -1, 30}, every(0, 96, 4), {0, 32, 64, 96, 16, 48, 80, 8, 40, 72, 24}, 1},
      {false, {0, 49, 10}, every(0, 45, 5), every(0, 45, 5), 4},  // --frames 0:49 on a pipe: every 5th, in order
      {true, {10, 19, 100}, every(10, 19, 1), {10, 18, 14, 12, 16, 11, 19, 15, 13, 17}, 2},  // all of a short range
      {true, {95, -1, 100}, every(95, 99, 1), {95, 99, 97, 96, 98}, 2},                      // fewer than a pass
      {false, {0, -1, 32}, {0, 1, 3, 5, 9, 13, 21, 29, 45, 61, 93}, {0, 1, 3, 5, 9}, 2},  // a pipe to its end, in levels
      {true, {120, -1, 10}, {}, {}, 2},                                                    // beyond the end: none
  };
  // Every frame by a plain read, to check that the frame handed out is that
  // of the number given.
  std::vector<std::vector<uint8_t>> all;
  auto plain = Reader(bytes, false);
  for (std::vector<uint8_t> planar(plain->Format().FrameBytes()); plain->ReadFrame(planar.data());) all.push_back(planar);
  ASSERT_EQ(all.size(), 100u);
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::Message() << (c.seekable ? "file" : "pipe") << ", frames " << c.rule.first << ":"
                                      << c.rule.last << ", cap " << c.rule.cap);
    FrameSampler sampler(Reader(bytes, c.seekable), c.rule);
    EXPECT_EQ(sampler.ByParts(), c.seekable);
    std::vector<int> order;
    std::vector<uint8_t> parts(all[0].size());
    while (sampler.Next()) {
      order.push_back(sampler.Number());
      EXPECT_EQ(sampler.Taken(), static_cast<int>(order.size()));
      const std::vector<uint8_t>& truth = all[static_cast<size_t>(sampler.Number())];
      const uint8_t* frame = sampler.Frame().y;
      if (sampler.ByParts()) {  // a file's frame is read as asked
        sampler.ReadRows(sampler.Number(), 5, 8, parts.data());
        sampler.ReadRows(sampler.Number(), 0, 5, parts.data());
        frame = parts.data();
      }
      EXPECT_TRUE(std::equal(truth.begin(), truth.end(), frame)) << "frame " << sampler.Number();
    }
    EXPECT_EQ(sampler.Interleaved(), c.seekable);
    ASSERT_GE(order.size(), c.start.size());
    EXPECT_EQ(std::vector<int>(order.begin(), order.begin() + c.start.size()), c.start);
    FrameSampler again(Reader(bytes, c.seekable), c.rule);
    ReadAhead ahead(again, [](const cli::logo::LumaRows& luma, std::vector<uint8_t>& out) { out = SumOf(luma); }, c.depth);
    ahead.Expect(1, 4);  // a file's frames prepared from now on come with rows 1-3
    for (size_t i = 0; ahead.Next(); ++i) {
      ASSERT_LT(i, order.size());
      EXPECT_EQ(ahead.Number(), order[i]);
      EXPECT_EQ(ahead.Taken(), static_cast<int>(i + 1));
      const std::vector<uint8_t>& truth = all[order[i]];
      EXPECT_EQ(ahead.Prepared(), SumOf(FrameView::OfPlanar(truth.data(), 16, 8)));
      // Rows 6-7 (apart from those expected), 2-4, then 3-7 (the rows read
      // grow), then all: a pipe's frames come whole.
      ahead.ReadRows(6, 8);
      ahead.ReadRows(2, 5);
      ahead.ReadRows(3, 8);
      for (const size_t plane : {0, 1, 2}) {
        const size_t rowSize = plane ? 8 : 16, at = plane ? 16 * 8 + (plane - 1) * 8 * 8 : 0;
        EXPECT_TRUE(std::equal(truth.begin() + at + 2 * rowSize, truth.begin() + at + 8 * rowSize, ahead.Frame().y + at + 2 * rowSize))
            << "frame " << order[i] << ", rows 2-7 of plane " << plane;
      }
      ahead.ReadRows(-3, 30);
      EXPECT_TRUE(std::equal(truth.begin(), truth.end(), ahead.Frame().y)) << "frame " << order[i] << ", all";
    }
    EXPECT_EQ(ahead.Taken(), static_cast<int>(order.size()));  // stays after the end
    EXPECT_FALSE(ahead.Next());
    std::sort(order.begin(), order.end());
    EXPECT_EQ(order, c.frames);
  }
  // The level schedule stays below the cap however long the stream.
  int taken = 0;
  long long frame = 0;
  while (frame < 8000000LL) frame += cli::logo::LevelStride(taken++, 2000);
  EXPECT_LE(taken, 2000);
}

// Frames that repeat the one before are counted where frames are read in
// order (a pipe), not where a file is read by seeking or by parts.
TEST(FrameSampling, CountsRepeatedFramesOnlyWhenReadInOrder) {
  const std::vector<local::Picture> distinct = RandomPictures(64, 32, 20, 3);
  std::vector<local::Picture> repeated;
  for (const local::Picture& picture : distinct) repeated.insert(repeated.end(), 5, picture);
  const std::string bytes = Y4MOf(repeated);
  const struct {
    bool seekable, byParts;
    int read, repeats;
  } cases[] = {{false, true, 100, 80}, {true, false, 0, 0}, {true, true, 0, 0}};
  for (const auto& c : cases) {
    cli::logo::SampleRule rule;
    rule.byParts = c.byParts;
    FrameSampler sampler(Reader(bytes, c.seekable), rule);
    int taken = 0;
    while (sampler.Next()) ++taken;
    EXPECT_GT(taken, 0);
    EXPECT_EQ(sampler.ReadInOrder(), c.read) << c.seekable << c.byParts;
    EXPECT_EQ(sampler.Repeats(), c.repeats) << c.seekable << c.byParts;
  }
}

TEST(LogoReadAhead, ThrowsAReadErrorAfterTheFramesBeforeIt) {
  std::string bytes = SmallClip(10);
  bytes.resize(bytes.size() - 5);  // the last frame is cut short
  FrameSampler sampler(Reader(bytes, false), {});
  ReadAhead ahead(sampler);
  int frames = 0;
  const std::string error = ErrorText([&] {
    while (ahead.Next()) ++frames;
  });
  EXPECT_NE(error.find("frame 9 is truncated"), std::string::npos) << error;
  EXPECT_EQ(frames, 9);
}

// A keeper gets the whole frame: a pipe's by taking over its buffer, a
// file's (read by parts) as a copy.
TEST(LogoReadAhead, KeepsAFrameWithoutCopyingAndStopsEarly) {
  const std::string bytes = SmallClip(30);
  std::vector<std::vector<uint8_t>> all;
  auto plain = Reader(bytes, false);
  for (std::vector<uint8_t> planar(plain->Format().FrameBytes()); plain->ReadFrame(planar.data());) all.push_back(planar);
  for (const bool file : {false, true}) {
    SCOPED_TRACE(file ? "file" : "pipe");
    FrameSampler sampler(Reader(bytes, file), {});
    std::vector<uint8_t> first, second, third;
    {
      ReadAhead ahead(sampler);
      ASSERT_TRUE(ahead.Next());
      const std::vector<uint8_t>& truth = all[static_cast<size_t>(ahead.Number())];
      const uint8_t* where = ahead.Frame().y;
      ahead.Keep(first);
      EXPECT_EQ(first.data() == where, !file);  // a pipe's swapped in, not copied; a file's copied, as read by parts
      EXPECT_EQ(ahead.Frame().y, where);
      ahead.Keep(second);  // a second keeper of the same frame gets a copy
      ahead.Keep(first);   // and the first keeper keeps it
      EXPECT_EQ(first.data() == where, !file);
      ASSERT_TRUE(ahead.Next());
      ahead.Keep(third);
      ASSERT_TRUE(ahead.Next());  // reading on reuses the buffers, not the kept ones
      ASSERT_TRUE(ahead.Next());
      EXPECT_EQ(first, truth);
      EXPECT_EQ(second, truth);
      EXPECT_NE(third, truth);
    }  // leaves with frames unread: the reading thread stops
  }
}

// The cells are the rounded means of scale x scale pixels, whatever the
// width and height, and their blocks' means follow them.
TEST(LogoSearchCells, AreRoundedMeansAtEachScale) {
  std::mt19937 random(5);
  const struct {
    int width, height, scale;
  } cases[] = {{200, 20, 2},  {1920, 12, 2},  {3838, 12, 2}, {3840, 12, 4}, {5000, 16, 4},
               {7680, 24, 8}, {9000, 24, 8}, {200, 150, 2}, {3840, 140, 4}, {7680, 200, 8}};  // and several bands
  for (const auto& c : cases) {
    std::vector<uint8_t> planar(static_cast<size_t>(c.width) * c.height * 2);
    for (auto& b : planar) b = static_cast<uint8_t>(random());
    const FrameView frame = FrameView::OfPlanar(planar.data(), c.width, c.height);
    cli::logo::EdgeStatistics statistics(c.width, c.height);
    ASSERT_EQ(statistics.Scale(), c.scale) << c.width;
    ASSERT_EQ(statistics.CellsWide(), c.width / c.scale);
    std::vector<uint8_t> cells(statistics.CellBytes());
    ASSERT_TRUE(statistics.MakeCells(frame, cells.data())) << c.width;
    const int n = c.scale * c.scale;
    for (int r = 0; r < statistics.CellsHigh(); ++r) {
      for (int k = 0; k < statistics.CellsWide(); ++k) {
        int sum = 0;
        for (int y = 0; y < c.scale; ++y) {
          for (int x = 0; x < c.scale; ++x) sum += frame.Luma(k * c.scale + x, r * c.scale + y);
        }
        ASSERT_EQ(cells[static_cast<size_t>(r) * statistics.CellsWide() + k], (sum + n / 2) / n) << c.width << " cell " << k << "," << r;
      }
    }
    // After the cells, the means of their 32x32 pixel blocks (those at the
    // right and bottom edges cut short), rounded down.
    const int cw = statistics.CellsWide(), ch = statistics.CellsHigh(), block = 32 / c.scale;
    const int bw = (cw + block - 1) / block, bh = (ch + block - 1) / block;
    ASSERT_EQ(cells.size(), static_cast<size_t>(cw) * ch + static_cast<size_t>(bw) * bh);
    for (int br = 0; br < bh; ++br) {
      for (int b = 0; b < bw; ++b) {
        int sum = 0, count = 0;
        for (int r = br * block; r < std::min(ch, (br + 1) * block); ++r) {
          for (int k = b * block; k < std::min(cw, (b + 1) * block); ++k, ++count) sum += cells[static_cast<size_t>(r) * cw + k];
        }
        ASSERT_EQ(cells[static_cast<size_t>(cw) * ch + static_cast<size_t>(br) * bw + b], sum / count) << c.width << " block " << b << "," << br;
      }
    }
    const FrameView other = FrameView::OfPlanar(planar.data(), c.width - 2, c.height);
    EXPECT_FALSE(statistics.MakeCells(other, cells.data()));
  }
}

// A file's frames are read by parts, the chroma only in the fits' rows;
// read whole, as from a pipe, the analysis comes out the same, byte for
// byte, in both chroma layouts.
TEST(LogoAnalysis, ReadsAFileByPartsAsWhole) {
  RecordingPlan plan;
  plan.frames = 160, plan.logoY = 150, plan.logoU = 80, plan.logoV = 190, plan.height = 181;
  const SyntheticRecording recording(plan);
  for (const cli::Y4MChroma chroma : {cli::Y4MChroma::k422, cli::Y4MChroma::k420}) {
    SCOPED_TRACE(chroma == cli::Y4MChroma::k420 ? "4:2:0" : "4:2:2");
    const std::string bytes = recording.Y4M(chroma);
    cli::logo::Analysis results[2];
    for (const bool byParts : {false, true}) {
      cli::logo::SampleRule rule;
      rule.byParts = byParts;
      FrameSampler sampler(Reader(bytes, true), rule);
      ASSERT_EQ(sampler.ByParts(), byParts);
      results[byParts] = cli::logo::AnalyseClip(sampler, {});
    }
    const cli::logo::Analysis& a = results[0];
    const cli::logo::Analysis& b = results[1];
    EXPECT_TRUE(a.reference.region.Contains(recording.TrueBox()));
    EXPECT_NEAR(a.reference.logoU, plan.logoU, 6);  // the logo's colour comes from the chroma read
    EXPECT_NEAR(a.reference.logoV, plan.logoV, 6);
    EXPECT_EQ(a.framesRead, b.framesRead);
    EXPECT_EQ(a.fitFrames, b.fitFrames);
    EXPECT_TRUE(a.reference.picture.bytes == b.reference.picture.bytes);
    EXPECT_EQ(a.reference.region.x, b.reference.region.x);
    EXPECT_EQ(a.reference.region.width, b.reference.region.width);
    EXPECT_EQ(a.reference.logoU, b.reference.logoU);
    EXPECT_EQ(a.reference.logoV, b.reference.logoV);
    EXPECT_EQ(a.ifLogo.frameThreshold, b.ifLogo.frameThreshold);
    EXPECT_EQ(a.ifNoLogo.logoThreshold, b.ifNoLogo.logoThreshold);
    EXPECT_EQ(a.sampleNumber, b.sampleNumber);
    EXPECT_TRUE(a.sample.bytes == b.sample.bytes);  // the preview's frame, chroma and all
  }
}

// A clip of `opening` frames without a logo, then `rest` frames with one
// (a white logo top right), as one Y4M stream; `box` gets the logo's box.
std::string LateLogoClip(int opening, int rest, cli::logo::Box* box = nullptr) {
  RecordingPlan without;
  without.corner = RecordingPlan::Corner::kNone, without.frames = opening, without.seed = 3;
  RecordingPlan with;
  with.frames = rest, with.seed = 4;
  const SyntheticRecording logo(with);
  if (box) *box = logo.TrueBox();
  const std::string tail = logo.Y4M();
  return SyntheticRecording(without).Y4M() + tail.substr(tail.find('\n') + 1);
}

// A logo that shows only in the last third of a file: the file hands out
// frames from all over it first, so the fit starts early and gets most of the
// frames a fit over the given region gets (read in order, the logo would be
// found too late to fit).
TEST(LogoAnalysis, FitsALateLogoInOneReadingOfAFile) {
  cli::logo::Box truth;
  const std::string bytes = LateLogoClip(200, 100, &truth);
  auto analyse = [&](const cli::logo::AnalysisOptions& options) {
    FrameSampler sampler(Reader(bytes, true), {});
    return cli::logo::AnalyseClip(sampler, options);
  };
  const cli::logo::Analysis found = analyse({});
  EXPECT_EQ(found.framesRead, 300);
  EXPECT_TRUE(found.reference.region.Contains(truth));
  cli::logo::AnalysisOptions given;
  given.region = found.reference.region;
  const cli::logo::Analysis fitted = analyse(given);
  EXPECT_GE(found.fitFrames, fitted.fitFrames * 2 / 3) << "of " << fitted.fitFrames;
  EXPECT_GE(found.sampleNumber, 200);  // the preview shows a frame with the logo
  // Read in order, the logo shows too late to be fitted: the refusal gives
  // the place it saw, to be checked, and the way to give another. Also when
  // a fit of that place started, but only after most of the frames (the
  // logo in the last half of a pipe of 100 frames without it and 90 with).
  const std::string shortPipe = LateLogoClip(100, 90);
  for (const std::string* pipeBytes : {&bytes, &shortPipe}) {
    FrameSampler pipe(Reader(*pipeBytes, false), {});
    try {
      cli::logo::AnalyseClip(pipe, {});
      ADD_FAILURE() << "a pipe whose logo shows only late was fitted";
    } catch (const cli::logo::NoLogoFound& e) {
      const std::string message = e.what();
      EXPECT_NE(message.find("if that is the logo, run again with --region "), std::string::npos) << message;
      EXPECT_NE(message.find("if the logo is elsewhere, give its place with --region X,Y,W,H"), std::string::npos) << message;
    }
  }
}

// From a pipe of unknown length the frames come ever further apart, so a
// long opening without the logo (here the first 40 % of the clip, half of the
// frames taken) would outweigh the rest: the search weighs each frame by the
// stretch of the clip it stands for, and finds the logo in time to fit it.
TEST(LogoAnalysis, WeighsAPipesFramesByTheStretchTheyStandFor) {
  cli::logo::Box truth;
  FrameSampler pipe(Reader(LateLogoClip(240, 360, &truth), false), {0, -1, 800});
  const cli::logo::Analysis found = cli::logo::AnalyseClip(pipe, {});
  EXPECT_EQ(found.framesRead, 50 + 50 + 50 + 31);  // levels of 50 frames: every frame, every 2nd, 4th, 8th
  EXPECT_TRUE(found.reference.region.Contains(truth));
  EXPECT_GE(found.fitFrames, 8);
}

// Read ahead on another thread, the analysis does not depend on how far
// ahead the reading ran: two readings, of a file and of a pipe, agree. Both
// find the logo and fit it on frames enough.
TEST(LogoAnalysis, IsTheSameOnEveryReading) {
  RecordingPlan plan;
  plan.frames = 300, plan.seed = 8;
  const SyntheticRecording recording(plan);
  const std::string bytes = recording.Y4M();
  for (bool seekable : {true, false}) {
    cli::logo::Analysis first;
    for (int reading = 0; reading < 2; ++reading) {
      FrameSampler sampler(Reader(bytes, seekable), {});
      const cli::logo::Analysis analysis = cli::logo::AnalyseClip(sampler, {});
      // A pipe of unknown length takes every frame of the first 125, then
      // every second.
      const int read = seekable ? 300 : 125 + 175 / 2;
      EXPECT_EQ(analysis.framesRead, read) << seekable;
      EXPECT_TRUE(analysis.reference.region.Contains(recording.TrueBox())) << seekable;
      EXPECT_GE(analysis.fitFrames, 8) << seekable;
      if (reading == 0) {
        first = analysis;
        continue;
      }
      EXPECT_EQ(analysis.reference.picture.bytes, first.reference.picture.bytes) << seekable;
      EXPECT_EQ(analysis.fitFrames, first.fitFrames) << seekable;
    }
  }
}

}  // namespace
}  // namespace pramvix::testing
