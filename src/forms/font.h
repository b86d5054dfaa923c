#pragma once
// A font as the old runtime describes it: a family name, a size in points and a weight. Each
// backend maps the two Japanese families the window names to its stand-ins; sizes become pixels at
// 96 dpi (points x 96 / 72, rounded), so the fixed pixel layout holds everywhere.

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

}  // namespace forms
