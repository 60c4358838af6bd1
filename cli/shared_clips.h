#pragma once
#include <map>
#include <string>

#include "host/host.h"

namespace pramvix::cli {

// Opens clip arguments so that the same file, or standard input, named more
// than once is one clip: opened once and each frame read once, the frames
// shared by every call that names it. Files are the same when they are the
// same file on disk, whatever path names them.
class SharedClips {
 public:
  PClip Open(const std::string& path);

 private:
  std::map<std::string, PClip> opened_;
};

}  // namespace pramvix::cli
