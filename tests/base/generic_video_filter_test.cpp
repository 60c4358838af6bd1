#include <gtest/gtest.h>

#include <vector>

#include "support/host_test.h"

namespace pramvix::testing {
namespace {

class FilterBaseTest : public HostTest {};

// Description, parity and audio come from the first clip; version is 1.
TEST_F(FilterBaseTest, PassesEverythingButFramesToTheFirstClip) {
  const PClip main = MemoryClip::Of({Picture::YUY2(8, 2), Picture::YUY2(8, 2), Picture::YUY2(8, 2)});
  const PClip logo = MemoryClip::Of({Picture::YUY2(8, 2)});
  const PClip filter = env.Invoke("NoLogo", {main, logo, 0, 10, 0, 0, 2, 2}).AsClip();
  const VideoInfo& a = filter->GetVideoInfo();
  const VideoInfo& b = main->GetVideoInfo();
  EXPECT_EQ(a.width, b.width);
  EXPECT_EQ(a.height, b.height);
  EXPECT_EQ(a.num_frames, 3);
  EXPECT_EQ(a.pixel_type, kPixelYUY2);
  EXPECT_EQ(a.audio_samples_per_second, b.audio_samples_per_second);
  EXPECT_EQ(a.num_audio_samples, b.num_audio_samples);
  EXPECT_EQ(filter->GetVersion(), 1);
  EXPECT_FALSE(filter->GetParity(2));
  EXPECT_TRUE(filter->GetParity(3));
  std::vector<uint8_t> fromFilter(40), fromClip(40);
  filter->GetAudio(fromFilter.data(), 7, 10, &env);
  main->GetAudio(fromClip.data(), 7, 10, &env);
  EXPECT_EQ(fromFilter, fromClip);
  EXPECT_EQ(fromFilter[0], 28);
}

}  // namespace
}  // namespace pramvix::testing
