// What IfLogo and IfNoLogo share: construction, the frames of a request, the
// checks before any write, and pitches.
#include <gtest/gtest.h>

#include <string>

#include "detect/switch_test.h"

namespace pramvix::testing {
namespace {

class LogoTestFilterTest : public SwitchTest, public ::testing::WithParamInterface<std::string> {
 protected:
  const std::string& Function() const { return GetParam(); }
};

INSTANTIATE_TEST_SUITE_P(BothFilters, LogoTestFilterTest, ::testing::Values("IfLogo", "IfNoLogo"),
                         [](const ::testing::TestParamInfo<std::string>& info) { return info.param; });

// One hit at pixel 2 (|100 − 200|) passes either test; no hit fails it.
const Picture kPasses = Row({100, 100, 200, 100});
const Picture kFails = Row({100, 100, 100, 100});
const Picture kFlat4 = Row({16, 16, 16, 16});

// The alternate clip is never compared nor read: one of another size and
// pixel type is returned as it is.
TEST_P(LogoTestFilterTest, AlternateOfAnotherSizeAndTypeIsReturnedAsItIs) {
  Picture other = Picture::YUY2(3, 5, 33, 44);
  other.Byte(4, 5) = 7;
  const PClip alternate = MemoryClip::Of({other}, 12, kPixelRGB32);
  auto run = [&](const Picture& main) {
    return Run(Function(), {ClipOf(main), alternate, ClipOf(kFlat4), 0, 10, 0, 2, 0, 1, 1});
  };
  EXPECT_EQ(run(kPasses), other);
  EXPECT_EQ(run(kFails), kFails);
}

// Main, alternate and logo frames are fetched on every call: when the
// alternate comes back, when the main does, and when IfNoLogo cannot choose
// the alternate. Only marking copies the main frame to write; otherwise the
// main frame comes back as fetched, the same buffer.
TEST_P(LogoTestFilterTest, FetchesAllThreeFramesAndCopiesTheMainOnlyToMark) {
  const PClip main = MemoryClip::Of({kPasses, kFails});
  const PClip alternate = MemoryClip::Of({Alternate()});
  const PClip logo = MemoryClip::Of({kFlat4});
  auto requests = [](const PClip& clip) { return static_cast<MemoryClip*>(clip.get())->Requests(); };
  for (int frameThreshold : {10, 0, -10}) {
    const bool marking = frameThreshold < 0;
    const PClip filter =
        env.Invoke(Function(), {main, alternate, logo, 0, frameThreshold, 0, 2, 0, 1, 1}).AsClip();
    for (int n : {0, 1}) {
      SCOPED_TRACE("frame " + std::to_string(n) + " threshold " + std::to_string(frameThreshold));
      const int copies = env.Copies();
      const int fetched[] = {requests(main), requests(alternate), requests(logo)};
      const PVideoFrame out = filter->GetFrame(n, &env);
      EXPECT_EQ(env.Copies(), copies + (marking ? 1 : 0));
      EXPECT_EQ(requests(main), fetched[0] + 1);
      EXPECT_EQ(requests(alternate), fetched[1] + 1);
      EXPECT_EQ(requests(logo), fetched[2] + 1);
      if (marking) continue;
      const bool alternateBack = n == 0 && (frameThreshold > 0 || Function() == "IfLogo");
      const PClip& source = alternateBack ? alternate : main;
      EXPECT_EQ(out->GetReadPtr(), source->GetFrame(alternateBack ? 0 : n, &env)->GetReadPtr());
      EXPECT_EQ(local::PictureOf(out), alternateBack ? Alternate() : (n == 0 ? kPasses : kFails));
    }
  }
}

// Every position is an edge at logo threshold 0, and steps of 50 and 0 count
// alike in both tests. Rows (2, 1), (1, 2), (1, 2) give 2 hits and 4 misses:
// 4 < 4 fails. With the last row (2, 1) instead, 2 < 8 passes.
TEST_P(LogoTestFilterTest, MissTotalOfTwiceTheHitTotalKeepsTheMainFrame) {
  Picture main = Rows({{100, 100, 150, 150, 150, 100}, {100, 100, 150, 100, 150, 100}, {100, 100, 150, 100, 150, 100}});
  const Picture logo = Picture::YUY2(6, 3);
  EXPECT_EQ(Switch(Function(), main, logo, 10, 0, {2, 0, 3, 3}), main);
  main.SetLumaRow(2, 0, {100, 100, 150, 150, 150, 100});
  EXPECT_EQ(Switch(Function(), main, logo, 10, 0, {2, 0, 3, 3}), Alternate());
}

}  // namespace
}  // namespace pramvix::testing
