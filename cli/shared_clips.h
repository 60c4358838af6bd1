#pragma once
#include <map>
#include <mutex>
#include <string>

#include "host/host.h"

namespace pramvix::cli {

// Opens clip arguments so that the same file, or standard input, named more
// than once is one clip: opened once and each frame read once, the frames
// shared by every call that names it. Files are the same when they are the
// same file on disk, whatever path names them.
// Opening may come from several threads; the clips take requests from several
// threads at once.
class SharedClips {
 public:
  PClip Open(const std::string& path);
  // Y4MClip::KeepAhead for every stream opened, before and after.
  void KeepAhead(int frames);

 private:
  std::mutex mutex_;
  int ahead_ = 0;
  std::map<std::string, PClip> opened_;
};

}  // namespace pramvix::cli
