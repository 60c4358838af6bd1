#pragma once
// The AviSynth C-interface bridge: the host's clips, frames and environment
// seen through our host interface, and our filters handed to the host as C
// filters. Only the bridge's files include avisynth_c.h. Nothing may unwind
// into the host: every callback turns an exception into the host's error value.
#include <new>
#include <stdexcept>
#include <string>
#include <utility>

#ifndef _WIN32
#include <cxxabi.h>
#endif

#include "avsc/host_calls.h"
#include "host/host.h"

namespace pramvix::avsc {

// An error raised through our environment: its text reaches the script's
// caller unchanged.
class ScriptError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// A host frame seen as one of ours. Holds one count on the host frame and
// gives it back when the wrapper goes.
class CFrame final : public pramvix::VideoFrame {
 public:
  explicit CFrame(AVS_VideoFrame* frame);  // takes over the caller's count
  ~CFrame() override;
  const uint8_t* GetReadPtr() const override { return read_; }
  // Only while this wrapper is held by one handle and the host frame by it alone.
  uint8_t* GetWritePtr() override;
  int GetPitch() const override { return pitch_; }
  int GetRowSize() const override { return rowSize_; }
  int GetHeight() const override { return height_; }

  AVS_VideoFrame* Real() const { return frame_; }

 private:
  AVS_VideoFrame* frame_;
  const uint8_t* read_;
  int pitch_;
  int rowSize_;
  int height_;
};

// The host environment of one call (a factory or a frame request), seen as ours.
class CEnvironment final : public pramvix::IScriptEnvironment {
 public:
  explicit CEnvironment(AVS_ScriptEnvironment* env) : env_(env) {}
  void AddFunction(const char* name, const char* params, ApplyFunc apply, void* user_data) override;
  [[noreturn]] void ThrowError(const char* message) override;
  bool MakeWritable(pramvix::PVideoFrame* frame) override;
  pramvix::PVideoFrame NewFrameLike(const pramvix::PVideoFrame& frame) override;

 private:
  AVS_ScriptEnvironment* env_;
};

// A host clip (an argument of a script call) seen as one of ours. Owns its
// AVS_Clip handle.
class CClip final : public pramvix::IClip {
 public:
  explicit CClip(AVS_Clip* clip);
  ~CClip() override;
  pramvix::PVideoFrame GetFrame(int n, pramvix::IScriptEnvironment* env) override;
  bool GetParity(int n) override;
  void GetAudio(void* buf, int start, int count, pramvix::IScriptEnvironment* env) override;
  const pramvix::VideoInfo& GetVideoInfo() override { return vi_; }

 private:
  AVS_Clip* const clip_;
  const pramvix::VideoInfo vi_;
};

// The host's description in our terms: YUY2 is 0x22, other layouts get codes
// that are not YUY2 so that the filters refuse them with their own texts.
pramvix::VideoInfo DescriptionOf(const AVS_VideoInfo& vi);

// A script value in our terms; clips are wrapped, never copied.
pramvix::AVSValue ValueOf(const AVS_Value& value, AVS_ScriptEnvironment* env);

// Hands one of our filters to the host as a C filter whose description is the
// filter's and whose parity and audio are `first`'s. Returns the clip value.
AVS_Value NewHostFilter(pramvix::PClip filter, const AVS_Value& first, AVS_ScriptEnvironment* env);

// A copy of `text` that lives as long as the host environment.
const char* Saved(AVS_ScriptEnvironment* env, const std::string& text);

// Runs `work`; on failure returns false with the error's text in *error.
// Our errors keep their text (even an empty one); anything else becomes an
// error naming the plug-in.
template <class Work>
bool Guarded(Work&& work, std::string* error) {
  try {
    work();
    return true;
#ifndef _WIN32
  } catch (const abi::__forced_unwind&) {
    throw;  // thread cancellation must keep unwinding
#endif
  } catch (const ScriptError& raised) {
    *error = raised.what();
  } catch (const std::bad_alloc&) {
    *error = "Pramvix: out of memory";
  } catch (const std::exception& raised) {
    *error = std::string("Pramvix: ") + raised.what();
  } catch (...) {
    *error = "Pramvix: unexpected error";
  }
  return false;
}

}  // namespace pramvix::avsc
