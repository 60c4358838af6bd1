#include "samples.h"

namespace pramvix::avsplus_test {

std::string Clips(const std::string& source, const std::string& shape) {
  return "bars = " + source +
         "\n"
         "black = BlankClip(bars, width=100, height=16, color_yuv=$108080)\n"
         "side = BlankClip(bars, width=40, height=16, color_yuv=$108080)\n"
         "block = BlankClip(bars, width=20, height=16, color_yuv=$C08080)\n"
         "main = bars.propSet(\"" + kMarkProperty + "\", " + std::to_string(kMark) + ")" + shape + "\n"
         "alt = bars.FlipHorizontal()" + shape + "\n"
         "logo = StackVertical(black, StackHorizontal(side, block, side), black)" + shape + "\n";
}

const char* const kBars = R"(ColorBars(width=100, height=48, pixel_type="YUY2").Trim(0, 23).ShowFrameNumber())";
const char* const kLongFields = R"(Loop(ColorBars(width=100, height=96, pixel_type="YUY2"), 20).AssumeTFF().SeparateFields())";
const char* const kCropped = ".Crop(4, 2, -8, -2)";

// The region (30, 10, 40, 20) holds the logo block's edges and lies inside
// every shape, with room for the neighbours some filters read.
const std::vector<SampleCall> kSampleCalls = {
    {"NoLogo", "main, logo, 0, 40, 30, 10, 40, 20", "NoLogo: YUY2 data only (no RGB); use ConvertToYUY2"},
    {"NoLogoM", "main, logo, 0, 40, 30, 10, 40, 20, 1.5, 200, 3",
     "NoLogoM: YUY2 data only (no RGB); use ConvertToYUY2"},
    {"LogoMask", "main, alt, logo, 0, 40, 30, 10, 40, 20", "LogoMask: YUY2 data only (no RGB); use ConvertToYUY2"},
    {"AddLogo", "main, logo, 0, 40.7, 30, 10, 40, 20, 0", "AddLogo: YUY2 data only (no RGB); use ConvertToYUY2"},
    {"IfLogo", "main, alt, logo, 0, -1, 40, 30, 10, 40, 20", "IfLogo: YUY2 data only (no RGB); use ConvertToYUY2"},
    {"IfNoLogo", "main, alt, logo, 0, -1, 40, 30, 10, 40, 20", "IfLogo: YUY2 data only (no RGB); use ConvertToYUY2"},
    {"NoLogoAuto", "main, logo, 0", "NoLogo: YUY2 data only (no RGB); use ConvertToYUY2"},
    {"NoLogoColor", "main, logo, 0, 40, 31, 10, 39, 20, 1.5, 200, 3",
     "NoLogoColor: YUY2 data only (no RGB); use ConvertToYUY2"},
};

// One error of each way through the host: raised by a frame request on
// frames of odd width, of a region beyond the frame, of a smaller
// logo or alternate frame, of a planar logo clip, and from one of ours met as
// a host clip by another. (Each filter's own texts are the local host's
// tests' business; every filter's error when built is in kSampleCalls.)
const std::vector<ErrorCase> kErrorCases = {
    {"NoLogo", "main.DropLastPixel(), logo, 0, 40, 30, 10, 40, 20", "NoLogo: width must be a multiple of 2; use Crop"},
    {"NoLogo", "main, logo, 0, 40, 61, 10, 40, 20", "You X position is too far right."},
    {"NoLogoColor", "main, logo, 0, 40, 30, 29, 40, 20, 1.0, 222, 0",
     "NoLogoColor: the region reaches below the bottom of the frame"},
    {"NoLogo", "main, logo.Crop(0, 0, -32, 0), 0, 40, 30, 10, 40, 20",
     "NoLogo: the logo frame is too small for the region"},
    {"NoLogo", "main, logo.ConvertToYV12(), 0, 40, 30, 10, 40, 20", "NoLogo: the logo clip must be YUY2"},
    {"LogoMask", "main, alt.Crop(0, 0, -40, 0), logo, 0, 40, 30, 10, 40, 20",
     "LogoMask: the alternate frame is too small for the region"},
    {"IfNoLogo", "main, alt, logo, 0, 5, 40, 61, 10, 40, 20", "Your X position is too far right."},
    {"NoLogo", "main.NoLogo(logo, 0, 40, 61, 10, 40, 20), logo, 0, 40, 30, 10, 40, 20",
     "You X position is too far right."},
};

}  // namespace pramvix::avsplus_test
