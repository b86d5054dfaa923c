#include "forms/qt/fonts.h"

#include <QStringList>

#include <algorithm>
#include <cmath>

namespace forms::qt {
namespace {

QString toQString(std::string_view utf8) {
  return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

}  // namespace

void PinFontSubstitutions() {
  QFont::insertSubstitutions(toQString(kPGothic), QStringList()
                                                      << QStringLiteral("IPAPGothic")
                                                      << QStringLiteral("IPAGothic")
                                                      << QStringLiteral("Noto Sans CJK JP"));
  QFont::insertSubstitutions(toQString(kHeavyGothic), QStringList()
                                                          << QStringLiteral("Noto Sans CJK JP")
                                                          << QStringLiteral("IPAPGothic"));
}

QFont ToQFont(const FontSpec& wanted) {
  QFont font(toQString(wanted.family));
  font.setPixelSize(static_cast<int>(std::lround(wanted.points * 96.0 / 72.0)));
  // The heavy gothic is an ultra-bold face at its regular weight; its stand-in needs Bold to look
  // the same.
  const bool heavyFace = wanted.family == kHeavyGothic;
  font.setWeight(heavyFace || wanted.weight >= 700 ? QFont::Bold : QFont::Normal);
  font.setStyleStrategy(QFont::PreferAntialias);
  return font;
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

}  // namespace forms::qt
