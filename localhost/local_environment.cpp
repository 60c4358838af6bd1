#include "local_environment.h"

#include <algorithm>
#include <cctype>
#include <cstring>

#include "local_frame.h"
#include "shared_library.h"

namespace pramvix::local {

void LocalEnvironment::AddFunction(const char* name, const char* params, ApplyFunc apply, void* userData) {
  functions_.push_back(Function{name, params, apply, userData});
}

void LocalEnvironment::ThrowError(const char* message) { throw HostError(message); }

bool LocalEnvironment::MakeWritable(PVideoFrame* frame) {
  if (!*frame || (*frame)->IsWritable()) return false;
  const VideoFrame& source = **frame;
  auto* copy = new LocalFrame(source.GetRowSize(), source.GetHeight(), PitchFor(source.GetRowSize()),
                              LocalFrame::Start::kFilledByCaller);
  for (int r = 0; r < source.GetHeight(); ++r) {
    std::memcpy(copy->Bytes() + static_cast<size_t>(r) * copy->GetPitch(),
                source.GetReadPtr() + static_cast<size_t>(r) * source.GetPitch(),
                static_cast<size_t>(source.GetRowSize()));
  }
  *frame = PVideoFrame(copy);
  std::lock_guard<std::mutex> lock(mutex_);
  ++copies_;
  return true;
}

PVideoFrame LocalEnvironment::NewFrameLike(const PVideoFrame& frame) {
  if (!frame) return {};
  const int rowSize = frame->GetRowSize();
  PVideoFrame made(new LocalFrame(rowSize, frame->GetHeight(), PitchFor(rowSize), LocalFrame::Start::kFilledByCaller));
  std::lock_guard<std::mutex> lock(mutex_);
  ++newFrames_;
  return made;
}

int LocalEnvironment::NewFrames() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return newFrames_;
}

int LocalEnvironment::Copies() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return copies_;
}

void LocalEnvironment::LoadPlugin(const std::string& path) {
  // The library stays loaded: filters it built may outlive this host.
  std::string reason;
  void* library = local::OpenLibrary(path, &reason);
  if (!library) throw HostError("Cannot load plugin '" + path + "': " + reason);
  using Init = const char* (*)(IScriptEnvironment*);
  auto init = reinterpret_cast<Init>(local::FindSymbol(library, "AvisynthPluginInit"));
  if (!init) throw HostError("'" + path + "' cannot be used as a plugin");
  init(this);
}

// Script function names ignore case, as in the frame server's script language.
const LocalEnvironment::Function* LocalEnvironment::Find(const std::string& name) const {
  const auto same = [](const std::string& a, const std::string& b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
             return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
           });
  };
  for (const Function& function : functions_) {
    if (same(function.name, name)) return &function;
  }
  return nullptr;
}

bool Matches(char letter, const AVSValue& value) {
  switch (letter) {
    case 'c': return value.IsClip() && value.AsClip();
    case 'i': return value.IsInt();
    case 'f': return value.IsFloat();
    case 'b': return value.IsBool();
    case 's': return value.IsString();
    default: return false;
  }
}

AVSValue LocalEnvironment::Invoke(const std::string& name, const std::vector<AVSValue>& args) {
  const Function* function = Find(name);
  if (!function) throw HostError("There is no function named '" + name + "'");
  bool fits = args.size() == function->params.size();
  for (size_t i = 0; fits && i < args.size(); ++i) fits = Matches(function->params[i], args[i]);
  if (!fits) throw HostError("Invalid arguments to function '" + name + "'");
  return function->apply(AVSValue(args), function->userData, this);
}

}  // namespace pramvix::local
