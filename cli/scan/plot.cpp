#include "scan/plot.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>

namespace pramvix::cli::scan {

namespace {

// Digits, ':' and '.' in 3x5 cells, one row of bits per byte (4 = left column).
const uint8_t* GlyphOf(char c) {
  static const uint8_t kDigits[10][5] = {{7, 5, 5, 5, 7}, {2, 6, 2, 2, 7}, {7, 1, 7, 4, 7}, {7, 1, 7, 1, 7},
                                         {5, 5, 7, 1, 1}, {7, 4, 7, 1, 7}, {7, 4, 7, 5, 7}, {7, 1, 1, 2, 2},
                                         {7, 5, 7, 5, 7}, {7, 5, 7, 1, 7}};
  static const uint8_t kColon[5] = {0, 2, 0, 2, 0};
  static const uint8_t kPoint[5] = {0, 0, 0, 0, 2};
  if (c >= '0' && c <= '9') return kDigits[c - '0'];
  if (c == ':') return kColon;
  if (c == '.') return kPoint;
  return nullptr;
}

constexpr int kScale = 2;                  // font pixels per cell
constexpr int kAdvance = 4 * kScale;       // one character's width with its gap
constexpr int kStripHeight = 10;           // the per-frame decision strip
constexpr uint8_t kAxis[3] = {60, 60, 60};
constexpr uint8_t kRange[3] = {150, 170, 215};
constexpr uint8_t kThreshold[3] = {120, 120, 120};
constexpr uint8_t kMixed[3] = {230, 170, 40};
constexpr uint8_t kStripPresent[3] = {40, 140, 60};
constexpr uint8_t kStripAbsent[3] = {190, 50, 50};

class Canvas {
 public:
  explicit Canvas(RGBImage& image) : image_(image) {}
  void Set(int x, int y, const uint8_t* colour) {
    if (x < 0 || y < 0 || x >= image_.width || y >= image_.height) return;
    std::copy(colour, colour + 3, &image_.rgb[(static_cast<size_t>(y) * image_.width + x) * 3]);
  }
  void Column(int x, int y0, int y1, const uint8_t* colour) {
    for (int y = std::min(y0, y1); y <= std::max(y0, y1); ++y) Set(x, y, colour);
  }
  void Row(int y, int x0, int x1, const uint8_t* colour) {
    for (int x = x0; x <= x1; ++x) Set(x, y, colour);
  }
  void Text(int x, int y, const std::string& text, const uint8_t* colour) {
    for (char c : text) {
      if (const uint8_t* glyph = GlyphOf(c)) {
        for (int r = 0; r < 5 * kScale; ++r) {
          for (int col = 0; col < 3 * kScale; ++col) {
            if (glyph[r / kScale] & (4 >> (col / kScale))) Set(x + col, y + r, colour);
          }
        }
      }
      x += kAdvance;
    }
  }

 private:
  RGBImage& image_;
};

// "m:ss", minutes unbounded (a two-hour recording reads 120:00).
std::string MinutesSeconds(double time) {
  const long long seconds = static_cast<long long>(time);  // whole seconds of at most a tick count's reach
  char text[48];
  std::snprintf(text, sizeof text, "%lld:%02lld", seconds / 60, seconds % 60);
  return text;
}

// A tick step in seconds that gives at most about ten ticks.
double TickStep(double duration) {
  static const int kSteps[] = {1, 2, 5, 10, 15, 30, 60, 120, 300, 600, 900, 1200, 1800, 3600, 7200, 18000, 36000};
  for (int step : kSteps) {
    if (duration / step <= 10) return step;
  }
  return std::ceil(duration / 10);
}

double ShareOfHits(const FrameRecord& r) {
  const double all = static_cast<double>(r.hits) + static_cast<double>(r.misses);
  return all > 0 ? r.hits / all : 0.0;
}

}  // namespace

constexpr uint8_t PlotColours::kPresent[3];
constexpr uint8_t PlotColours::kAbsent[3];
constexpr uint8_t PlotColours::kMean[3];

PlotArea AreaOf(int width, int height) {
  PlotArea area;
  area.right = width - 16;
  area.bottom = height - 16 - 5 * kScale - 8 - kStripHeight - 6;
  return area;
}

RGBImage Plot(const Timeline& timeline, const std::vector<Segment>& merged, int width, int height) {
  RGBImage image;
  image.width = std::max(width, 200);
  image.height = std::max(height, 120);
  image.rgb.assign(static_cast<size_t>(image.width) * image.height * 3, 255);
  Canvas canvas(image);
  const PlotArea area = AreaOf(image.width, image.height);
  const int columns = area.right - area.left + 1;
  const int rows = area.bottom - area.top;
  const size_t count = timeline.frames.size();
  auto rowOf = [&](double share) { return area.bottom - static_cast<int>(share * rows + 0.5); };
  const int stripTop = area.bottom + 6;

  size_t segment = 0;
  for (int c = 0; c < columns && count > 0; ++c) {
    // The frames this column covers: at least one.
    const size_t from = count * static_cast<size_t>(c) / columns;
    const size_t to = std::max(from + 1, count * static_cast<size_t>(c + 1) / columns);
    const size_t middle = (from + to - 1) / 2;
    while (segment + 1 < merged.size() && merged[segment].last < static_cast<int>(middle)) ++segment;
    if (!merged.empty()) {
      canvas.Column(area.left + c, area.top, area.bottom,
                    merged[segment].present ? PlotColours::kPresent : PlotColours::kAbsent);
    }
    double low = 1, high = 0, sum = 0;
    size_t present = 0;
    for (size_t n = from; n < to; ++n) {
      const double share = ShareOfHits(timeline.frames[n]);
      low = std::min(low, share);
      high = std::max(high, share);
      sum += share;
      present += timeline.frames[n].present ? 1 : 0;
    }
    canvas.Column(area.left + c, rowOf(low), rowOf(high), kRange);
    const int mean = rowOf(sum / static_cast<double>(to - from));
    canvas.Column(area.left + c, mean, mean > area.top ? mean - 1 : mean, PlotColours::kMean);  // two rows thick
    const uint8_t* strip = present == to - from ? kStripPresent : (present == 0 ? kStripAbsent : kMixed);
    canvas.Column(area.left + c, stripTop, stripTop + kStripHeight - 1, strip);
  }

  // The decision's threshold: a frame shows the logo above a third of hits.
  for (int x = area.left; x <= area.right; x += 6) canvas.Row(rowOf(1.0 / 3), x, x + 2, kThreshold);
  // Axes, share labels, time ticks.
  canvas.Column(area.left - 1, area.top, area.bottom, kAxis);
  canvas.Row(area.bottom + 1, area.left - 1, area.right, kAxis);
  for (double share : {0.0, 0.5, 1.0}) {
    const std::string label = share == 0.5 ? "0.5" : (share > 0 ? "1" : "0");
    canvas.Row(rowOf(share), area.left - 5, area.left - 2, kAxis);
    canvas.Text(area.left - 8 - kAdvance * static_cast<int>(label.size()), rowOf(share) - 5, label, kAxis);
  }
  const double duration = timeline.SecondsAt(static_cast<double>(count));
  const double step = TickStep(duration);
  const int labelTop = stripTop + kStripHeight + 6;
  // Durations stay below 2^31 frames at any rate a Y4M header can state, far below 2^63 seconds.
  for (double t = 0; duration > 0 && t <= duration; t += step) {
    const int x = area.left + static_cast<int>(t / duration * (columns - 1) + 0.5);
    canvas.Column(x, area.bottom + 2, area.bottom + 4, kAxis);
    const std::string label = MinutesSeconds(t);
    const int textWidth = kAdvance * static_cast<int>(label.size()) - kScale;
    canvas.Text(std::min(std::max(x - textWidth / 2, 0), image.width - textWidth), labelTop, label, kAxis);
  }
  return image;
}

}  // namespace pramvix::cli::scan
