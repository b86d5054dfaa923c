#pragma once
// The window's fonts and their stand-ins on this desktop. The program names two Japanese fonts
// that Linux does not ship; the substitutions are pinned in code, before the application starts,
// so the result does not depend on the locale or the fontconfig setup.

#include <QFont>

#include "forms/font.h"

namespace forms::qt {

// Call before the QApplication exists.
void PinFontSubstitutions();

// The runtime's font as Qt's: sizes become pixels at 96 dpi, so the fixed pixel layout holds on
// any screen.
QFont ToQFont(const FontSpec& font);

// The font magnified by `scale`, to the nearest whole pixel, so that text is drawn at the size it
// is shown instead of being stretched; the font itself at scale 1.
QFont ScaledFont(const QFont& font, double scale);

}  // namespace forms::qt
