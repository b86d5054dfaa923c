#include "gif_test_util.h"

#include <fstream>

namespace kepler::assets::testing {

bool DecodeGif(const std::string& path, DecodedGif* out, std::string* error) {
  std::ifstream header(path, std::ios::binary);
  char magic[6] = {};
  header.read(magic, sizeof magic);
  out->version.assign(magic, static_cast<std::size_t>(header.gcount()));

  int code = 0;
  GifFileType* gif = DGifOpenFileName(path.c_str(), &code);
  if (gif == nullptr) {
    *error = GifErrorString(code);
    return false;
  }
  if (DGifSlurp(gif) == GIF_ERROR || gif->ImageCount < 1) {
    *error = GifErrorString(gif->Error);
    DGifCloseFile(gif, &code);
    return false;
  }
  const SavedImage& frame = gif->SavedImages[0];
  const ColorMapObject* map =
      frame.ImageDesc.ColorMap != nullptr ? frame.ImageDesc.ColorMap : gif->SColorMap;
  GraphicsControlBlock control{};
  if (DGifSavedExtensionToGCB(gif, 0, &control) == GIF_OK) {
    out->transparent_index = control.TransparentColor;
  }
  out->width = frame.ImageDesc.Width;
  out->height = frame.ImageDesc.Height;
  const std::size_t area =
      static_cast<std::size_t>(out->width) * static_cast<std::size_t>(out->height);
  out->indices.assign(frame.RasterBits, frame.RasterBits + area);
  out->colours.clear();
  for (int i = 0; map != nullptr && i < map->ColorCount; ++i) {
    out->colours.push_back(qRgb(map->Colors[i].Red, map->Colors[i].Green, map->Colors[i].Blue));
  }
  DGifCloseFile(gif, &code);
  return true;
}

}  // namespace kepler::assets::testing
