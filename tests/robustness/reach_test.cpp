// Every function writes only inside its reach: no guard or padding byte of any
// frame, no byte of an input frame, and no byte of the main picture outside
// the rows, pixels and planes the function documents changes.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "plugin/function_table.h"
#include "support/filter_calls.h"
#include "support/host_test.h"
#include "support/recording_clip.h"

namespace pramvix::testing {
namespace {

class ReachTest : public HostTest {};

constexpr int kWidth = 16, kHeight = 6;

// Pitch padding of the main, logo and alternate frames and of MakeWritable's copies.
struct Paddings { int main, logo, alternate, copies; };

// Regions inside the frame and at each of its edges, thresholds of every mode,
// pitches that differ between the frames, and the main frame either shared
// (the filter writes MakeWritable's copy) or served already writable.
TEST_F(ReachTest, RequestsWriteOnlyInsideTheirReach) {
  const Picture main = Patterned(kWidth, kHeight, 1), logo = Patterned(kWidth, kHeight, 2),
                alternate = Patterned(kWidth, kHeight, 3);
  const Region regions[] = {{3, 1, 7, 3},  {0, 0, 5, 2}, {9, 2, 7, 4}, {2, -3, 6, 2}, {0, 0, kWidth, kHeight},
                            {15, 5, 1, 1}, {1, 3, 1, 2}, {4, 2, 0, 3}, {4, 2, 3, -1}};
  const int thresholds[] = {0, 1, 10, -1, 300};
  const Paddings paddings[] = {{0, 0, 0, 0}, {4, 12, 8, 20}, {36, 0, 3, 7}};

  for (size_t f = 0; f < kFunctionCount; ++f) {
    const FilterCall* row = FilterCallOf(kFunctionTable[f].name);
    ASSERT_NE(row, nullptr) << "add a row for " << kFunctionTable[f].name << " to tests/support/filter_calls.cpp";
    const FilterCall& call = *row;
    int changedFrames = 0;
    for (const Paddings& padding : paddings) {
      env.SetPitchPadding(padding.copies);
      for (const bool served : {false, true}) {
        for (const Region& region : regions) {
          for (const int threshold : thresholds) {
            SCOPED_TRACE(::testing::Message()
                         << call.function << " region " << region.x << "," << region.y << "," << region.width << ","
                         << region.height << " threshold " << threshold << " paddings " << padding.main << "/"
                         << padding.logo << "/" << padding.alternate << "/" << padding.copies
                         << (served ? " writable main frame" : " shared main frame"));
            const PClip mainClip = ClipOf(main, padding.main), logoClip = ClipOf(logo, padding.logo),
                        alternateClip = ClipOf(alternate, padding.alternate);
            static_cast<MemoryClip*>(mainClip.get())->ServeCopies(served);
            PVideoFrame frame;
            try {
              const CallInputs in{mainClip, logoClip, alternateClip, 0, threshold, region};
              frame = env.Invoke(call.function, call.args(in)).AsClip()->GetFrame(0, &env);
            } catch (const HostError& error) {
              ADD_FAILURE() << "raised " << error.what();
              continue;
            }
            EXPECT_TRUE(Intact(frame)) << "guard or padding bytes of the returned frame changed";
            for (const PClip& input : {mainClip, logoClip, alternateClip}) {
              const PVideoFrame stored = input->GetFrame(0, &env);
              EXPECT_TRUE(Intact(stored)) << "guard or padding bytes of an input frame changed";
            }
            const Picture out = local::PictureOf(frame);
            EXPECT_EQ(local::PictureOf(logoClip->GetFrame(0, &env)), logo);
            EXPECT_EQ(local::PictureOf(alternateClip->GetFrame(0, &env)), alternate);
            if (!served) {
              EXPECT_EQ(local::PictureOf(mainClip->GetFrame(0, &env)), main) << "the shared frame was written";
            }
            if (call.mayReturnAlternate && out == alternate) continue;
            ASSERT_EQ(out.rowSize, main.rowSize);
            ASSERT_EQ(out.height, main.height);
            EXPECT_EQ(StrayWrite(out, main, call.reach(region, kWidth, kHeight)), "");
            changedFrames += out != main;
          }
        }
      }
    }
    // Otherwise the checks above would have had nothing to catch.
    EXPECT_GT(changedFrames, 0) << call.function << " changed no frame";
  }
}

// A request for frame n fetches frame n of the main and alternate clips and
// the logo clip's fixed frame, each once, in the function's order.
TEST_F(ReachTest, RequestsFetchTheirFramesInOrder) {
  for (const FilterCall& call : FilterCalls()) {
    SCOPED_TRACE(call.function);
    std::vector<std::string> log;
    auto recorded = [&](const char* name) {
      return PClip(new RecordingClip(ClipOf(Patterned(kWidth, kHeight, 10)), name, &log));
    };
    const CallInputs in{recorded("main"), recorded("logo"), recorded("alternate"), 7, 10, Region{3, 1, 7, 3}};
    env.Invoke(call.function, call.args(in)).AsClip()->GetFrame(3, &env);
    std::vector<std::string> expected;
    for (const std::string& role : call.fetches) expected.push_back(role + (role == "logo" ? " 7" : " 3"));
    EXPECT_EQ(log, expected);
  }
}

// Pictures whose rows are all alike, so that a region's rows show where they start.
Picture RowsAlike(uint32_t seed) {
  const Picture row = Patterned(kWidth, 1, seed);
  Picture picture = Picture::YUY2(kWidth, kHeight);
  for (int r = 0; r < kHeight; ++r) std::copy(row.bytes.begin(), row.bytes.end(), &picture.Byte(r, 0));
  return picture;
}

// A region means the same to every function: its rows start at y, or at the
// top row when y is 0 or less, and a region without pixels or rows changes
// nothing (nor is a tall one walked: that would take minutes).
TEST_F(ReachTest, RegionsStartAtYOrTheTopAndEmptyOnesChangeNothing) {
  const Picture main = RowsAlike(10), logo = RowsAlike(11), alternate = RowsAlike(12);
  for (const FilterCall& call : FilterCalls()) {
    if (call.regionArg < 0) continue;
    SCOPED_TRACE(call.function);
    auto run = [&](const Region& region) {
      const CallInputs in{ClipOf(main), ClipOf(logo), ClipOf(alternate), 0, 10, region};
      return local::PictureOf(env.Invoke(call.function, call.args(in)).AsClip()->GetFrame(0, &env));
    };
    const Picture top = run({1, 0, 14, 3});
    EXPECT_NE(top, main) << "the call changes nothing, so it shows nothing";
    EXPECT_EQ(run({1, -5, 14, 3}), top);
    for (const int y : {1, 2}) {
      Picture shifted = main;
      std::copy_n(top.bytes.begin(), 3 * top.rowSize, &shifted.Byte(y, 0));
      EXPECT_EQ(run({1, y, 14, 3}), shifted) << "the rows of a region from row " << y;
    }
    for (const Region& empty : {Region{3, 1, 0, 3}, Region{3, 1, -3, 3}, Region{3, 1, 7, 0}, Region{3, 1, 7, -1},
                                Region{3, 1, 0, 2147483647}, Region{-5, 99, 0, 3}}) {
      EXPECT_EQ(run(empty), main) << "region " << empty.x << "," << empty.y << "," << empty.width << ","
                                  << empty.height;
    }
  }
}

// Each frame is stepped by its own pitch: padded clips and padded writable
// copies give every function's bytes of unpadded frames. A main frame served
// already writable is written in place, a shared one on MakeWritable's copy
// (or, for NoLogoAuto, on a new frame it fills itself), with the same bytes.
TEST_F(ReachTest, EveryPitchAndBothPathsOfMakeWritableGiveTheSameBytes) {
  const Picture main = Patterned(kWidth, kHeight, 4), logo = Patterned(kWidth, kHeight, 5),
                alternate = Patterned(kWidth, kHeight, 6);
  const Paddings paddings[] = {{0, 0, 0, 0}, {8, 4, 40, 0}, {52, 0, 4, 24}, {3, 36, 0, 8}};
  for (const FilterCall& call : FilterCalls()) {
    SCOPED_TRACE(call.function);
    auto run = [&](const Paddings& padding, bool served) {
      env.SetPitchPadding(padding.copies);
      const CallInputs in{ClipOf(main, padding.main), ClipOf(logo, padding.logo),
                          ClipOf(alternate, padding.alternate), 0, 10, Region{3, 1, 7, 4}};
      static_cast<MemoryClip*>(in.main.get())->ServeCopies(served);
      const int copies = env.Copies() + env.NewFrames();
      const Picture out = local::PictureOf(env.Invoke(call.function, call.args(in)).AsClip()->GetFrame(0, &env));
      EXPECT_EQ(env.Copies() + env.NewFrames(), copies + (served ? 0 : 1))
          << (served ? "writable" : "shared") << " main frame";
      return out;
    };
    const Picture packed = run(paddings[0], false);
    EXPECT_NE(packed, main) << "the call changes nothing, so it shows nothing";
    for (const Paddings& padding : paddings) {
      for (const bool served : {false, true}) {
        EXPECT_EQ(run(padding, served), packed) << "paddings " << padding.main << "/" << padding.logo << "/"
                                                << padding.alternate << "/" << padding.copies
                                                << (served ? ", writable main frame" : ", shared main frame");
      }
    }
  }
}

}  // namespace
}  // namespace pramvix::testing
