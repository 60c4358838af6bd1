#include "real_host.h"

#include <avisynth.h>

#include <cstdlib>
#include <cstring>
#include <mutex>
#include <stdexcept>

#include "shared_library.h"

// The host's call table, which every inline function of avisynth.h goes
// through; set from the environment. Hidden, like a plug-in's.
#ifdef _WIN32
const AVS_Linkage* AVS_linkage = nullptr;  // a DLL exports only what it marks
#else
__attribute__((visibility("hidden"))) const AVS_Linkage* AVS_linkage = nullptr;
#endif

namespace pramvix::avsplus_test {

std::string AviSynthLibraryPath() {
  const char* path = std::getenv("PRAMVIX_AVISYNTH_LIBRARY");
  return path && *path ? path : PRAMVIX_AVISYNTH_LIBRARY;
}

namespace {

using CreateEnvironment = ::IScriptEnvironment*(AVSC_CC*)(int version);

// The library, loaded once and kept for the process: plug-ins it loads may
// still run code (their exit hooks) until the process ends.
CreateEnvironment EnvironmentFactory() {
  static const CreateEnvironment create = [] {
    const std::string path = AviSynthLibraryPath();
    std::string reason;
    void* library = local::OpenLibrary(path, &reason);
    if (!library) throw std::runtime_error("cannot load AviSynth+ (" + path + "): " + reason);
    auto* found = reinterpret_cast<CreateEnvironment>(local::FindSymbol(library, "CreateScriptEnvironment"));
    if (!found) throw std::runtime_error(path + " has no CreateScriptEnvironment");
    return found;
  }();
  return create;
}

// A tiny filter of this host: its frames lack the last pixel of each row,
// served as sub-frames of the input. The host allocates no odd-width YUY2
// frames, so this is how a filter meets one.
class DropLastPixel : public ::GenericVideoFilter {
 public:
  DropLastPixel(::PClip clip, ::IScriptEnvironment* env) : GenericVideoFilter(clip) {
    if (!vi.IsYUY2() || vi.width < 2) env->ThrowError("DropLastPixel: YUY2 of width 2 or more only");
    vi.width -= 1;
  }
  ::PVideoFrame __stdcall GetFrame(int n, ::IScriptEnvironment* env) override {
    const ::PVideoFrame frame = child->GetFrame(n, env);
    return env->Subframe(frame, 0, frame->GetPitch(), frame->GetRowSize() - 2, frame->GetHeight());
  }
  int __stdcall SetCacheHints(int hints, int) override { return hints == CACHE_GET_MTMODE ? MT_NICE_FILTER : 0; }
};

::AVSValue __cdecl CreateDropLastPixel(::AVSValue args, void*, ::IScriptEnvironment* env) {
  return new DropLastPixel(args[0].AsClip(), env);
}

// Every frame KeepFrames has handed out, held here as well: once the clips
// that used them are gone, a frame still shared shows a count nobody gave back.
// The frames are fresh copies (properties included), so that no cache above
// KeepFrames (kept alive by the script's variables) holds them. A filter after
// it thus meets frames that others share.
struct FrameKeeper {
  std::mutex mutex;
  std::vector<::PVideoFrame> frames;
};

class KeepFrames : public ::GenericVideoFilter {
 public:
  KeepFrames(::PClip clip, FrameKeeper* keeper, ::IScriptEnvironment* env)
      : GenericVideoFilter(clip), keeper_(keeper) {
    if (!vi.IsYUY2()) env->ThrowError("KeepFrames: YUY2 only");
  }
  ::PVideoFrame __stdcall GetFrame(int n, ::IScriptEnvironment* env) override {
    const ::PVideoFrame source = child->GetFrame(n, env);
    ::PVideoFrame frame = env->NewVideoFrameP(vi, &source);  // with the source's properties
    env->BitBlt(frame->GetWritePtr(), frame->GetPitch(), source->GetReadPtr(), source->GetPitch(),
                source->GetRowSize(), source->GetHeight());
    const std::lock_guard<std::mutex> lock(keeper_->mutex);
    keeper_->frames.push_back(frame);
    return frame;
  }
  int __stdcall SetCacheHints(int hints, int) override { return hints == CACHE_GET_MTMODE ? MT_NICE_FILTER : 0; }

 private:
  FrameKeeper* keeper_;
};

::AVSValue __cdecl CreateKeepFrames(::AVSValue args, void* keeper, ::IScriptEnvironment* env) {
  return new KeepFrames(args[0].AsClip(), static_cast<FrameKeeper*>(keeper), env);
}

}  // namespace

struct RealHost::Impl {
  ::IScriptEnvironment* env = nullptr;
  ::PClip clip;
  FrameKeeper keeper;

  // Runs a host call and turns the host's error into its text.
  template <class Call>
  std::string Catch(Call&& call) {
    try {
      call();
    } catch (const ::AvisynthError& error) {
      return error.msg;
    } catch (const ::IScriptEnvironment::NotFound&) {
      return "not found";
    }
    return "";
  }
};

RealHost::RealHost(const std::string& autoloadDir) : impl_(std::make_unique<Impl>()) {
  impl_->env = EnvironmentFactory()(AVISYNTH_INTERFACE_VERSION);
  if (!impl_->env) throw std::runtime_error("AviSynth+ could not create a script environment");
  // Every environment of a library hands out the same table.
  AVS_linkage = impl_->env->GetAVSLinkage();
  impl_->env->AddFunction("DropLastPixel", "c", CreateDropLastPixel, nullptr);
  impl_->env->AddFunction("KeepFrames", "c", CreateKeepFrames, &impl_->keeper);
  if (!autoloadDir.empty()) {
    const std::string error = impl_->Catch([&] {
      const ::AVSValue args[2] = {autoloadDir.c_str(), true};
      impl_->env->Invoke("AddAutoloadDir", ::AVSValue(args, 2));
    });
    if (!error.empty()) throw std::runtime_error("AddAutoloadDir: " + error);
  }
}

RealHost::~RealHost() {
  impl_->clip = nullptr;  // every clip and frame goes before its environment
  impl_->keeper.frames.clear();
  impl_->env->DeleteScriptEnvironment();
}

std::string RealHost::Version() const {
  return impl_->env->Invoke("VersionString", ::AVSValue(nullptr, 0)).AsString();
}

std::string RealHost::LoadPlugin(const std::string& path) {
  return impl_->Catch([&] { impl_->env->Invoke("LoadPlugin", ::AVSValue(path.c_str())); });
}

bool RealHost::FunctionExists(const std::string& name) const { return impl_->env->FunctionExists(name.c_str()); }

std::string RealHost::Evaluate(const std::string& script) {
  impl_->clip = nullptr;
  return impl_->Catch([&] {
    const ::AVSValue args[2] = {script.c_str(), "test"};
    const ::AVSValue result = impl_->env->Invoke("Eval", ::AVSValue(args, 2));
    if (!result.IsClip()) impl_->env->ThrowError("the script returned no clip");
    impl_->clip = result.AsClip();
  });
}

ClipFacts RealHost::Facts() const {
  const ::VideoInfo& vi = impl_->clip->GetVideoInfo();
  return ClipFacts{vi.width, vi.height, vi.num_frames, vi.IsYUY2(), vi.fps_numerator, vi.fps_denominator,
                   vi.audio_samples_per_second, vi.num_audio_samples, vi.nchannels,
                   vi.HasAudio() ? vi.BytesPerAudioSample() : 0};
}

std::string RealHost::Frame(int n, DumpedFrame* out) const {
  return impl_->Catch([&] {
    const ::PVideoFrame frame = impl_->clip->GetFrame(n, impl_->env);
    out->rowSize = frame->GetRowSize();
    out->height = frame->GetHeight();
    out->pitch = frame->GetPitch();
    out->bytes.resize(static_cast<size_t>(out->rowSize) * out->height);
    for (int r = 0; r < out->height; ++r) {
      std::memcpy(out->bytes.data() + static_cast<size_t>(r) * out->rowSize,
                  frame->GetReadPtr() + static_cast<ptrdiff_t>(r) * out->pitch, static_cast<size_t>(out->rowSize));
    }
  });
}

std::string RealHost::IntProperty(int n, const std::string& key, int64_t* value) const {
  return impl_->Catch([&] {
    const ::PVideoFrame frame = impl_->clip->GetFrame(n, impl_->env);
    int error = 0;
    *value = impl_->env->propGetInt(impl_->env->getFramePropsRO(frame), key.c_str(), 0, &error);
    if (error != 0) impl_->env->ThrowError("the frame has no integer property %s", key.c_str());
  });
}

std::string RealHost::Fetch(int n) const {
  return impl_->Catch([&] { const ::PVideoFrame frame = impl_->clip->GetFrame(n, impl_->env); });
}

std::string RealHost::Audio(int64_t start, int64_t count, std::vector<uint8_t>* out) const {
  return impl_->Catch([&] {
    const ::VideoInfo& vi = impl_->clip->GetVideoInfo();
    out->assign(static_cast<size_t>(count * vi.BytesPerAudioSample()), 0);
    impl_->clip->GetAudio(out->data(), start, count, impl_->env);
  });
}

bool RealHost::Parity(int n) const { return impl_->clip->GetParity(n); }

void RealHost::ReleaseClip() { impl_->clip = nullptr; }

int RealHost::KeptFrames() const { return static_cast<int>(impl_->keeper.frames.size()); }

int RealHost::KeptFramesStillShared() const {
  int shared = 0;
  for (const ::PVideoFrame& frame : impl_->keeper.frames) shared += !frame->IsWritable();
  return shared;
}

}  // namespace pramvix::avsplus_test
