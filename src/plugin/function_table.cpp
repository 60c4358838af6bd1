#include "plugin/function_table.h"

#include <cstring>

#include "plugin/factories.h"

namespace pramvix {

namespace {

constexpr ArgumentEntry kClip{"clip", "the video to process; its size, frame rate and length are the output's"};
constexpr ArgumentEntry kLogoClip{"logo_clip", "holds the reference picture: the logo over black"};
constexpr ArgumentEntry kLogoFrame{"logo_frame", "frame number of the reference picture in logo_clip"};
constexpr ArgumentEntry kAlternate{"alternate_clip", "second video whose frame n is used instead (see above)"};
constexpr ArgumentEntry kX{"x", "left edge of the logo region, in pixels"};
constexpr ArgumentEntry kY{"y", "top edge of the logo region, in rows (0 or less: the top row)"};
constexpr ArgumentEntry kWidth{"width", "width of the region, in pixels (0 or less: nothing changes)"};
constexpr ArgumentEntry kHeight{"height", "height of the region, in rows (0 or less: nothing changes)"};
constexpr ArgumentEntry kThreshold{"threshold",
                                   "reference-luma difference from the row's left edge from which a pixel counts "
                                   "as logo; 0 inverts the region's luma instead"};
constexpr ArgumentEntry kFrameThreshold{"frame_threshold",
                                        "luma step in the frame that counts as a hit (its absolute value); below 0 "
                                        "also marks the hits by inverting their luma"};
constexpr ArgumentEntry kLogoThreshold{"logo_threshold",
                                       "luma step in the reference picture that makes a logo edge (its absolute "
                                       "value)"};

constexpr ArgumentEntry kNoLogoArgs[] = {kClip, kLogoClip, kLogoFrame, kThreshold, kX, kY, kWidth, kHeight};
constexpr ArgumentEntry kNoLogoMArgs[] = {
    kClip, kLogoClip, kLogoFrame, kThreshold, kX, kY, kWidth, kHeight,
    {"gain", "factor on the reference luma above black (16); 1.0 takes it as it is"},
    {"level", "luma of the logo at full strength, counted above 16 (222: white, 238)"},
    {"offset", "added to every corrected luma before the limit of 0-250"}};
constexpr ArgumentEntry kLogoMaskArgs[] = {
    kClip, kAlternate, kLogoClip, kLogoFrame,
    {"threshold", "minimum rise of reference luma over the row's left edge that marks a pixel as logo"},
    kX, kY, kWidth, kHeight};
constexpr ArgumentEntry kAddLogoArgs[] = {
    kClip, kLogoClip, kLogoFrame,
    {"threshold",
     "reference-luma difference from the row's left edge from which a pixel is drawn; a number, taken as an "
     "integer; 0 inverts the region's luma instead"},
    kX, kY, kWidth, kHeight, {"unused", "required, never read (give 0)"}};
constexpr ArgumentEntry kIfLogoArgs[] = {kClip,           kAlternate, kLogoClip, kLogoFrame, kFrameThreshold,
                                         kLogoThreshold,  kX,         kY,        kWidth,     kHeight};
constexpr ArgumentEntry kNoLogoColorArgs[] = {
    kClip, kLogoClip, kLogoFrame,
    {"threshold",
     "reference-luma difference from the row's left edge from which a pixel counts as logo; 0 inverts the "
     "region's luma instead and leaves its chroma"},
    kX, kY, kWidth, kHeight,
    {"gain", "factor on the reference luma above black (16); 1.0 takes it as it is"},
    {"level", "luma of the logo at full strength, counted above 16 (222: white; a coloured logo's luma - 16)"},
    {"offset", "added to every corrected luma before the limit of 0-250"}};
constexpr ArgumentEntry kNoLogoAutoArgs[] = {
    kClip, kLogoClip,
    {"logo_frame",
     "its absolute value is the frame number of the reference picture; below 0 shows the logo pixels inverted "
     "instead of removing them"}};

constexpr size_t Length(const char* text) { return *text ? 1 + Length(text + 1) : 0; }

// A row whose argument list has exactly one entry per letter of its type
// string; a mismatch stops the build.
template <size_t N>
constexpr FunctionEntry Row(const char* name, const char* params, ApplyFunc factory, const char* summary,
                            const ArgumentEntry (&arguments)[N]) {
  return Length(params) == N ? FunctionEntry{name, params, factory, summary, arguments}
                             : throw "one argument entry per letter of the type string";
}

}  // namespace

constexpr FunctionEntry kFunctionTable[] = {
    Row("NoLogo", "cciiiiii", CreateNoLogo,
        "Removes a logo from the luma of the region: the logo is taken as a white overlay whose opacity the "
        "reference picture gives, and the luma under it is computed. Logo edges are softened. Chroma is kept.",
        kNoLogoArgs),
    Row("NoLogoM", "cciiiiiifii", CreateNoLogoM,
        "NoLogo with adjustable strength: the logo's full luma, a gain on the reference picture and an offset. "
        "Every visited pixel is softened. The reference picture must have the clip's size.",
        kNoLogoMArgs),
    Row("LogoMask", "ccciiiiii", CreateLogoMask,
        "Replaces the pixels that the reference picture marks as logo with the same pixels of alternate_clip. "
        "The reference picture must have the clip's size.",
        kLogoMaskArgs),
    Row("AddLogo", "ccifiiiii", CreateAddLogo,
        "Draws the reference picture's logo into the clip by raising or lowering luma (kept within 16-238). "
        "The reference picture must have the clip's size.",
        kAddLogoArgs),
    Row("IfLogo", "ccciiiiiii", CreateIfLogo,
        "Tests each frame for the logo (luma steps of the frame where the reference picture has steps) and "
        "returns frame n of alternate_clip when it is found, of clip otherwise. "
        "The reference picture must have the clip's size.",
        kIfLogoArgs),
    Row("IfNoLogo", "ccciiiiiii", CreateIfNoLogo,
        "A variant of IfLogo: its edge test compares single reference samples, and it also counts dark pixels "
        "as hits; it returns alternate_clip's frame only when frame_threshold is above 0. "
        "The reference picture must have the clip's size.",
        kIfLogoArgs),
    Row("NoLogoAuto", "cci", CreateNoLogoAuto,
        "Removes a logo anywhere in the frame with NoLogo's formula and a fixed threshold of 5; no region.",
        kNoLogoAutoArgs),
    Row("NoLogoColor", "cciiiiiifii", CreateNoLogoColor,
        "Removes a semi-transparent logo of any colour from luma and chroma: NoLogoM's correction with NoLogo's "
        "softening at logo edges, and the chroma under the logo from the reference picture's chroma (the logo's "
        "colour over black). The reference picture must have the clip's size.",
        kNoLogoColorArgs),
};

const size_t kFunctionCount = sizeof(kFunctionTable) / sizeof(kFunctionTable[0]);

const FunctionEntry* FindFunction(const char* name) {
  for (const FunctionEntry& entry : kFunctionTable) {
    if (std::strcmp(entry.name, name) == 0) return &entry;
  }
  return nullptr;
}

void RegisterFunctions(IScriptEnvironment* env) {
  for (const FunctionEntry& entry : kFunctionTable) env->AddFunction(entry.name, entry.params, entry.factory, nullptr);
}

}  // namespace pramvix
