#pragma once
// The window's own colours, each named after what it paints, in the old runtime's numbering
// (forms::RGB). The desktop's system colours are the forms layer's (forms/color.h).

#include "forms/color.h"

namespace colors {

using forms::RGB;

inline constexpr forms::Color kWindowBack = RGB(224, 224, 224);
inline constexpr forms::Color kTitleBand = RGB(255, 224, 192);  // behind the title and its strip
inline constexpr forms::Color kHintText = RGB(255, 0, 0);
inline constexpr forms::Color kButtonFace = RGB(255, 255, 200);
// The drawing surface, Picture1 and Picture2, and the background the body pictures are drawn for.
inline constexpr forms::Color kDrawingSurface = RGB(128, 128, 255);
inline constexpr forms::Color kReadOutText = RGB(255, 255, 255);
inline constexpr forms::Color kOrbitLine = RGB(0, 0, 0);
// The Sun at start-up and on the single-orbit demonstrations.
inline constexpr forms::Color kSun = RGB(255, 240, 0);
// The Sun of the two data demonstrations, a purer yellow.
inline constexpr forms::Color kDataSun = RGB(255, 255, 0);
// The speed gauge: its bar, and the grey that erases what a longer bar left right of it.
inline constexpr forms::Color kGaugeBar = RGB(255, 255, 0);
inline constexpr forms::Color kGaugeTrack = RGB(224, 224, 224);

}  // namespace colors
