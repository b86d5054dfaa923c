#include "forms/qt/fonts.h"

#include <QFile>
#include <QFontDatabase>
#include <QStringList>

#include <algorithm>
#include <cmath>
#include <string>

#include "forms/error_line.h"

namespace forms::qt {
namespace {

QString toQString(std::string_view utf8) {
  return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

}  // namespace

void PinFontSubstitutions() {
  QFont::insertSubstitutions(
      toQString(kPGothic),
      QStringList() << QString::fromLatin1(kEmbeddedPGothic) << QStringLiteral("IPAPGothic")
                    << QStringLiteral("IPAGothic") << QStringLiteral("Noto Sans CJK JP"));
  QFont::insertSubstitutions(toQString(kHeavyGothic),
                             QStringList() << QString::fromLatin1(kEmbeddedHeavyGothic)
                                           << QStringLiteral("Noto Sans CJK JP")
                                           << QStringLiteral("IPAPGothic"));
}

bool RegisterEmbeddedFonts() {
  struct Face {
    const char* resource;
    const char* family;
  };
  bool all = true;
  for (const Face& face : {Face{":/fonts/kepler-p-gothic.ttf", kEmbeddedPGothic},
                           Face{":/fonts/kepler-gothic-ub.otf", kEmbeddedHeavyGothic}}) {
    QFile file(QString::fromLatin1(face.resource));
    const int id = file.open(QIODevice::ReadOnly)
                       ? QFontDatabase::addApplicationFontFromData(file.readAll())
                       : -1;
    if (id < 0 ||
        !QFontDatabase::applicationFontFamilies(id).contains(QString::fromLatin1(face.family))) {
      qWarning("%s",
               ErrorLine(std::string("the built-in font ") + face.family + " (" + face.resource +
                         ") could not be added; the installed Japanese fonts stand in for it")
                   .c_str());
      all = false;
    }
  }
  return all;
}

QFont ToQFont(const FontSpec& wanted) {
  QFont font(toQString(wanted.family));
  font.setPixelSize(PixelSize(wanted));
  font.setWeight(DrawnBold(wanted) ? QFont::Bold : QFont::Normal);
  font.setStyleStrategy(QFont::PreferAntialias);
  // Light (vertical-only) hinting on every desktop, whatever its fontconfig setup asks for: full
  // hinting rounds every advance to a whole pixel, which widens a line of text by several pixels,
  // enough to break the hint into a third line that its box cuts off.
  font.setHintingPreference(QFont::PreferVerticalHinting);
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
