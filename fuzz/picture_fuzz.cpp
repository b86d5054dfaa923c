// libFuzzer target for the picture decoders: any bytes either decode to a picture within the
// bound, with one opaque or transparent pixel for every place, or are refused with a
// PictureError; a crash, a leak, another exception or a hang is a finding. A picture must not
// change with bytes added after a GIF's trailer, and the BMP decoder also meets every input
// without its signature check.

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "core/picture.h"

namespace {

void Check(bool holds, const char* promise) {
  if (!holds) {
    std::fprintf(stderr, "picture decoder broke a promise: %s\n", promise);
    std::abort();
  }
}

void CheckPicture(const kepler::Picture& p) {
  Check(p.width > 0 && p.height > 0, "a picture has pixels");
  Check(p.width <= kepler::kMaxPictureWidth && p.height <= kepler::kMaxPictureHeight,
        "a picture stays within the bound");
  Check(p.pixels.size() == static_cast<std::size_t>(p.width) * p.height,
        "one pixel for every place");
  for (const std::uint32_t pixel : p.pixels) {
    Check((pixel >> 24) == 0 || (pixel >> 24) == 0xFF, "a pixel is opaque or transparent");
  }
}

// Decodes with `decode`; the picture, or nothing when refused.
template <typename Decode>
bool Decodes(Decode decode, std::string_view bytes, kepler::Picture& picture) {
  try {
    picture = decode(bytes);
  } catch (const kepler::PictureError& error) {
    Check(error.what()[0] != '\0', "a refusal says why");
    return false;
  }
  CheckPicture(picture);
  return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  kepler::Picture picture;
  if (Decodes(kepler::DecodePicture, bytes, picture) && bytes.starts_with("GIF")) {
    const std::string padded = std::string(bytes) + std::string(64, '\0');
    kepler::Picture again;
    Check(Decodes(kepler::DecodePicture, padded, again) && again.pixels == picture.pixels,
          "padding after a GIF changes nothing");
  }
  Decodes(kepler::DecodeBmp, bytes, picture);
  return 0;
}
