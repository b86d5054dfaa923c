#include "gif_writer.h"

#include <fcntl.h>
#include <gif_lib.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstring>
#include <map>
#include <memory>
#include <stdexcept>

namespace kepler::assets {
namespace {

struct ColorCount {
  QRgb color = 0;  // 0xffRRGGBB
  int count = 0;
};

int Channel(QRgb color, int channel) {
  switch (channel) {
    case 0:
      return qRed(color);
    case 1:
      return qGreen(color);
    default:
      return qBlue(color);
  }
}

// Blends one channel of an alpha-weighted colour over the matte, rounding to nearest.
int Blend(int value, int matte, int alpha) {
  return (value * alpha + matte * (255 - alpha) + 127) / 255;
}

struct Box {
  std::size_t begin = 0;
  std::size_t end = 0;  // exclusive
};

// Median cut (Heckbert, "Color image quantization for frame buffer display", SIGGRAPH 1982):
// split the box with the widest channel range at the pixel-weighted median of that channel until
// there are `limit` boxes; each box becomes the pixel-weighted mean of its colours. Ties go to the
// lowest box and the channel order red, green, blue, so the result depends only on the input.
std::map<QRgb, QRgb> MedianCut(std::vector<ColorCount> colors, int limit) {
  std::vector<Box> boxes{{0, colors.size()}};
  auto rangeOf = [&colors](const Box& box, int channel) {
    int lo = 255;
    int hi = 0;
    for (std::size_t i = box.begin; i < box.end; ++i) {
      lo = std::min(lo, Channel(colors[i].color, channel));
      hi = std::max(hi, Channel(colors[i].color, channel));
    }
    return hi - lo;
  };
  while (static_cast<int>(boxes.size()) < limit) {
    int bestBox = -1;
    int bestChannel = 0;
    int bestRange = 0;
    for (std::size_t b = 0; b < boxes.size(); ++b) {
      for (int channel = 0; channel < 3; ++channel) {
        const int range = rangeOf(boxes[b], channel);
        if (range > bestRange) {
          bestRange = range;
          bestBox = static_cast<int>(b);
          bestChannel = channel;
        }
      }
    }
    if (bestBox < 0) {
      break;  // every box holds a single colour
    }
    const Box box = boxes[static_cast<std::size_t>(bestBox)];
    const auto first = colors.begin() + static_cast<std::ptrdiff_t>(box.begin);
    const auto last = colors.begin() + static_cast<std::ptrdiff_t>(box.end);
    std::sort(first, last, [bestChannel](const ColorCount& l, const ColorCount& r) {
      const int lv = Channel(l.color, bestChannel);
      const int rv = Channel(r.color, bestChannel);
      return lv != rv ? lv < rv : l.color < r.color;
    });
    long total = 0;
    for (auto it = first; it != last; ++it) {
      total += it->count;
    }
    long running = 0;
    std::size_t split = box.begin + 1;
    for (std::size_t i = box.begin; i + 1 < box.end; ++i) {
      running += colors[i].count;
      split = i + 1;
      if (2 * running >= total) {
        break;
      }
    }
    boxes[static_cast<std::size_t>(bestBox)] = {box.begin, split};
    boxes.push_back({split, box.end});
  }

  std::map<QRgb, QRgb> mapping;
  for (const Box& box : boxes) {
    std::array<long, 3> sum{};
    long weight = 0;
    for (std::size_t i = box.begin; i < box.end; ++i) {
      for (int channel = 0; channel < 3; ++channel) {
        sum[static_cast<std::size_t>(channel)] +=
            Channel(colors[i].color, channel) * colors[i].count;
      }
      weight += colors[i].count;
    }
    const QRgb mean = qRgb(static_cast<int>((sum[0] + weight / 2) / weight),
                           static_cast<int>((sum[1] + weight / 2) / weight),
                           static_cast<int>((sum[2] + weight / 2) / weight));
    for (std::size_t i = box.begin; i < box.end; ++i) {
      mapping[colors[i].color] = mean;
    }
  }
  return mapping;
}

std::string GifError(int code) {
  const char* text = GifErrorString(code);
  return text != nullptr ? std::string(text) : "giflib error " + std::to_string(code);
}

}  // namespace

IndexedPicture ToIndexed(const QImage& image, QRgb matte, int maxOpaqueColors) {
  if (image.isNull()) {
    throw std::invalid_argument("GIF: the picture is empty");
  }
  if (image.width() > 65535 || image.height() > 65535) {
    throw std::invalid_argument("GIF: a picture side exceeds 65535 px");
  }
  if (maxOpaqueColors < 1 || maxOpaqueColors > kMaxOpaqueColors) {
    throw std::invalid_argument("GIF: the colour limit must lie in [1, 255]");
  }
  const QImage argb = image.convertToFormat(QImage::Format_ARGB32);
  IndexedPicture picture;
  picture.width = argb.width();
  picture.height = argb.height();

  // Flatten: opaque 0xffRRGGBB, or 0 for a transparent pixel.
  std::vector<QRgb> flat;
  flat.reserve(static_cast<std::size_t>(picture.width) * static_cast<std::size_t>(picture.height));
  bool anyTransparent = false;
  for (int y = 0; y < picture.height; ++y) {
    const auto* row = reinterpret_cast<const QRgb*>(argb.constScanLine(y));
    for (int x = 0; x < picture.width; ++x) {
      const QRgb pixel = row[x];
      const int alpha = qAlpha(pixel);
      if (alpha < 128) {
        flat.push_back(0);
        anyTransparent = true;
      } else {
        flat.push_back(qRgb(Blend(qRed(pixel), qRed(matte), alpha),
                            Blend(qGreen(pixel), qGreen(matte), alpha),
                            Blend(qBlue(pixel), qBlue(matte), alpha)));
      }
    }
  }

  std::map<QRgb, int> counts;
  for (const QRgb pixel : flat) {
    if (pixel != 0) {
      ++counts[pixel];
    }
  }
  picture.sourceColors = static_cast<int>(counts.size());
  if (picture.sourceColors > maxOpaqueColors) {
    std::vector<ColorCount> colors;
    colors.reserve(counts.size());
    for (const auto& [color, count] : counts) {
      colors.push_back({color, count});
    }
    const std::map<QRgb, QRgb> mapping = MedianCut(std::move(colors), maxOpaqueColors);
    for (QRgb& pixel : flat) {
      if (pixel != 0) {
        pixel = mapping.at(pixel);
      }
    }
    picture.reduced = true;
  }

  // Palette: the transparent entry first (it shows the matte in viewers that ignore
  // transparency), then the opaque colours in ascending RGB order.
  std::map<QRgb, std::uint8_t> indexOf;
  if (anyTransparent) {
    picture.transparentIndex = 0;
    picture.palette.push_back(qRgb(qRed(matte), qGreen(matte), qBlue(matte)));
  }
  std::vector<QRgb> opaque;
  for (const QRgb pixel : flat) {
    if (pixel != 0) {
      opaque.push_back(pixel);
    }
  }
  std::sort(opaque.begin(), opaque.end());
  opaque.erase(std::unique(opaque.begin(), opaque.end()), opaque.end());
  for (const QRgb color : opaque) {
    indexOf[color] = static_cast<std::uint8_t>(picture.palette.size());
    picture.palette.push_back(color);
  }
  picture.pixels.reserve(flat.size());
  for (const QRgb pixel : flat) {
    picture.pixels.push_back(pixel == 0 ? std::uint8_t{0} : indexOf.at(pixel));
  }
  return picture;
}

void WriteGif(const IndexedPicture& picture, const std::string& path) {
  const std::size_t area =
      static_cast<std::size_t>(picture.width) * static_cast<std::size_t>(picture.height);
  if (picture.width <= 0 || picture.height <= 0 || picture.pixels.size() != area ||
      picture.palette.empty() || picture.palette.size() > 256) {
    throw std::invalid_argument("GIF: inconsistent indexed picture for " + path);
  }
  // giflib wants a power-of-two colour map of at least two entries.
  int mapSize = 2;
  while (mapSize < static_cast<int>(picture.palette.size())) {
    mapSize *= 2;
  }
  std::vector<GifColorType> entries(static_cast<std::size_t>(mapSize), GifColorType{0, 0, 0});
  for (std::size_t i = 0; i < picture.palette.size(); ++i) {
    entries[i] = {static_cast<GifByteType>(qRed(picture.palette[i])),
                  static_cast<GifByteType>(qGreen(picture.palette[i])),
                  static_cast<GifByteType>(qBlue(picture.palette[i]))};
  }
  std::unique_ptr<ColorMapObject, decltype(&GifFreeMapObject)> map(
      GifMakeMapObject(mapSize, entries.data()), &GifFreeMapObject);
  if (!map) {
    throw std::runtime_error("cannot write " + path + ": out of memory for the colour map");
  }

  const int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  if (fd < 0) {
    throw std::runtime_error("cannot write " + path + ": " + std::strerror(errno));
  }
  int error = 0;
  GifFileType* gif = EGifOpenFileHandle(fd, &error);
  if (gif == nullptr) {
    close(fd);
    throw std::runtime_error("cannot write " + path + ": " + GifError(error));
  }
  auto fail = [&](const char* step) {
    const std::string message = "cannot write " + path + " (" + step + "): " + GifError(gif->Error);
    int ignored = 0;
    EGifCloseFile(gif, &ignored);
    throw std::runtime_error(message);
  };

  EGifSetGifVersion(gif, true);
  const int background = picture.transparentIndex >= 0 ? picture.transparentIndex : 0;
  if (EGifPutScreenDesc(gif, picture.width, picture.height, 8, background, map.get()) ==
      GIF_ERROR) {
    fail("screen descriptor");
  }
  if (picture.transparentIndex >= 0) {
    GraphicsControlBlock control{};
    control.DisposalMode = DISPOSAL_UNSPECIFIED;
    control.UserInputFlag = false;
    control.DelayTime = 0;
    control.TransparentColor = picture.transparentIndex;
    std::array<GifByteType, 4> extension{};
    const size_t length = EGifGCBToExtension(&control, extension.data());
    if (EGifPutExtension(gif, GRAPHICS_EXT_FUNC_CODE, static_cast<int>(length), extension.data()) ==
        GIF_ERROR) {
      fail("graphics control extension");
    }
  }
  if (EGifPutImageDesc(gif, 0, 0, picture.width, picture.height, false, nullptr) == GIF_ERROR) {
    fail("image descriptor");
  }
  std::vector<GifPixelType> row(static_cast<std::size_t>(picture.width));
  for (int y = 0; y < picture.height; ++y) {
    const auto start = picture.pixels.begin() + static_cast<std::ptrdiff_t>(y) * picture.width;
    std::copy(start, start + picture.width, row.begin());
    if (EGifPutLine(gif, row.data(), picture.width) == GIF_ERROR) {
      fail("pixel data");
    }
  }
  if (EGifCloseFile(gif, &error) == GIF_ERROR) {
    throw std::runtime_error("cannot write " + path + " (closing): " + GifError(error));
  }
}

}  // namespace kepler::assets
