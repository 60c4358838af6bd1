// Drives every registered script function with arguments made from the
// fuzzer's bytes. Each call must return a frame or raise a host error; input
// frames stay untouched, guard and padding bytes stay intact, nothing outside
// the function's reach changes, and every clip and frame is released afterwards.
#include <cstdio>
#include <cstdlib>

#include "fuzz_inputs.h"
#include "local_environment.h"
#include "local_frame.h"
#include "memory_clip.h"
#include "plugin/function_table.h"
#include "support/filter_calls.h"

using namespace pramvix;

namespace {

[[noreturn]] void Fail(const char* what, const std::string& function) {
  std::fprintf(stderr, "filter_fuzz: %s (%s)\n", what, function.c_str());
  std::abort();
}

// The picture a clip of these pictures serves for frame n.
const local::Picture& Served(const std::vector<local::Picture>& pictures, int n) {
  const int last = static_cast<int>(pictures.size()) - 1;
  return pictures[static_cast<size_t>(n < 0 ? 0 : (n > last ? last : n))];
}

// Whether `out`, returned for frame n, differs from the main clip's frame n
// outside the function's documented reach (an alternate frame handed back as
// it came is fine).
bool WroteOutsideReach(const std::string& name, const std::vector<AVSValue>& args,
                       const std::vector<std::vector<local::Picture>>& pictures, int n, const local::Picture& out) {
  const testing::FilterCall* call = testing::FilterCallOf(name);
  if (!call) Fail("no reach is known", name);
  if (call->mayReturnAlternate && out == Served(pictures[1], n)) return false;
  const local::Picture& main = Served(pictures[0], n);
  if (out.rowSize != main.rowSize || out.height != main.height) return true;
  Region region;
  if (call->regionArg >= 0) {
    region = Region{args[call->regionArg].AsInt(), args[call->regionArg + 1].AsInt(),
                    args[call->regionArg + 2].AsInt(), args[call->regionArg + 3].AsInt()};
  }
  return !testing::StrayWrite(out, main, call->reach(region, main.rowSize / 2, main.height)).empty();
}

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
    std::vector<std::vector<local::Picture>> pictures;  // of each clip argument
    std::vector<AVSValue> args;
    std::vector<PClip> clips;
    for (char letter : function.params) {
      if (letter == 'c') {
        pictures.emplace_back();
        clips.push_back(fuzz::FuzzClip(in, pictures.back(), clips.empty() ? PClip() : clips.front()));
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
          const int n = fuzz::FuzzInt(in);
          const PVideoFrame frame = filter->GetFrame(n, env);
          if (!frame || !testing::Intact(frame)) Fail("a frame's guard or padding bytes changed", function.name);
          if (WroteOutsideReach(function.name, args, pictures, n, local::PictureOf(frame))) {
            Fail("a byte outside the function's reach changed", function.name);
          }
        } catch (const local::HostError&) {
        }
      }
    } catch (const local::HostError&) {
    }
    // The input clips' own frames are shared: no filter may have written them.
    for (size_t c = 0; c < clips.size(); ++c) {
      for (size_t n = 0; n < pictures[c].size(); ++n) {
        const PVideoFrame frame = clips[c]->GetFrame(static_cast<int>(n), env);
        if (!testing::Intact(frame) || local::PictureOf(frame) != pictures[c][n]) Fail("an input frame changed", function.name);
      }
    }
  }
  if (local::MemoryClip::Live() != clipsBefore || local::LocalFrame::Live() != framesBefore) {
    Fail("a clip or frame was left alive", function.name);
  }
  return 0;
}
