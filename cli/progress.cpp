#include "progress.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace pramvix::cli {

Progress::Progress(bool enabled, int total) : enabled_(enabled), total_(total), start_(Clock::now()), shown_(start_) {}

Progress::~Progress() {
  if (enabled_ && frames_ > 0) std::fputc('\n', stderr);
}

void Progress::Update(int frames) {
  frames_ = frames;
  if (!enabled_) return;
  const auto now = Clock::now();
  if (now - shown_ < std::chrono::milliseconds(250)) return;
  shown_ = now;
  const double seconds = std::chrono::duration<double>(now - start_).count();
  const double fps = seconds > 0 ? frames / seconds : 0.0;
  if (total_ <= 0) {
    std::fprintf(stderr, "\rpramvix: %d frames, %.1f fps ", frames, fps);
    return;
  }
  const long left = fps > 0 ? std::lround(std::max(total_ - frames, 0) / fps) : 0;
  std::fprintf(stderr, "\rpramvix: %d/%d frames, %.1f fps, %ld:%02ld left ", frames, total_, fps, left / 60,
               left % 60);
}

}  // namespace pramvix::cli
