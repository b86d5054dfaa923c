#pragma once
// Colours as the old runtime numbers them: RGB(r, g, b) = r + 256 g + 65536 b, and the system
// colours of the desktop scheme the window names by role.

#include <cstdint>

namespace forms {

using Color = std::uint32_t;

constexpr Color RGB(int red, int green, int blue) {
  return static_cast<Color>(red) + 256u * static_cast<Color>(green) +
         65536u * static_cast<Color>(blue);
}
constexpr int RedOf(Color c) {
  return static_cast<int>(c & 0xFF);
}
constexpr int GreenOf(Color c) {
  return static_cast<int>((c >> 8) & 0xFF);
}
constexpr int BlueOf(Color c) {
  return static_cast<int>((c >> 16) & 0xFF);
}

// The desktop's system colours, by role, from one classic scheme rather than the toolkit's
// palette, so that the window looks the same on every desktop: the "Windows Standard" colour
// scheme of Windows 2000, which Windows XP keeps for its classic style.
//   window text      0,   0,   0      button face       212, 208, 200
//   button text      0,   0,   0      3-D light         212, 208, 200 (the button face itself)
//   3-D highlight  255, 255, 255      button shadow     128, 128, 128
//   3-D dark shadow 64,  64,  64      grey text         128, 128, 128
//   active caption 10,  36, 106 fading to 166, 202, 240, its text 255, 255, 255
// A label in 3-D light is therefore a panel barely set off from the window's (224, 224, 224).
constexpr Color systemWindowText() {
  return RGB(0, 0, 0);
}
constexpr Color systemButtonText() {
  return RGB(0, 0, 0);
}
constexpr Color systemButtonFace() {
  return RGB(212, 208, 200);
}
constexpr Color system3DLight() {
  return RGB(212, 208, 200);
}
constexpr Color system3DHighlight() {
  return RGB(255, 255, 255);
}
constexpr Color systemButtonShadow() {
  return RGB(128, 128, 128);
}
constexpr Color system3DDarkShadow() {
  return RGB(64, 64, 64);
}
constexpr Color systemGrayText() {
  return RGB(128, 128, 128);
}
constexpr Color systemActiveCaption() {
  return RGB(10, 36, 106);
}
constexpr Color systemGradientActiveCaption() {
  return RGB(166, 202, 240);
}
constexpr Color systemCaptionText() {
  return RGB(255, 255, 255);
}

}  // namespace forms
