#pragma once
// The window's fonts and their stand-ins on this desktop. The program names two Japanese fonts
// that Linux does not ship; the substitutions are pinned in code, before the application starts,
// so the result does not depend on the locale or the fontconfig setup.

#include <QFont>

namespace forms {

inline const QString kPGothic = QStringLiteral("ＭＳ Ｐゴシック");
inline const QString kHeavyGothic = QStringLiteral("HG創英角ｺﾞｼｯｸUB");

// Call before the QApplication exists.
void PinFontSubstitutions();

// A font as the runtime describes it: a family, a size in points at 96 dpi and a weight
// (400 regular, 700 bold). Sizes become pixels, so the fixed pixel layout holds on any screen.
QFont RuntimeFont(const QString& family, double points, int weight);

// The window's default font: a Japanese UI gothic at 9 pt.
QFont DefaultFont();

// The font magnified by `scale`, to the nearest whole pixel, so that text is drawn at the size it
// is shown instead of being stretched; the font itself at scale 1.
QFont ScaledFont(const QFont& font, double scale);

}  // namespace forms
