#include "shared_clips.h"

#include <sys/stat.h>

#include "y4m_clip.h"

namespace pramvix::cli {

namespace {

std::string KeyOf(const std::string& path) {
  if (path == "-") return "-";
  struct stat status {};
  if (stat(path.c_str(), &status) != 0) return "path:" + path;
  return "file:" + std::to_string(status.st_dev) + ":" + std::to_string(status.st_ino);
}

}  // namespace

PClip SharedClips::Open(const std::string& path) {
  const std::string key = KeyOf(path);
  std::lock_guard<std::mutex> lock(mutex_);
  auto found = opened_.find(key);
  if (found != opened_.end()) return found->second;
  PClip clip = OpenClip(path);
  if (auto* stream = dynamic_cast<Y4MClip*>(clip.get())) stream->KeepAhead(ahead_);
  opened_.emplace(key, clip);
  return clip;
}

void SharedClips::KeepAhead(int frames) {
  std::lock_guard<std::mutex> lock(mutex_);
  ahead_ = frames;
  for (auto& entry : opened_) {
    if (auto* stream = dynamic_cast<Y4MClip*>(entry.second.get())) stream->KeepAhead(frames);
  }
}

}  // namespace pramvix::cli
