#include "progress.h"

#include <cstdio>

namespace pramvix::cli {

Progress::Progress(bool enabled) : enabled_(enabled), start_(Clock::now()), shown_(start_) {}

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
  std::fprintf(stderr, "\rpramvix: %d frames, %.1f fps ", frames, seconds > 0 ? frames / seconds : 0.0);
}

}  // namespace pramvix::cli
