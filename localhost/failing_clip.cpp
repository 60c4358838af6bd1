#include "failing_clip.h"

#include <utility>

#include "host_error.h"

namespace pramvix::local {

FailingClip::FailingClip(PClip clip, int failingFrame) : clip_(std::move(clip)), failingFrame_(failingFrame) {}

PVideoFrame FailingClip::GetFrame(int n, IScriptEnvironment* env) {
  if (n == failingFrame_) throw HostError(TextFor(n));
  return clip_->GetFrame(n, env);
}

std::string FailingClip::TextFor(int n) { return "FailingClip: frame " + std::to_string(n) + " cannot be read"; }

}  // namespace pramvix::local
