#include "function_help.h"

#include <algorithm>

namespace pramvix::cli {

namespace {

constexpr ArgumentHelp kClip{"clip", "the video to process; its size, frame rate and length are the output's"};
constexpr ArgumentHelp kLogoClip{"logo_clip", "holds the reference picture: the logo over black (a PNG or a Y4M)"};
constexpr ArgumentHelp kLogoFrame{"logo_frame", "frame number of the reference picture in logo_clip (0 for a PNG)"};
constexpr ArgumentHelp kAlternate{"alternate_clip", "second video whose frame n is used instead (see above)"};
constexpr ArgumentHelp kX{"x", "left edge of the logo region, in pixels"};
constexpr ArgumentHelp kY{"y", "top edge of the logo region, in rows (0 or less: the top row)"};
constexpr ArgumentHelp kWidth{"width", "width of the region, in pixels (0 or less: nothing changes)"};
constexpr ArgumentHelp kHeight{"height", "height of the region, in rows (0 or less: nothing changes)"};
constexpr ArgumentHelp kThreshold{"threshold",
                                  "reference-luma difference from the row's left edge from which a pixel "
                                  "counts as logo; 0 inverts the region's luma instead"};

const std::vector<FunctionHelp>& Table() {
  static const std::vector<FunctionHelp> table = {
      {"NoLogo",
       "Removes a logo from the luma of the region: the logo is taken as a white overlay whose opacity the "
       "reference picture gives, and the luma under it is computed. Logo edges are softened. Chroma is kept.",
       {kClip, kLogoClip, kLogoFrame, kThreshold, kX, kY, kWidth, kHeight}},
      {"NoLogoM",
       "NoLogo with adjustable strength: the logo's full luma, a gain on the reference picture and an offset. "
       "Every visited pixel is softened. The reference picture must have the clip's size.",
       {kClip, kLogoClip, kLogoFrame, kThreshold, kX, kY, kWidth, kHeight,
        {"gain", "factor on the reference luma above black (16); 1.0 takes it as it is"},
        {"level", "luma of the logo at full strength, counted above 16 (222: white, 238)"},
        {"offset", "added to every corrected luma before the limit of 0-250"}}},
      {"LogoMask",
       "Replaces the pixels that the reference picture marks as logo with the same pixels of alternate_clip. "
       "The reference picture must have the clip's size.",
       {kClip, kAlternate, kLogoClip, kLogoFrame,
        {"threshold", "minimum rise of reference luma over the row's left edge that marks a pixel as logo"}, kX,
        kY, kWidth, kHeight}},
      {"AddLogo",
       "Draws the reference picture's logo into the clip by raising or lowering luma (kept within 16-238). "
       "The reference picture must have the clip's size.",
       {kClip, kLogoClip, kLogoFrame,
        {"threshold",
         "reference-luma difference from the row's left edge from which a pixel is drawn; a number, taken as "
         "an integer; 0 inverts the region's luma instead"},
        kX, kY, kWidth, kHeight, {"unused", "required, never read (give 0)"}}},
      {"IfLogo",
       "Tests each frame for the logo (luma steps of the frame where the reference picture has steps) and "
       "returns frame n of alternate_clip when it is found, of clip otherwise. "
       "The reference picture must have the clip's size.",
       {kClip, kAlternate, kLogoClip, kLogoFrame,
        {"frame_threshold",
         "luma step in the frame that counts as a hit (its absolute value); below 0 also marks the hits by "
         "inverting their luma"},
        {"logo_threshold", "luma step in the reference picture that makes a logo edge (its absolute value)"}, kX,
        kY, kWidth, kHeight}},
      {"IfNoLogo",
       "A variant of IfLogo: its edge test compares single reference samples, and it also counts dark "
       "pixels as hits; it returns "
       "alternate_clip's frame only when frame_threshold is above 0. "
       "The reference picture must have the clip's size.",
       {kClip, kAlternate, kLogoClip, kLogoFrame,
        {"frame_threshold",
         "luma step in the frame that counts as a hit (its absolute value); below 0 also marks the hits"},
        {"logo_threshold", "luma step in the reference picture that makes a logo edge (its absolute value)"}, kX,
        kY, kWidth, kHeight}},
      {"NoLogoAuto",
       "Removes a logo anywhere in the frame with NoLogo's formula and a fixed threshold of 5; no region.",
       {kClip, kLogoClip,
        {"logo_frame",
         "its absolute value is the frame number of the reference picture; below 0 shows the logo pixels "
         "inverted instead of removing them"}}},
  };
  return table;
}

}  // namespace

const FunctionHelp* HelpFor(const std::string& function) {
  for (const FunctionHelp& help : Table()) {
    if (function == help.name) return &help;
  }
  return nullptr;
}

std::string TypeName(char letter) {
  switch (letter) {
    case 'c': return "clip";
    case 'i': return "int";
    case 'f': return "float";
    case 'b': return "bool";
    case 's': return "string";
    default: return std::string("?") + letter;
  }
}

std::string Signature(const std::string& function, const std::string& types) {
  std::string text = function + "(";
  for (size_t i = 0; i < types.size(); ++i) text += (i ? ", " : "") + TypeName(types[i]);
  return text + ")";
}

namespace {
// The table's words apply only when they match the registered arguments.
const FunctionHelp* MatchingHelp(const std::string& function, const std::string& types) {
  const FunctionHelp* help = HelpFor(function);
  return help && help->arguments.size() == types.size() ? help : nullptr;
}
}  // namespace

std::string ArgumentName(const std::string& function, const std::string& types, size_t i) {
  const FunctionHelp* help = MatchingHelp(function, types);
  if (help && i < help->arguments.size()) return help->arguments[i].name;
  return "argument " + std::to_string(i + 1);
}

std::string HelpText(const std::string& function, const std::string& types) {
  const FunctionHelp* help = MatchingHelp(function, types);
  std::string text = Signature(function, types) + "\n";
  if (help) text += "\n" + std::string(help->summary) + "\n";
  text += "\n";
  size_t nameWidth = 8;
  for (size_t i = 0; i < types.size(); ++i) nameWidth = std::max(nameWidth, ArgumentName(function, types, i).size());
  for (size_t i = 0; i < types.size(); ++i) {
    std::string name = ArgumentName(function, types, i);
    std::string type = TypeName(types[i]);
    text += "  " + name + std::string(nameWidth + 2 - name.size(), ' ') + type + std::string(7 - std::min<size_t>(type.size(), 6), ' ');
    if (help) {
      text += help->arguments[i].meaning;
    } else if (types[i] == 'c') {
      text += "a Y4M 4:2:2 file, - for standard input, or a PNG picture";
    } else {
      text += "a number";
    }
    text += "\n";
  }
  return text;
}

}  // namespace pramvix::cli
