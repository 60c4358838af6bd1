#include "y4m_clip.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "cli/support/command_run.h"
#include "cli/support/error_text.h"
#include "local_environment.h"
#include "local_frame.h"

namespace pramvix::testing {
namespace {

using cli::Y4MClip;
using local::Picture;

class Y4MClipTest : public ::testing::Test {
 protected:
  // A clip over a Y4M of `count` random frames, read as a pipe or as a file.
  PClip Open(int count, bool seekable, int width = 8, int height = 2) {
    pictures = RandomPictures(width, height, count, 99);
    bytes = Y4MOf(pictures);
    auto source = cli::MemorySource(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size(), seekable);
    return PClip(new Y4MClip(std::make_unique<cli::Y4MReader>(std::move(source), "clip.y4m")));
  }
  Picture FrameAt(const PClip& clip, int n) { return local::PictureOf(clip->GetFrame(n, &env)); }
  std::string ErrorAt(const PClip& clip, int n) {
    return ErrorText([&] { clip->GetFrame(n, &env); });
  }
  static std::string NoLongerHeld(int n) {
    return "clip.y4m: frame " + std::to_string(n) + " is no longer held, and a pipe cannot be read backwards";
  }

  local::LocalEnvironment env;
  std::vector<Picture> pictures;
  std::string bytes;
};

// Requests in turn: a file answers any of them, a number outside the clip
// with its nearest frame; a pipe reads forward, keeping the last few frames
// and those asked for recently, and refuses the others.
TEST_F(Y4MClipTest, AnswersAFileInAnyOrderAndAPipeForward) {
  const struct {
    bool seekable;
    std::vector<std::pair<int, int>> asked;  // frame asked for, picture given; -1: refused
  } cases[] = {
      {true, {{9, 9}, {0, 0}, {5, 5}, {1, 1}, {2, 2}, {3, 3}, {4, 4}, {0, 0}, {8, 8}, {12, 9}, {-1, 0}}},
      {false, {{0, 0}, {3, 3}, {4, 4}, {0, 0}, {1, -1}, {5, 5}, {6, 6}, {7, 7}, {8, 8}, {3, -1}}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.seekable ? "file" : "pipe");
    const PClip clip = Open(10, c.seekable);
    EXPECT_EQ(clip->GetVideoInfo().num_frames, c.seekable ? 10 : cli::kUnknownLength);
    for (const auto& [n, given] : c.asked) {
      if (given < 0) {
        EXPECT_EQ(ErrorAt(clip, n), NoLongerHeld(n));
      } else {
        EXPECT_EQ(FrameAt(clip, n), pictures[given]) << "frame " << n;
      }
    }
  }
}

TEST_F(Y4MClipTest, ATakenFrameIsTheCallersAlone) {
  for (const bool seekable : {false, true}) {
    SCOPED_TRACE(seekable ? "file" : "pipe");
    const PClip clip = Open(4, seekable);
    auto* stream = static_cast<Y4MClip*>(clip.get());
    ASSERT_TRUE(stream->HasFrame(1));  // read and kept
    PVideoFrame frame = stream->Take(1, &env);
    EXPECT_EQ(local::PictureOf(frame), pictures[1]);
    const VideoFrame* before = frame.get();
    env.MakeWritable(&frame);
    EXPECT_EQ(frame.get(), before) << "no other handle: nothing to copy";
    EXPECT_EQ(env.Copies(), 0);
    if (seekable) {
      EXPECT_EQ(FrameAt(clip, 1), pictures[1]);  // read again
    } else {
      EXPECT_EQ(ErrorAt(clip, 1), NoLongerHeld(1));
    }
  }
}

// A file's frame goes to its first asker alone, who may write into it
// without a copy; asked again, it is read again and from then on kept and
// shared. A pipe's frames are kept from the start: they cannot be read again.
TEST_F(Y4MClipTest, AFilesFrameGoesUnsharedToItsFirstAsker) {
  const PClip file = Open(5, true);
  PVideoFrame first = file->GetFrame(2, &env);
  env.MakeWritable(&first);
  EXPECT_EQ(env.Copies(), 0) << "the clip holds no handle to it";
  ASSERT_EQ(local::PictureOf(first), pictures[2]);
  static_cast<local::LocalFrame*>(first.get())->Bytes()[0] ^= 0xFF;  // the asker's own
  PVideoFrame second = file->GetFrame(2, &env);
  EXPECT_EQ(local::PictureOf(second), pictures[2]);
  const VideoFrame* kept = second.get();
  EXPECT_EQ(file->GetFrame(2, &env).get(), kept) << "kept once asked for twice";
  env.MakeWritable(&second);
  EXPECT_EQ(env.Copies(), 1);
  EXPECT_EQ(file->GetFrame(2, &env).get(), kept);
  EXPECT_EQ(FrameAt(file, 2), pictures[2]);

  const PClip pipe = Open(5, false);
  PVideoFrame piped = pipe->GetFrame(1, &env);
  env.MakeWritable(&piped);
  EXPECT_EQ(env.Copies(), 2);
  EXPECT_EQ(FrameAt(pipe, 1), pictures[1]);

  // A one-frame file, such as a reference picture, is read once and shared.
  const PClip still = Open(1, true);
  const PVideoFrame once = still->GetFrame(0, &env);
  EXPECT_EQ(still->GetFrame(0, &env).get(), once.get());
  EXPECT_EQ(still->GetFrame(7, &env).get(), once.get());
  EXPECT_EQ(local::PictureOf(once), pictures[0]);
}

// Frame 0, a reference picture asked for beside every frame, stays at hand;
// the pipe's end gives the count, and frames beyond it are its last.
TEST_F(Y4MClipTest, APipesFirstFrameStaysAtHandAndItsEndGivesTheCount) {
  const PClip clip = Open(30, false);
  auto* stream = static_cast<Y4MClip*>(clip.get());
  EXPECT_EQ(clip->GetVideoInfo().num_frames, cli::kUnknownLength);
  for (int n = 0; n < 30; ++n) {
    EXPECT_EQ(FrameAt(clip, n), pictures[n]);
    EXPECT_EQ(FrameAt(clip, 0), pictures[0]);
  }
  EXPECT_TRUE(stream->HasFrame(29));
  EXPECT_FALSE(stream->HasFrame(30));
  EXPECT_EQ(clip->GetVideoInfo().num_frames, 30);
  EXPECT_EQ(FrameAt(clip, 39), pictures[29]);
  EXPECT_EQ(FrameAt(clip, -2), pictures[0]);
}

TEST(StillClip, GivesItsOnePictureForEveryFrame) {
  local::LocalEnvironment env;
  const Picture picture = RandomPictures(6, 2, 1, 5)[0];
  const PClip clip(new cli::StillClip(picture));
  EXPECT_EQ(clip->GetVideoInfo().num_frames, 1);
  EXPECT_TRUE(clip->GetVideoInfo().IsYUY2());
  EXPECT_EQ(local::PictureOf(clip->GetFrame(0, &env)), picture);
  EXPECT_EQ(local::PictureOf(clip->GetFrame(7, &env)), picture);
}

}  // namespace
}  // namespace pramvix::testing
