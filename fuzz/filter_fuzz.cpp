// Drives every registered script function with arguments made from the
// fuzzer's bytes. Each call must return a frame or raise a host error; input
// frames stay untouched, guard and padding bytes stay intact, and every clip
// and frame is released afterwards.
#include <cstdio>
#include <cstdlib>

#include "fuzz_inputs.h"
#include "local_environment.h"
#include "local_frame.h"
#include "memory_clip.h"
#include "plugin/function_table.h"

using namespace pramvix;

namespace {

[[noreturn]] void Fail(const char* what, const std::string& function) {
  std::fprintf(stderr, "filter_fuzz: %s (%s)\n", what, function.c_str());
  std::abort();
}

bool Intact(const PVideoFrame& frame) { return static_cast<const local::LocalFrame*>(frame.get())->Intact(); }

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static local::LocalEnvironment* env = [] {
    auto* host = new local::LocalEnvironment;
    RegisterFunctions(host);
    return host;
  }();
  FuzzedDataProvider in(data, size);
  const auto& functions = env->Functions();
  const auto& function = functions[in.ConsumeIntegralInRange<size_t>(0, functions.size() - 1)];
  env->SetPitchPadding(in.ConsumeIntegralInRange(0, 40));

  const int clipsBefore = local::MemoryClip::Live(), framesBefore = local::LocalFrame::Live();
  {
    std::vector<local::Picture> pictures;
    std::vector<AVSValue> args;
    std::vector<PClip> clips;
    for (char letter : function.params) {
      if (letter == 'c') {
        clips.push_back(fuzz::FuzzClip(in, pictures));
        args.emplace_back(clips.back());
      } else if (letter == 'f' && in.ConsumeBool()) {
        args.emplace_back(fuzz::FuzzFloat(in));
      } else {
        args.emplace_back(fuzz::FuzzInt(in));
      }
    }
    try {
      const PClip filter = env->Invoke(function.name, args).AsClip();
      const int requests = in.ConsumeIntegralInRange(1, 3);
      for (int i = 0; i < requests; ++i) {
        try {
          const PVideoFrame frame = filter->GetFrame(fuzz::FuzzInt(in), env);
          if (!frame || !Intact(frame)) Fail("a frame's guard or padding bytes changed", function.name);
        } catch (const local::HostError&) {
        }
      }
    } catch (const local::HostError&) {
    }
    // The input clips' own frames are shared: no filter may have written them.
    size_t next = 0;
    for (const PClip& clip : clips) {
      for (int n = 0; n < clip->GetVideoInfo().num_frames; ++n) {
        const PVideoFrame frame = clip->GetFrame(n, env);
        if (!Intact(frame) || local::PictureOf(frame) != pictures[next++]) Fail("an input frame changed", function.name);
      }
    }
  }
  if (local::MemoryClip::Live() != clipsBefore || local::LocalFrame::Live() != framesBefore) {
    Fail("a clip or frame was left alive", function.name);
  }
  return 0;
}
