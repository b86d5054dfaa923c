// Turns a drawn picture into a single-frame GIF89a with 1-bit transparency and writes it through
// giflib. The palette holds the picture's exact colours; only a picture with more opaque colours
// than fit is reduced, by a deterministic median cut. No animation, no interlacing.
#pragma once

#include <QImage>
#include <QRgb>

#include <cstdint>
#include <string>
#include <vector>

#include "forms/qt/color.h"
#include "window/colors.h"

namespace kepler::assets {

// The drawing surface the program shows the pictures on.
inline constexpr QRgb kSurfaceColor = forms::qt::ToQRgb(colors::kDrawingSurface);

// A GIF has 256 palette entries; one is kept for the transparent colour.
inline constexpr int kMaxOpaqueColors = 255;

struct IndexedPicture {
  int width = 0;              // [px]
  int height = 0;             // [px]
  std::vector<QRgb> palette;  // opaque qRgb values; the transparent entry holds the matte colour
  int transparentIndex = -1;  // -1 when every pixel is opaque
  std::vector<std::uint8_t> pixels;  // row-major palette indices, width * height of them
  int sourceColors = 0;              // distinct opaque colours before any reduction
  bool reduced = false;              // true when the median cut had to merge colours
};

// Flattens image against matte: a pixel with alpha below one half becomes transparent, any other
// is blended over matte and made opaque. Colours that remain are kept exactly when at most
// maxOpaqueColors of them exist, else merged by median cut down to that many.
// Throws std::invalid_argument for a null image, a side over 65535 px or a limit outside [1, 255].
IndexedPicture ToIndexed(const QImage& image, QRgb matte = kSurfaceColor,
                         int maxOpaqueColors = kMaxOpaqueColors);

// Writes picture as GIF89a (a Graphics Control Extension carries the transparent index).
// Throws std::runtime_error naming the path when the file cannot be written.
void WriteGif(const IndexedPicture& picture, const std::string& path);

}  // namespace kepler::assets
