#include "scan/segments.h"

#include <set>
#include <utility>

namespace pramvix::cli::scan {

std::vector<Segment> RunsOf(const std::vector<FrameRecord>& frames) {
  std::vector<Segment> runs;
  for (size_t n = 0; n < frames.size(); ++n) {
    const int frame = static_cast<int>(n);
    if (!runs.empty() && runs.back().present == frames[n].present) {
      runs.back().last = frame;
    } else {
      runs.push_back(Segment{frames[n].present, frame, frame});
    }
  }
  return runs;
}

std::vector<Segment> MergeShort(std::vector<Segment> runs, int minFrames) {
  // Runs form a list (neighbours by index); merged runs are marked dead and
  // absorbed into their left neighbour, or their right one at the start.
  const int count = static_cast<int>(runs.size());
  std::vector<int> prev(count), next(count);
  std::vector<bool> alive(count, true);
  std::set<std::pair<int, int>> shortRuns;  // (length, index): runs are in frame order
  for (int i = 0; i < count; ++i) {
    prev[i] = i - 1;
    next[i] = i + 1 < count ? i + 1 : -1;
  }
  auto keyOf = [&](int i) { return std::make_pair(runs[i].Length(), i); };
  for (int i = 0; i < count; ++i) {
    if (runs[i].Length() < minFrames) shortRuns.insert(keyOf(i));
  }
  int left = count;
  while (!shortRuns.empty() && left > 1) {
    const int i = shortRuns.begin()->second;
    shortRuns.erase(shortRuns.begin());
    // The run and both neighbours become one run kept at the leftmost index.
    const int a = prev[i] >= 0 ? prev[i] : i;
    const int b = next[i];
    const int end = b >= 0 ? b : i;
    for (int j : {a, b}) {
      if (j >= 0) shortRuns.erase(keyOf(j));
    }
    if (a == i) runs[i].present = runs[b].present;  // the first run takes its right neighbour's state
    runs[a].last = runs[end].last;
    for (int j = next[a]; j >= 0 && j != next[end]; j = next[j]) {
      alive[j] = false;
      --left;
    }
    next[a] = next[end];
    if (next[a] >= 0) prev[next[a]] = a;
    if (runs[a].Length() < minFrames && left > 1) shortRuns.insert(keyOf(a));
  }
  std::vector<Segment> merged;
  for (int i = 0; i < count; ++i) {
    if (alive[i]) merged.push_back(runs[i]);
  }
  return merged;
}

}  // namespace pramvix::cli::scan
