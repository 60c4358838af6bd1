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
  auto found = opened_.find(key);
  if (found != opened_.end()) return found->second;
  PClip clip = OpenClip(path);
  opened_.emplace(key, clip);
  return clip;
}

}  // namespace pramvix::cli
