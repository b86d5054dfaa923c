#pragma once
// Colours as the old runtime numbers them: RGB(r, g, b) = r + 256 g + 65536 b. The system colours
// of the desktop scheme are read from the application palette when a control is built.

#include <QColor>
#include <QPalette>

#include <cstdint>

namespace forms {

using Color = std::uint32_t;

constexpr Color RGB(int red, int green, int blue) {
  return static_cast<Color>(red) + 256u * static_cast<Color>(green) +
         65536u * static_cast<Color>(blue);
}

inline QColor toQColor(Color c) {
  return QColor(static_cast<int>(c & 0xFF), static_cast<int>((c >> 8) & 0xFF),
                static_cast<int>((c >> 16) & 0xFF));
}

inline Color fromQColor(const QColor& c) {
  return RGB(c.red(), c.green(), c.blue());
}

// The scheme colours the window names by role.
Color systemColor(QPalette::ColorRole role);
inline Color systemWindowText() {
  return systemColor(QPalette::WindowText);
}
inline Color systemButtonText() {
  return systemColor(QPalette::ButtonText);
}
inline Color systemButtonFace() {
  return systemColor(QPalette::Button);
}
inline Color system3DLight() {
  return systemColor(QPalette::Midlight);
}

}  // namespace forms
