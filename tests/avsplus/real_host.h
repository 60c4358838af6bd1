#pragma once
// A host of our own around the real AviSynth+ library: one script environment
// that loads plug-ins, evaluates scripts and hands out what the resulting clip
// holds. It loads the library as real hosts do (dlopen with RTLD_LOCAL; LoadLibrary on
// Windows), and
// makes every call through the call table the environment hands out, so
// nothing of the host's joins the process's global symbols (where a plug-in's
// own exported AVS_linkage would bind to it). Its header is free of avisynth.h,
// so tests can use it beside our own host interface.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace pramvix::avsplus_test {

// A frame's visible bytes, rows packed, with the geometry the host gave it.
struct DumpedFrame {
  int rowSize = 0;
  int height = 0;
  int pitch = 0;
  std::vector<uint8_t> bytes;
};

// What the host says about a clip.
struct ClipFacts {
  int width = 0;
  int height = 0;
  int numFrames = 0;
  bool yuy2 = false;
  unsigned fpsNumerator = 0;
  unsigned fpsDenominator = 0;
  int audioRate = 0;
  int64_t audioSamples = 0;
  int channels = 0;
  int bytesPerAudioFrame = 0;  // one sample of every channel
  bool operator==(const ClipFacts& o) const {
    return width == o.width && height == o.height && numFrames == o.numFrames && yuy2 == o.yuy2 &&
           fpsNumerator == o.fpsNumerator && fpsDenominator == o.fpsDenominator && audioRate == o.audioRate &&
           audioSamples == o.audioSamples && channels == o.channels && bytesPerAudioFrame == o.bytesPerAudioFrame;
  }
};

// The AviSynth+ library this host loads: $PRAMVIX_AVISYNTH_LIBRARY when set,
// otherwise the one found when the tests were built.
std::string AviSynthLibraryPath();

// Every call returns the host's error text, or an empty string on success.
class RealHost {
 public:
  // Throws std::runtime_error when the library cannot be loaded or cannot make
  // an environment. A non-empty `autoloadDir` is added to the host's autoload
  // folders before anything else happens.
  explicit RealHost(const std::string& autoloadDir = "");
  ~RealHost();
  RealHost(const RealHost&) = delete;
  RealHost& operator=(const RealHost&) = delete;

  std::string Version() const;
  std::string LoadPlugin(const std::string& path);
  bool FunctionExists(const std::string& name) const;

  // Evaluates a script (named "test" in error locations) and keeps its clip.
  std::string Evaluate(const std::string& script);
  ClipFacts Facts() const;
  std::string Frame(int n, DumpedFrame* out) const;
  // The integer frame property `key` of frame n; an error text when the frame
  // has none of that name.
  std::string IntProperty(int n, const std::string& key, int64_t* value) const;
  // Asks for frame n and lets it go, for timing the frames alone.
  std::string Fetch(int n) const;
  std::string Audio(int64_t start, int64_t count, std::vector<uint8_t>* out) const;
  bool Parity(int n) const;
  // Drops the script's clip, and with it every filter only it used.
  void ReleaseClip();

  // Frames handed out by the host filter KeepFrames(clip), which keeps a
  // handle on each, and how many of those are shared by anyone else.
  int KeptFrames() const;
  int KeptFramesStillShared() const;

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

}  // namespace pramvix::avsplus_test
