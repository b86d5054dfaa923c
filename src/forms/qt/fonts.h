#pragma once
// The window's fonts and their stand-ins on this desktop. The program names two Japanese fonts
// that Linux does not ship. It carries its own stand-ins built in, the same two subset faces as
// the browser page ("Kepler P Gothic" and "Kepler Gothic UB", cut from IPAPGothic and Noto Sans CJK
// JP Bold to the characters the program shows), and the substitutions, pinned in code before the
// application starts, name them first: so the window draws the same glyphs on every desktop,
// whatever its locale, its fontconfig setup and the fonts installed. The installed Japanese fonts
// follow, for a character the subsets lack.

#include <QFont>

#include "forms/font.h"

namespace forms::qt {

// The built-in faces' family names.
inline constexpr char kEmbeddedPGothic[] = "Kepler P Gothic";
inline constexpr char kEmbeddedHeavyGothic[] = "Kepler Gothic UB";

// Call before the QApplication exists.
void PinFontSubstitutions();

// Adds the built-in faces to the application's fonts. Call once the QApplication exists and before
// the first widget is made. Returns false, after a warning, when a face cannot be added.
bool RegisterEmbeddedFonts();

// The runtime's font as Qt's, at its pixel size and weight (forms/font.h).
QFont ToQFont(const FontSpec& font);

// The font magnified by `scale`, to the nearest whole pixel, so that text is drawn at the size it
// is shown instead of being stretched; the font itself at scale 1.
QFont ScaledFont(const QFont& font, double scale);

}  // namespace forms::qt
