// The command's render on several threads against the same render on one:
// the same bytes, progress in order, the same error after the same frames,
// and a bounded number of frames alive. In-process, so that the thread
// sanitizer build runs it too (tests/concurrency).
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "cli/support/command_run.h"
#include "cli_error.h"
#include "failing_clip.h"
#include "local_environment.h"
#include "local_frame.h"
#include "plugin/function_table.h"
#include "render.h"
#include "support/filter_calls.h"
#include "y4m.h"
#include "y4m_clip.h"

namespace pramvix::testing {
namespace {

using cli::Y4MClip;
using local::Picture;

constexpr int kWidth = 32, kHeight = 8;

cli::Y4MFormat Format() {
  cli::Y4MFormat format;
  format.width = kWidth;
  format.height = kHeight;
  return format;
}

// A stream ready for `threads` threads, over a source or over bytes kept
// alive by the caller, read as a pipe or as a file.
PClip Stream(std::unique_ptr<cli::ByteSource> source, int threads) {
  auto* clip = new Y4MClip(std::make_unique<cli::Y4MReader>(std::move(source), "clip.y4m"));
  clip->KeepAhead(threads > 1 ? cli::RenderWindow(threads) : 0);
  return PClip(clip);
}
PClip Stream(const std::string& bytes, bool pipe, int threads) {
  return Stream(cli::MemorySource(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size(), !pipe), threads);
}

struct Rendered {
  std::string bytes;
  std::vector<int> progress;
  std::string error;
  int peakFrames = 0;  // frames alive at most, seen at each frame written
};

Rendered Render(IClip& clip, Y4MClip* lengthOf, cli::RenderRange range, IScriptEnvironment& env, int threads) {
  Rendered out;
  char* data = nullptr;
  size_t size = 0;
  std::FILE* file = open_memstream(&data, &size);
  const int before = local::LocalFrame::Live();
  try {
    const int written = cli::RenderY4M(
        clip, lengthOf, Format(), range, env, file, "out",
        [&](int frames) {
          out.progress.push_back(frames);
          out.peakFrames = std::max(out.peakFrames, local::LocalFrame::Live() - before);
        },
        threads);
    EXPECT_EQ(written, static_cast<int>(out.progress.size()));
  } catch (const std::exception& e) {
    out.error = e.what();
  }
  std::fclose(file);
  out.bytes.assign(data, size);
  std::free(data);
  return out;
}

std::vector<int> Counts(int frames) {
  std::vector<int> counts;
  for (int i = 1; i <= frames; ++i) counts.push_back(i);
  return counts;
}

class ThreadedRender : public ::testing::Test {
 protected:
  void SetUp() override { RegisterFunctions(&env); }
  local::LocalEnvironment env;
};

// Every function, its clips read as pipes (each asked out of order by the
// threads) or as files, over a range or to the end.
TEST_F(ThreadedRender, GivesTheBytesAndProgressOfOneThread) {
  constexpr int kFrames = 30;
  const std::string main = Y4MOf(RandomPictures(kWidth, kHeight, kFrames, 100));
  const std::string logo = Y4MOf(RandomPictures(kWidth, kHeight, 2, 200));
  const std::string alternate = Y4MOf(RandomPictures(kWidth, kHeight, kFrames, 300));
  struct Range {
    cli::RenderRange range;
    int frames;
  };
  for (const FilterCall& call : FilterCalls()) {
    for (const bool pipe : {true, false}) {
      for (const Range r : {Range{{0, -1}, kFrames}, Range{{7, 19}, 13}}) {
        Rendered one;
        for (const int threads : {1, 2, 3, 5}) {
          SCOPED_TRACE(::testing::Message() << call.function << (pipe ? ", pipes" : ", files") << ", frames "
                                            << r.range.first << ":" << r.range.last << ", " << threads << " threads");
          const PClip mainClip = Stream(main, pipe, threads);
          const CallInputs in{mainClip, Stream(logo, false, threads), Stream(alternate, pipe, threads), 1, 10,
                              Region{3, 1, 20, 6}};
          const PClip filter = env.Invoke(call.function, call.args(in)).AsClip();
          const Rendered got =
              Render(*filter, static_cast<Y4MClip*>(mainClip.get()), r.range, env, threads);
          EXPECT_EQ(got.error, "");
          EXPECT_EQ(got.progress, Counts(r.frames));
          if (threads == 1) {
            one = got;
            continue;
          }
          EXPECT_EQ(got.bytes.size(), one.bytes.size());
          EXPECT_TRUE(got.bytes == one.bytes);
        }
      }
    }
  }
}

// Frame k cannot be made: a clip fails it, and frame k + 2 with another text
// (which threads may well reach first); or a pipe is cut inside it before it
// is read; or a file is cut inside it after it was opened (its frames
// counted, so each thread reads its own frames). The output is the frames
// before k, then k's error, whichever thread met a failure first.
TEST_F(ThreadedRender, AFailingFrameEndsTheOutputAsOnOneThread) {
  constexpr int kFrames = 24;
  const std::string path = ScratchDirectory() + "/clip.y4m";
  const std::string whole = Y4MOf(RandomPictures(kWidth, kHeight, kFrames, 400));
  const size_t frameBytes = 6 + Format().FrameBytes();
  const size_t header = whole.size() - kFrames * frameBytes;
  const PClip logo = Stream(Y4MOf(RandomPictures(kWidth, kHeight, 1, 500)), false, 1);
  enum Fault { kFailingClip, kCutPipe, kCutFile };
  for (const Fault fault : {kFailingClip, kCutPipe, kCutFile}) {
    for (const int k : {0, 1, 6, 13, 21}) {
      const size_t length = header + k * frameBytes + frameBytes / 2;
      const std::string pipeBytes = fault == kCutPipe ? whole.substr(0, length) : whole;  // alive while read
      Rendered one;
      for (const int threads : {1, 2, 4}) {
        SCOPED_TRACE(::testing::Message() << "fault " << fault << " in frame " << k << ", " << threads << " threads");
        if (fault == kCutFile) WriteFile(path, whole);
        const PClip stream = fault == kCutFile ? Stream(cli::OpenSource(path), threads) : Stream(pipeBytes, true, threads);
        ASSERT_TRUE(fault != kCutFile || truncate(path.c_str(), static_cast<off_t>(length)) == 0);
        const PClip main =
            fault == kFailingClip ? PClip(new local::FailingClip(PClip(new local::FailingClip(stream, k + 2)), k))
                                  : stream;
        const PClip filter = env.Invoke("NoLogo", {main, logo, 0, 10, 3, 1, 20, 6}).AsClip();
        const Rendered got = Render(*filter, static_cast<Y4MClip*>(stream.get()), {}, env, threads);
        EXPECT_EQ(got.error, fault == kFailingClip ? local::FailingClip::TextFor(k)
                                                   : "clip.y4m: frame " + std::to_string(k) + " is truncated");
        EXPECT_EQ(got.progress, Counts(k));
        if (threads == 1) one = got;
        EXPECT_TRUE(got.bytes == one.bytes);
      }
    }
  }
}

// However long the pipe or file, the frames alive stay a few per thread.
TEST_F(ThreadedRender, LongStreamHoldsAFewFramesPerThread) {
  constexpr int kFrames = 300;
  const std::string main = Y4MOf(RandomPictures(kWidth, kHeight, kFrames, 800));
  const PClip logo = Stream(Y4MOf(RandomPictures(kWidth, kHeight, 1, 900)), false, 1);
  for (const int threads : {1, 2, 4}) {
    for (const bool pipe : {true, false}) {
      SCOPED_TRACE(::testing::Message() << threads << " threads" << (pipe ? ", pipe" : ", file"));
      // The same stream as clip and as reference picture: its frame 0 stays held.
      const PClip stream = Stream(main, pipe, threads);
      const PClip filter = env.Invoke("NoLogo", {stream, stream, 0, 10, 3, 1, 20, 6}).AsClip();
      const Rendered got = Render(*filter, static_cast<Y4MClip*>(stream.get()), {}, env, threads);
      EXPECT_EQ(got.error, "");
      EXPECT_EQ(got.progress.size(), static_cast<size_t>(kFrames));
      // The stream's kept frames (those asked for and those read ahead), and
      // each thread's frame in the making.
      const int window = threads > 1 ? cli::RenderWindow(threads) : 0;
      EXPECT_LE(got.peakFrames, static_cast<int>(Y4MClip::kKeptFrames) + 2 * window + threads + 1);
      EXPECT_GE(got.peakFrames, 1);
    }
  }
}

}  // namespace
}  // namespace pramvix::testing
