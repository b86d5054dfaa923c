#pragma once
// Colours as the old runtime numbers them: RGB(r, g, b) = r + 256 g + 65536 b, and the system
// colours of the desktop scheme the window names by role.

#include <QColor>

#include <cstdint>

namespace forms {

using Color = std::uint32_t;

constexpr Color RGB(int red, int green, int blue) {
  return static_cast<Color>(red) + 256u * static_cast<Color>(green) +
         65536u * static_cast<Color>(blue);
}

// The colour as Qt writes it: 0xAARRGGBB, opaque.
constexpr QRgb toQRgb(Color c) {
  return qRgb(static_cast<int>(c & 0xFF), static_cast<int>((c >> 8) & 0xFF),
              static_cast<int>((c >> 16) & 0xFF));
}

inline QColor toQColor(Color c) {
  return QColor::fromRgb(toQRgb(c));
}

// The desktop's system colours, by role, from one classic scheme rather than the toolkit's
// palette, so that the window looks the same on every desktop: the "Windows Standard" colour
// scheme of Windows 2000, which Windows XP keeps for its classic style. Its 3-D light is the button
// face itself, so a label in 3-D light is a panel barely set off from the window's 224, 224, 224.
inline constexpr Color kSystemWindowText = RGB(0, 0, 0);
inline constexpr Color kSystemButtonText = RGB(0, 0, 0);
inline constexpr Color kSystemButtonFace = RGB(212, 208, 200);
inline constexpr Color kSystem3DLight = RGB(212, 208, 200);
inline constexpr Color kSystem3DHighlight = RGB(255, 255, 255);
inline constexpr Color kSystemButtonShadow = RGB(128, 128, 128);
inline constexpr Color kSystem3DDarkShadow = RGB(64, 64, 64);

}  // namespace forms
