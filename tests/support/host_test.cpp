#include "support/host_test.h"

#include "plugin/function_table.h"

namespace pramvix::testing {

HostTest::HostTest() { RegisterFunctions(&env); }

Picture HostTest::Run(const std::string& function, const std::vector<AVSValue>& args, int n) {
  const PClip filter = env.Invoke(function, args).AsClip();
  const PVideoFrame frame = filter->GetFrame(n, &env);
  EXPECT_TRUE(static_cast<const LocalFrame*>(frame.get())->Intact()) << "guard or padding bytes changed";
  return local::PictureOf(frame);
}

std::string HostTest::ErrorOf(const std::string& function, const std::vector<AVSValue>& args, int n) {
  try {
    const PClip filter = env.Invoke(function, args).AsClip();
    filter->GetFrame(n, &env);
  } catch (const HostError& error) {
    return error.what();
  }
  return "";
}

PClip ClipOf(const Picture& picture, int pitchPadding) { return MemoryClip::Of({picture}, pitchPadding); }

Picture Rows(const std::vector<std::vector<int>>& lumas) {
  Picture picture = Picture::YUY2(static_cast<int>(lumas[0].size()), static_cast<int>(lumas.size()));
  for (size_t r = 0; r < lumas.size(); ++r) picture.SetLumaRow(static_cast<int>(r), 0, lumas[r]);
  return picture;
}

std::vector<Picture> FramesOf(const PClip& clip, IScriptEnvironment* env, int first, int last) {
  std::vector<Picture> frames;
  for (int n = first; n <= last; ++n) frames.push_back(local::PictureOf(clip->GetFrame(n, env)));
  return frames;
}

}  // namespace pramvix::testing
