// Frame requests on one filter from several threads at once give the same
// bytes as the same requests made one after another. Built with
// ThreadSanitizer, which also reports any data race in the filters or the
// local host (frame counts, reference counts, MakeWritable).
#include <gtest/gtest.h>

#include <thread>
#include <vector>

#include "local_environment.h"
#include "memory_clip.h"
#include "plugin/function_table.h"
#include "support/filter_calls.h"

namespace pramvix::testing {
namespace {

using local::MemoryClip;
using local::Picture;

constexpr int kThreads = 4;
constexpr int kRounds = 8;
constexpr int kFrames = 6;  // requests reach past the clip's last frame

std::vector<Picture> Pictures(int count, uint32_t seed) {
  std::vector<Picture> pictures;
  for (int i = 0; i < count; ++i) pictures.push_back(Patterned(32, 8, seed + static_cast<uint32_t>(i)));
  return pictures;
}

// Each function with its sample call, the main frames shared by the clip
// (each request writes MakeWritable's copy) or served writable.
TEST(ConcurrentRequests, GiveTheBytesOfSerialRequests) {
  local::LocalEnvironment env;
  RegisterFunctions(&env);
  env.SetPitchPadding(12);
  for (size_t f = 0; f < kFunctionCount; ++f) {
    const FilterCall* call = FilterCallOf(kFunctionTable[f].name);
    ASSERT_NE(call, nullptr) << "add a row for " << kFunctionTable[f].name << " to tests/support/filter_calls.cpp";
    for (const bool served : {false, true}) {
      SCOPED_TRACE(std::string(call->function) + (served ? " writable frames" : " shared frames"));
      const PClip main = MemoryClip::Of(Pictures(4, 100), 4);
      static_cast<MemoryClip*>(main.get())->ServeCopies(served);
      const CallInputs in{main, MemoryClip::Of(Pictures(2, 200), 8), MemoryClip::Of(Pictures(4, 300), 0), 1, 10,
                          Region{3, 1, 20, 6}};
      const PClip filter = env.Invoke(call->function, call->args(in)).AsClip();

      std::vector<Picture> serial;
      for (int n = 0; n < kFrames; ++n) serial.push_back(local::PictureOf(filter->GetFrame(n, &env)));

      // Each thread asks for every frame, kRounds times, starting at a frame of its own.
      std::vector<std::vector<Picture>> seen(kThreads);
      std::vector<std::thread> threads;
      for (int t = 0; t < kThreads; ++t) {
        threads.emplace_back([&, t] {
          const PClip mine = filter;
          for (int i = 0; i < kRounds * kFrames; ++i) {
            seen[t].push_back(local::PictureOf(mine->GetFrame((t + i) % kFrames, &env)));
          }
        });
      }
      for (std::thread& thread : threads) thread.join();

      int differing = 0;
      for (int t = 0; t < kThreads; ++t) {
        for (int i = 0; i < kRounds * kFrames; ++i) differing += seen[t][i] != serial[(t + i) % kFrames];
      }
      EXPECT_EQ(differing, 0);
      // The requests did change the frames, so equal bytes mean something.
      EXPECT_NE(serial[0], Pictures(1, 100)[0]);
    }
  }
}

}  // namespace
}  // namespace pramvix::testing
