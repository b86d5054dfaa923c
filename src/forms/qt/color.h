#pragma once
// The forms layer's colours as Qt writes them.

#include <QColor>

#include "forms/color.h"

namespace forms::qt {

// 0xAARRGGBB, opaque.
constexpr QRgb ToQRgb(Color c) {
  return qRgb(RedOf(c), GreenOf(c), BlueOf(c));
}

inline QColor ToQColor(Color c) {
  return QColor::fromRgb(ToQRgb(c));
}

}  // namespace forms::qt
