#pragma once
// A font as the old runtime describes it: a family name, a size in points and a weight. Each
// backend maps the two Japanese families the window names to its stand-ins, at the pixel size and
// the weight below.

#include <cmath>
#include <string_view>

namespace forms {

inline constexpr std::string_view kPGothic = "ＭＳ Ｐゴシック";
inline constexpr std::string_view kHeavyGothic = "HG創英角ｺﾞｼｯｸUB";

struct FontSpec {
  std::string_view family;
  double points;
  int weight;  // 400 regular, 700 bold
};

// The window's default font: the Japanese UI gothic at 9 pt.
inline constexpr FontSpec kDefaultFont{kPGothic, 9, 400};
// F1: the buttons', the hint's and the read-outs' font; F2: the title's.
inline constexpr FontSpec kF1{kPGothic, 12, 700};
inline constexpr FontSpec kF2{kHeavyGothic, 15.75, 400};

// Points become pixels at 96 dpi (points x 96 / 72, rounded), so the fixed pixel layout holds on
// every screen.
inline int PixelSize(const FontSpec& font) {
  return static_cast<int>(std::lround(font.points * 96.0 / 72.0));
}

// Whether the stand-in is drawn bold: a bold weight, or the heavy gothic, an ultra-bold face at its
// regular weight, which its stand-ins play in bold.
inline bool DrawnBold(const FontSpec& font) {
  return font.family == kHeavyGothic || font.weight >= 700;
}

}  // namespace forms
