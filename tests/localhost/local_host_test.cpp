// The local host itself: what the other tests rely on it to do as a frame
// server would (argument checks, clamped frame numbers, guard bytes).
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "support/host_test.h"

namespace pramvix::testing {
namespace {

class LocalHostTest : public HostTest {};

TEST_F(LocalHostTest, ChecksArgumentsAgainstTheTypeStringAndIgnoresTheCaseOfNames) {
  const PClip clip = ClipOf(Picture::YUY2(8, 2));
  EXPECT_EQ(ErrorOf("NoLogo", {clip, clip, 0, 0, 0, 0, 0}), "Invalid arguments to function 'NoLogo'");
  EXPECT_EQ(ErrorOf("NoLogo", {clip, clip, 0, 0.5f, 0, 0, 0, 0}), "Invalid arguments to function 'NoLogo'");
  EXPECT_EQ(ErrorOf("NoLogo", {clip, 3, 0, 0, 0, 0, 0, 0}), "Invalid arguments to function 'NoLogo'");
  EXPECT_EQ(ErrorOf("Nothing", {}), "There is no function named 'Nothing'");
  ASSERT_NE(env.Find("nOlOgO"), nullptr);
  EXPECT_EQ(env.Find("nOlOgO")->name, "NoLogo");
  EXPECT_EQ(env.Find("NoLog"), nullptr);
  EXPECT_TRUE(local::Matches('f', AVSValue(2)));
  EXPECT_TRUE(local::Matches('f', AVSValue(2.5f)));
  EXPECT_FALSE(local::Matches('i', AVSValue(2.5f)));
}

TEST_F(LocalHostTest, HostClampsFrameNumbersToTheClip) {
  Picture first = Picture::YUY2(4, 1, 10);
  Picture last = Picture::YUY2(4, 1, 20);
  const PClip clip = MemoryClip::Of({first, last});
  EXPECT_EQ(local::PictureOf(clip->GetFrame(-7, &env)), first);
  EXPECT_EQ(local::PictureOf(clip->GetFrame(2147483647, &env)), last);
}

TEST_F(LocalHostTest, GuardBytesShowAWriteOutsideThePicture) {
  const PVideoFrame frame = local::FrameOf(Picture::YUY2(4, 2), 8);
  auto* local = static_cast<LocalFrame*>(frame.get());
  EXPECT_TRUE(local->Intact());
  EXPECT_EQ(frame->GetPitch(), 16);
  local->Bytes()[7] = 1;  // inside the picture
  EXPECT_TRUE(local->Intact());
#if !defined(__SANITIZE_ADDRESS__)
  local->Bytes()[8] = 1;  // padding of the first row
  EXPECT_FALSE(local->Intact());
#endif
}

// A frame made from a buffer of a frame gone starts as a new one would: its
// picture zeroed when asked, its guards and padding whole; and the buffers
// kept for reuse stay few, whatever number of frames ended.
TEST_F(LocalHostTest, ReusedFrameMemoryStartsAsNewAndStaysBounded) {
  for (int round = 0; round < 3; ++round) {
    std::vector<PVideoFrame> frames;
    for (size_t i = 0; i < 2 * LocalFrame::kPooledBuffers; ++i) {
      auto* frame = new LocalFrame(6, 3, 16 + 4 * (round % 2), LocalFrame::Start::kZero);
      frames.emplace_back(frame);
      for (int r = 0; r < 3; ++r) {
        for (int x = 0; x < 6; ++x) ASSERT_EQ(frame->GetReadPtr()[r * frame->GetPitch() + x], 0) << "round " << round;
      }
      ASSERT_TRUE(frame->Intact());
      // The picture dirtied before it goes, and its padding where that does
      // not trap.
#if defined(__SANITIZE_ADDRESS__)
      const size_t dirtied = 6;
#else
      const auto dirtied = static_cast<size_t>(frame->GetPitch());
#endif
      for (int r = 0; r < 3; ++r) std::memset(frame->Bytes() + r * frame->GetPitch(), 0xA5, dirtied);
    }
    frames.clear();
    EXPECT_LE(LocalFrame::Pooled(), LocalFrame::kPooledBuffers);
  }
#if !defined(__SANITIZE_ADDRESS__)
  const uint8_t* before = nullptr;
  {
    LocalFrame gone(64, 2, 64);
    before = gone.GetReadPtr();
  }
  LocalFrame next(64, 2, 64, LocalFrame::Start::kFilledByCaller);
  EXPECT_EQ(next.GetReadPtr(), before) << "the memory of the frame gone is reused";
  EXPECT_GE(LocalFrame::Pooled(), 1u);
  // Large frames: the buffers kept stay under their byte limit too (their
  // pages are never touched, so they cost no memory here).
  const int rows = static_cast<int>(LocalFrame::kPooledBytes / 3 / 4096) + 1;
  {
    std::vector<std::unique_ptr<LocalFrame>> large;
    for (int i = 0; i < 3; ++i) large.push_back(std::make_unique<LocalFrame>(4096, rows, 4096, LocalFrame::Start::kFilledByCaller));
  }
  EXPECT_LE(LocalFrame::PooledBytes(), LocalFrame::kPooledBytes);
  EXPECT_GE(LocalFrame::PooledBytes(), 2 * LocalFrame::kPooledBytes / 3);  // the two latest stay
#endif
}

// A new frame like another: the same row size and height, this host's pitch,
// held by its handle alone (so writable), guards in place; nothing copied.
TEST_F(LocalHostTest, NewFrameLikeAnotherHasItsGeometryAndThisHostsPitch) {
  env.SetPitchPadding(32);
  const PVideoFrame source = local::FrameOf(Picture::YUY2(10, 3, 77), 4);
  const PVideoFrame held = source;  // shared
  const int copies = env.Copies();
  const PVideoFrame made = env.NewFrameLike(source);
  ASSERT_TRUE(made);
  EXPECT_NE(made.get(), source.get());
  EXPECT_EQ(made->GetRowSize(), 20);
  EXPECT_EQ(made->GetHeight(), 3);
  EXPECT_EQ(made->GetPitch(), 32 + 32);
  EXPECT_EQ(made.use_count(), 1);
  EXPECT_NE(made->GetWritePtr(), nullptr);
  EXPECT_TRUE(static_cast<const LocalFrame*>(made.get())->Intact());
  EXPECT_EQ(env.NewFrames(), 1);
  EXPECT_EQ(env.Copies(), copies);
  EXPECT_FALSE(env.NewFrameLike(PVideoFrame()));
}

}  // namespace
}  // namespace pramvix::testing
