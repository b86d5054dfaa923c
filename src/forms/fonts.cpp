#include "forms/fonts.h"

#include <QStringList>

#include <algorithm>
#include <cmath>

namespace forms {

void PinFontSubstitutions() {
  QFont::insertSubstitutions(kPGothic, QStringList() << QStringLiteral("IPAPGothic")
                                                     << QStringLiteral("IPAGothic")
                                                     << QStringLiteral("Noto Sans CJK JP"));
  QFont::insertSubstitutions(kHeavyGothic, QStringList() << QStringLiteral("Noto Sans CJK JP")
                                                         << QStringLiteral("IPAPGothic"));
}

QFont RuntimeFont(const QString& family, double points, int weight) {
  QFont font(family);
  font.setPixelSize(static_cast<int>(std::lround(points * 96.0 / 72.0)));
  // The heavy gothic is an ultra-bold face at its regular weight; its stand-in needs Bold to look
  // the same.
  const bool heavyFace = family == kHeavyGothic;
  font.setWeight(heavyFace || weight >= 700 ? QFont::Bold : QFont::Normal);
  font.setStyleStrategy(QFont::PreferAntialias);
  return font;
}

QFont DefaultFont() {
  return RuntimeFont(kPGothic, 9, 400);
}

QFont ScaledFont(const QFont& font, double scale) {
  if (scale == 1.0) return font;
  QFont scaled = font;
  if (font.pixelSize() > 0) {
    scaled.setPixelSize(std::max(1, static_cast<int>(std::lround(font.pixelSize() * scale))));
  } else {
    scaled.setPointSizeF(font.pointSizeF() * scale);
  }
  return scaled;
}

}  // namespace forms
