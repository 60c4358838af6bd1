#include "scan/exports.h"

#include <cstdio>

namespace pramvix::cli::scan {

namespace {

std::string Format(const char* format, double value) {
  char text[64];
  std::snprintf(text, sizeof text, format, value);
  return text;
}

std::string Seconds(double seconds) { return Format("%.3f", seconds); }

const char* StateName(bool present) { return present ? "logo" : "no logo"; }

}  // namespace

std::string CsvOf(const Timeline& timeline) {
  std::string csv = "frame,time,hits,misses,present\n";
  char line[128];
  for (size_t n = 0; n < timeline.frames.size(); ++n) {
    const FrameRecord& r = timeline.frames[n];
    std::snprintf(line, sizeof line, "%zu,%.3f,%lld,%lld,%d\n", n, timeline.SecondsAt(static_cast<double>(n)),
                  static_cast<long long>(r.hits), static_cast<long long>(r.misses), r.present ? 1 : 0);
    csv += line;
  }
  return csv;
}

std::string SegmentsText(const Timeline& timeline, const std::vector<Segment>& segments) {
  std::string text;
  char line[160];
  for (const Segment& s : segments) {
    const double start = timeline.SecondsAt(s.first), end = timeline.SecondsAt(s.last + 1.0);
    std::snprintf(line, sizeof line, "%-8s %s - %s  frames %d-%d  (%s s)\n", StateName(s.present),
                  ClockTime(start).c_str(), ClockTime(end).c_str(), s.first, s.last, Seconds(end - start).c_str());
    text += line;
  }
  return text;
}

std::string SegmentsJson(const Timeline& timeline, const std::vector<Segment>& segments, const ScanFacts& facts) {
  std::string json = "{\n  \"rule\": \"" + facts.rule + "\",\n";
  json += "  \"fps\": {\"numerator\": " + std::to_string(timeline.fpsNumerator) +
          ", \"denominator\": " + std::to_string(timeline.fpsDenominator) + "},\n";
  json += "  \"frames\": " + std::to_string(timeline.frames.size()) + ",\n";
  json += "  \"min_length\": " + Seconds(facts.minLength) + ",\n";
  json += "  \"segments\": [";
  for (size_t i = 0; i < segments.size(); ++i) {
    const Segment& s = segments[i];
    const double start = timeline.SecondsAt(s.first), end = timeline.SecondsAt(s.last + 1.0);
    json += i == 0 ? "\n" : ",\n";
    json += "    {\"logo\": " + std::string(s.present ? "true" : "false") +
            ", \"first_frame\": " + std::to_string(s.first) + ", \"last_frame\": " + std::to_string(s.last) +
            ", \"start\": " + Seconds(start) + ", \"end\": " + Seconds(end) + ", \"start_time\": \"" +
            ClockTime(start) + "\", \"end_time\": \"" + ClockTime(end) + "\"}";
  }
  json += segments.empty() ? "]\n}\n" : "\n  ]\n}\n";
  return json;
}

std::string ChaptersOf(const Timeline& timeline, const std::vector<Segment>& segments) {
  std::string text = ";FFMETADATA1\n";
  int counts[2] = {0, 0};
  for (const Segment& s : segments) {
    const int number = ++counts[s.present ? 1 : 0];
    text += "\n[CHAPTER]\nTIMEBASE=" + std::to_string(timeline.fpsDenominator) + "/" +
            std::to_string(timeline.fpsNumerator) + "\nSTART=" + std::to_string(s.first) +
            "\nEND=" + std::to_string(s.last + 1) + "\ntitle=" + (s.present ? "Logo " : "No logo ") +
            std::to_string(number) + "\n";
  }
  return text;
}

std::string CutListOf(const Timeline& timeline, const std::vector<Segment>& segments) {
  std::string expression;
  for (const Segment& s : segments) {
    if (!s.present) continue;
    if (!expression.empty()) expression += "+";
    const double from = s.first == 0 ? 0.0 : timeline.SecondsAt(s.first - 0.5);
    expression += "between(t," + Format("%.6f", from) + "," + Format("%.6f", timeline.SecondsAt(s.last + 0.5)) + ")";
  }
  return (expression.empty() ? "0" : expression) + "\n";
}

}  // namespace pramvix::cli::scan
