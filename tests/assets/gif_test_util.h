// Test helper: decodes a GIF with giflib into its size, transparent index and per-pixel colours.
#pragma once

#include <gif_lib.h>

#include <QRgb>

#include <string>
#include <vector>

namespace kepler::assets::testing {

struct DecodedGif {
  std::string version;  // "GIF87a" or "GIF89a", from the file's first six bytes
  int width = 0;
  int height = 0;
  int transparent_index = NO_TRANSPARENT_COLOR;
  std::vector<int> indices;   // row-major palette indices of the first frame
  std::vector<QRgb> colours;  // the colour of each index, opaque
};

// Returns false (with a reason in *error) when giflib cannot read the file.
bool DecodeGif(const std::string& path, DecodedGif* out, std::string* error);

}  // namespace kepler::assets::testing
