// Draws the program's 128x128 icon: a yellow Sun in the focus of an elliptical orbit with a small
// planet on it, on a rounded night-blue tile. Pure painting; writes no files.
#pragma once

#include <QImage>

namespace kepler::assets {

inline constexpr int kIconSize = 128;  // [px]

// Returns a Format_ARGB32 image; the corners outside the rounded tile are transparent.
QImage DrawIcon();

}  // namespace kepler::assets
