// Draws the program's 128x128 icon: a yellow Sun in the focus of an elliptical orbit with a small
// planet on it, on a rounded night-blue tile. Pure painting; writes no files.
#pragma once

#include <QImage>

namespace kepler::assets {

inline constexpr int kIconSize = 128;  // [px]

// The tile's shape: rounded with transparent corners (menus, docks, browsers), or filling the whole
// square (Apple's Home Screen rounds the corners itself and shows transparency as black).
enum class IconTile { kRounded, kSquare };

// Returns the icon drawn at size x size pixels (the 128 px drawing scaled, so every size is as
// sharp): a Format_ARGB32 image for a rounded tile, Format_RGB32 for a square one.
QImage DrawIcon(int size = kIconSize, IconTile tile = IconTile::kRounded);

}  // namespace kepler::assets
