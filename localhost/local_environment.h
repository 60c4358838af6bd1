#pragma once
#include <mutex>
#include <string>
#include <vector>

#include "host/host.h"
#include "host_error.h"

namespace pramvix::local {

// An in-process frame server behind the host interface: a function registry
// that plug-ins fill through their entry point, script calls checked against
// each function's type string, errors as HostError, and frames of its own.
class LocalEnvironment final : public IScriptEnvironment {
 public:
  struct Function {
    std::string name;
    std::string params;
    ApplyFunc apply;
    void* userData;
  };

  void AddFunction(const char* name, const char* params, ApplyFunc apply, void* userData) override;
  [[noreturn]] void ThrowError(const char* message) override;
  // Copies the frame only when another handle shares it.
  bool MakeWritable(PVideoFrame* frame) override;
  // A frame of the same geometry with this host's pitch, its bytes unset.
  PVideoFrame NewFrameLike(const PVideoFrame& frame) override;

  // Loads a plug-in library and calls its AvisynthPluginInit with this host.
  void LoadPlugin(const std::string& path);

  // Calls a script function: the arguments must match its type string ("c" a
  // clip, "i" an integer, "f" a float or an integer).
  AVSValue Invoke(const std::string& name, const std::vector<AVSValue>& args);

  const std::vector<Function>& Functions() const { return functions_; }
  const Function* Find(const std::string& name) const;

  // Rows of the frames this host makes (MakeWritable's copies) are this many
  // bytes longer than their data, on top of rounding up to 16 bytes.
  void SetPitchPadding(int bytes) { pitchPadding_ = bytes; }
  int PitchFor(int rowSize) const { return (rowSize + 15) / 16 * 16 + pitchPadding_; }

  int Copies() const;    // frames MakeWritable has copied
  int NewFrames() const;  // frames NewFrameLike has made

 private:
  std::vector<Function> functions_;
  int pitchPadding_ = 0;
  mutable std::mutex mutex_;
  int copies_ = 0;
  int newFrames_ = 0;
};

// Whether a value fits one letter of a type string.
bool Matches(char letter, const AVSValue& value);

}  // namespace pramvix::local
