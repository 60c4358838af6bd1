#include "call_report.h"

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <cstdlib>

#include "base/arithmetic.h"
#include "function_help.h"
#include "y4m_clip.h"

namespace pramvix::cli {

namespace {

// Index of the argument with this name in the function table's row, or -1.
int ArgumentIndex(const CallWords& call, const char* name) {
  for (size_t i = 0; i < call.params.size(); ++i) {
    if (ArgumentName(call.function, call.params, i) == name) return static_cast<int>(i);
  }
  return -1;
}

struct RegionArgs {
  bool present = false;
  int x = 0, y = 0, width = 0, height = 0;
};

RegionArgs RegionOf(const CallWords& call) {
  const int ix = ArgumentIndex(call, "x"), iy = ArgumentIndex(call, "y");
  const int iw = ArgumentIndex(call, "width"), ih = ArgumentIndex(call, "height");
  if (ix < 0 || iy < 0 || iw < 0 || ih < 0) return {};
  return {true, call.args[ix].AsInt(), call.args[iy].AsInt(), call.args[iw].AsInt(), call.args[ih].AsInt()};
}

std::string Size(const VideoInfo& vi) { return std::to_string(vi.width) + "x" + std::to_string(vi.height); }

PClip ClipAt(const CallWords& call, int i) { return i >= 0 && call.args[i].IsClip() ? call.args[i].AsClip() : PClip(); }

}  // namespace

std::string CallContext(const CallWords& call) {
  std::string text = "pramvix: " + call.function;
  if (const PClip clip = ClipAt(call, 0)) text += " on " + Size(clip->GetVideoInfo()) + " frames";
  const RegionArgs region = RegionOf(call);
  if (region.present) {
    text += ", region x " + std::to_string(region.x) + ", y " + std::to_string(region.y) + ", " +
            std::to_string(region.width) + "x" + std::to_string(region.height);
  }
  const int logo = ArgumentIndex(call, "logo_clip");
  const int frame = ArgumentIndex(call, "logo_frame");
  if (const PClip reference = ClipAt(call, logo)) {
    text += ", reference picture " + Size(reference->GetVideoInfo());
    if (frame >= 0) text += " (frame " + std::to_string(call.args[frame].AsInt()) + " of " + call.words[logo] + ")";
  }
  return text;
}

std::string NoLogoWarning(const CallWords& call, IScriptEnvironment* env) {
  const RegionArgs region = RegionOf(call);
  int at = ArgumentIndex(call, "threshold");
  const bool edges = at < 0;  // the detection functions look for steps of logo_threshold
  if (edges) at = ArgumentIndex(call, "logo_threshold");
  const PClip reference = ClipAt(call, ArgumentIndex(call, "logo_clip"));
  const int frameAt = ArgumentIndex(call, "logo_frame");
  if (!region.present || at < 0 || !reference || frameAt < 0 || region.width <= 0 || region.height <= 0) return "";
  const VideoInfo& vi = reference->GetVideoInfo();
  if (vi.num_frames == kUnknownLength || !vi.IsYUY2()) return "";  // a pipe is not read ahead
  // AddLogo's threshold is a float slot, read as the filter reads it; the
  // detection functions take the logo threshold's size. A threshold of 0 or
  // less (a mode of its own) or above any byte step gets no warning.
  const AVSValue& value = call.args[at];
  const int64_t raw = value.IsInt() ? value.AsInt() : TruncateToInt32(value.AsFloat());
  const int64_t threshold = edges && raw < 0 ? -raw : raw;
  if (threshold <= 0 || threshold > 255) return "";
  const int logoFrame = call.args[frameAt].AsInt();
  if (logoFrame < 0 || logoFrame >= vi.num_frames) return "";
  const PVideoFrame frame = reference->GetFrame(logoFrame, env);
  // In 64 bits: a region's end may lie beyond the 32-bit range.
  const int first = std::max(region.y, 0);
  const int last = static_cast<int>(std::min<int64_t>(int64_t{region.y} + region.height, frame->GetHeight()));
  const int left = std::max(region.x, 0);
  const int right = static_cast<int>(std::min<int64_t>(int64_t{region.x} + region.width, frame->GetRowSize() / 2));
  if (first >= last || left >= right) return "";
  for (int r = first; r < last; ++r) {
    const uint8_t* row = frame->GetReadPtr() + static_cast<ptrdiff_t>(r) * frame->GetPitch();
    for (int p = left; p < right; ++p) {
      const int against = edges ? row[2 * std::max(p - 2, 0)] : row[2 * left];
      if (std::abs(row[2 * p] - against) >= threshold) return "";
    }
  }
  return "pramvix: warning: at " + ArgumentName(call.function, call.params, at) + " " + std::to_string(threshold) +
         " the reference picture (" + call.words[ArgumentIndex(call, "logo_clip")] +
         ") shows no logo in the region; check the region and the threshold";
}

std::string NearestFunction(const std::string& name, const std::vector<local::LocalEnvironment::Function>& functions) {
  auto lower = [](std::string s) {
    for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return s;
  };
  const std::string wanted = lower(name);
  std::string best;
  size_t bestDistance = 4;  // more edits than this is no longer a typing slip
  for (const auto& function : functions) {
    const std::string candidate = lower(function.name);
    // Edit distance, one row at a time.
    std::vector<size_t> row(candidate.size() + 1);
    for (size_t j = 0; j < row.size(); ++j) row[j] = j;
    for (size_t i = 1; i <= wanted.size(); ++i) {
      size_t diagonal = row[0];
      row[0] = i;
      for (size_t j = 1; j <= candidate.size(); ++j) {
        const size_t up = row[j];
        row[j] = std::min({row[j] + 1, row[j - 1] + 1, diagonal + (wanted[i - 1] != candidate[j - 1])});
        diagonal = up;
      }
    }
    if (row.back() < bestDistance) {
      bestDistance = row.back();
      best = function.name;
    }
  }
  return best;
}

}  // namespace pramvix::cli
