// The scan's detection asked from several threads at once, as `pramvix scan
// --threads` asks it: every frame's totals are those of frames asked in
// order. The thread sanitizer build runs it too (tests/concurrency).
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "cli/support/command_run.h"
#include "cli/support/logo_recording.h"
#include "frame_workers.h"
#include "render.h"
#include "scan/detection.h"

namespace pramvix::testing {
namespace {

using cli::scan::Detection;
using cli::scan::FrameRecord;
using cli::scan::ScanOptions;
using R = LogoRecording;

std::vector<FrameRecord> InOrder(const ScanOptions& options) {
  Detection detection(options);
  std::vector<FrameRecord> records;
  for (int n = 0; detection.HasFrame(n); ++n) records.push_back(detection.Test(n));
  return records;
}

std::vector<FrameRecord> OnThreads(const ScanOptions& options, int threads) {
  Detection detection(options);
  detection.KeepAhead(cli::RenderWindow(threads));
  cli::FrameWorkers<FrameRecord> workers(threads, cli::RenderWindow(threads), 0, -1,
                                         [&detection](int n, FrameRecord& record) {
                                           if (!detection.HasFrame(n)) return false;
                                           record = detection.Test(n);
                                           return true;
                                         });
  std::vector<FrameRecord> records;
  for (FrameRecord record; workers.Next(record);) records.push_back(record);
  return records;
}

TEST(ThreadedDetection, GivesEveryFrameTheTotalsOfOneThread) {
  const std::string dir = ScratchDirectory();
  const LogoRecording recording = MakeLogoRecording(PresenceWithBreak(60, 20, 41));
  WriteFile(dir + "/rec.y4m", Y4MOf(recording.frames));
  WriteFile(dir + "/logo.y4m", Y4MOf({recording.reference}));
  ScanOptions options;
  options.frameThreshold = 30;
  options.logoThreshold = 100;
  options.region = Region{R::kX, R::kY, R::kRegionWidth, R::kRegionHeight};
  // A reference picture of its own, and the recording's own frame 0 (one clip
  // for both, whose frames are shared rather than taken).
  for (const std::string& logo : {dir + "/logo.y4m", dir + "/rec.y4m"}) {
    options.clip = dir + "/rec.y4m";
    options.logoClip = logo;
    const std::vector<FrameRecord> one = InOrder(options);
    ASSERT_EQ(one.size(), 60u);
    int present = 0;
    for (const FrameRecord& record : one) present += record.present;
    if (logo == dir + "/logo.y4m") {
      EXPECT_NEAR(present, 39, 2) << "the logo leaves for frames 20 to 40";
    }
    for (const int threads : {2, 4}) {
      SCOPED_TRACE(::testing::Message() << logo << ", " << threads << " threads");
      const std::vector<FrameRecord> got = OnThreads(options, threads);
      ASSERT_EQ(got.size(), one.size());
      for (size_t n = 0; n < one.size(); ++n) {
        EXPECT_EQ(got[n].hits, one[n].hits) << "frame " << n;
        EXPECT_EQ(got[n].misses, one[n].misses) << "frame " << n;
        EXPECT_EQ(got[n].present, one[n].present) << "frame " << n;
      }
    }
  }
}

}  // namespace
}  // namespace pramvix::testing
