#pragma once
// The AviSynth+ bridge. Only the bridge's files include avisynth.h: its global
// names (IClip, PClip, AVSValue, ...) are written here with a leading ::, the
// filters' host interface with pramvix::.
#include <avisynth.h>

#include <cxxabi.h>

#include <exception>
#include <new>

#include "host/host.h"

namespace pramvix::avsplus {

// A real frame seen as one of ours: holds the real handle, copies nothing.
class RealFrame final : public pramvix::VideoFrame {
 public:
  explicit RealFrame(::PVideoFrame frame);
  const uint8_t* GetReadPtr() const override { return read_; }
  // Only while this wrapper is held by one handle and the real frame by it alone.
  uint8_t* GetWritePtr() override;
  int GetPitch() const override { return pitch_; }
  int GetRowSize() const override { return rowSize_; }
  int GetHeight() const override { return height_; }

  const ::PVideoFrame& Real() const { return frame_; }

 private:
  ::PVideoFrame frame_;
  const uint8_t* read_;
  int pitch_;
  int rowSize_;
  int height_;
};

// The real environment of one call from the host (a factory or a frame
// request), seen as ours. Lives on the stack of that call.
class RealEnvironment final : public pramvix::IScriptEnvironment {
 public:
  explicit RealEnvironment(::IScriptEnvironment* env) : env_(env) {}
  // Registers a row of the function table with the host.
  void AddFunction(const char* name, const char* params, ApplyFunc apply, void* user_data) override;
  // The host's error with exactly this text (never used as a format).
  [[noreturn]] void ThrowError(const char* message) override;
  // The host's MakeWritable on the real frame, which is then wrapped anew.
  bool MakeWritable(pramvix::PVideoFrame* frame) override;

  ::IScriptEnvironment* Real() const { return env_; }

 private:
  ::IScriptEnvironment* env_;
};

// A real clip (an argument of a script call) seen as one of ours.
class RealClip final : public pramvix::IClip {
 public:
  explicit RealClip(::PClip clip);
  pramvix::PVideoFrame GetFrame(int n, pramvix::IScriptEnvironment* env) override;
  bool GetParity(int n) override;
  void GetAudio(void* buf, int start, int count, pramvix::IScriptEnvironment* env) override;
  const pramvix::VideoInfo& GetVideoInfo() override { return vi_; }

 private:
  const ::PClip clip_;
  const pramvix::VideoInfo vi_;
};

// One of our filters handed to the host as a real clip. Description from the
// filter; parity and audio straight from the real first clip, with the host's
// 64-bit audio positions.
class FilterClip final : public ::IClip {
 public:
  FilterClip(pramvix::PClip filter, ::PClip first);
  int __stdcall GetVersion() override { return AVISYNTH_INTERFACE_VERSION; }
  ::PVideoFrame __stdcall GetFrame(int n, ::IScriptEnvironment* env) override;
  bool __stdcall GetParity(int n) override;
  void __stdcall GetAudio(void* buf, int64_t start, int64_t count, ::IScriptEnvironment* env) override;
  int __stdcall SetCacheHints(int cachehints, int frame_range) override;
  const ::VideoInfo& __stdcall GetVideoInfo() override { return vi_; }

 private:
  const pramvix::PClip filter_;
  const ::PClip first_;
  ::VideoInfo vi_;
};

// The host's description in our terms: YUY2 is 0x22, other layouts get codes
// that are not YUY2 so that the filters refuse them with their own texts.
pramvix::VideoInfo DescriptionOf(const ::VideoInfo& vi);

// A script value in our terms; clips are wrapped, never copied.
pramvix::AVSValue ValueOf(const ::AVSValue& value);

// Runs `work` so that nothing but the host's own error leaves it: any other
// exception becomes the host's error naming the plug-in.
template <class Work>
auto Guarded(::IScriptEnvironment* env, Work&& work) -> decltype(work()) {
  try {
    return work();
  } catch (const ::AvisynthError&) {
    throw;
  } catch (const abi::__forced_unwind&) {
    throw;  // thread cancellation must keep unwinding
  } catch (const std::bad_alloc&) {
    env->ThrowError("%s", "Pramvix: out of memory");
  } catch (const std::exception& error) {
    env->ThrowError("Pramvix: %s", error.what());
  } catch (...) {
    env->ThrowError("%s", "Pramvix: unexpected error");
  }
  throw ::AvisynthError("Pramvix: unexpected error");  // not reached: ThrowError raises
}

}  // namespace pramvix::avsplus
