// Feeds `pramvix logo`'s analysis clips made from arbitrary bytes: a size (up
// to 64x48), a frame count, a sampling rule, a region or none, a file or a
// pipe, 4:2:2 or 4:2:0, and pictures whose background is flat in some frames
// and moves through the input's bytes in others, under a patch blended over
// it that stays put, as a logo would. Each input must give a reference
// picture that fits its frame, or a refusal.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

#include "byte_source.h"
#include "cli_error.h"
#include "logo/analysis.h"
#include "y4m.h"

namespace {

// The input's bytes in turn, then zeros.
class Draw {
 public:
  Draw(const uint8_t* data, size_t size) : data_(data), size_(size) {}
  uint8_t Byte() { return at_ < size_ ? data_[at_++] : 0; }
  int UpTo(int most) { return Byte() % (most + 1); }
  // What is left, for the pictures (at least one byte).
  std::string Rest() const {
    return at_ < size_ ? std::string(reinterpret_cast<const char*>(data_ + at_), size_ - at_) : std::string(1, '\0');
  }

 private:
  const uint8_t* data_;
  size_t size_;
  size_t at_ = 0;
};

void Fail(const char* what) {
  std::fprintf(stderr, "logo_fuzz: %s\n", what);
  std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace pramvix::cli;
  Draw draw(data, size);
  const int width = 2 * (1 + draw.UpTo(31)), height = 1 + draw.UpTo(47), frames = 1 + draw.UpTo(47);
  const uint8_t flags = draw.Byte();
  const bool is422 = (flags & 1) != 0 || height % 2 != 0, seekable = (flags & 2) != 0;
  logo::SampleRule rule;
  rule.first = draw.UpTo(3);
  rule.last = (flags & 4) != 0 ? -1 : rule.first + draw.UpTo(63);
  rule.cap = 1 + draw.UpTo(63);
  logo::AnalysisOptions options;
  if ((flags & 8) != 0) options.region = logo::Box{draw.UpTo(70), draw.UpTo(50), draw.UpTo(70), draw.UpTo(50)};
  const logo::Box patch{draw.UpTo(width), draw.UpTo(height), draw.UpTo(width), draw.UpTo(height)};
  const int step = draw.UpTo(255);  // how far the background moves a frame
  const int opacity = draw.UpTo(255);
  const std::string pixels = draw.Rest();
  const auto pixel = [&](size_t k) { return static_cast<uint8_t>(pixels[k % pixels.size()]); };

  std::string y4m = "YUV4MPEG2 W" + std::to_string(width) + " H" + std::to_string(height) + " F25:1 Ip A1:1 C" +
                    (is422 ? "422" : "420jpeg") + "\n";
  const int chromaWidth = width / 2, chromaHeight = is422 ? height : (height + 1) / 2;
  size_t at = 0;
  const auto next = [&] { return static_cast<char>(pixel(at++)); };
  for (int n = 0; n < frames; ++n) {
    y4m += "FRAME\n";
    // An even byte makes the frame's background flat at that level.
    const uint8_t kind = pixel(static_cast<size_t>(n));
    for (int y = 0; y < height; ++y) {
      for (int x = 0; x < width; ++x) {
        const size_t k = static_cast<size_t>(x + y * width);
        const int background = kind % 2 == 0 ? kind : pixel(k + static_cast<size_t>(n) * step);
        const bool still = x >= patch.x && x < patch.Right() && y >= patch.y && y < patch.Bottom();
        y4m += static_cast<char>(still ? (background * (255 - opacity) + pixel(k) * opacity + 127) / 255 : background);
      }
    }
    for (int k = 0; k < 2 * chromaWidth * chromaHeight; ++k) y4m += next();
  }

  try {
    logo::FrameSampler sampler(
        std::make_unique<Y4MReader>(MemorySource(reinterpret_cast<const uint8_t*>(y4m.data()), y4m.size(), seekable),
                                    "clip"),
        rule);
    const logo::Analysis analysis = logo::AnalyseClip(sampler, options);
    const auto& picture = analysis.reference.picture;
    if (picture.rowSize != 2 * width || picture.height != height ||
        picture.bytes.size() != static_cast<size_t>(picture.rowSize) * picture.height) {
      Fail("the reference picture is not the frame's size");
    }
    // A region given is kept as given; a found one lies in the frame with an
    // even x and width.
    const logo::Box& region = analysis.reference.region;
    if (options.region) {
      const logo::Box& given = *options.region;
      if (region.x != given.x || region.y != given.y || region.width != given.width || region.height != given.height) {
        Fail("the region is not the one given");
      }
    } else if (region.Empty() || !logo::Box{0, 0, width, height}.Contains(region) || region.x % 2 != 0 ||
               region.width % 2 != 0) {
      Fail("the region found does not lie in the frame with an even x and width");
    }
  } catch (const CliError&) {
  }
  return 0;
}
