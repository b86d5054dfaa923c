// BMP: the file header, one of the Windows or OS/2 information headers, an optional colour table
// or colour masks, then rows of pixels from the bottom up (top down for a negative height),
// uncompressed or run-length encoded. Every size and offset is checked against the file before
// it is used.
#include <algorithm>
#include <bit>
#include <climits>

#include "core/picture.h"

namespace kepler {
namespace {

using picture_detail::CheckSize;
using picture_detail::CutShort;
using picture_detail::Damaged;

enum Compression : std::uint32_t { kRgb = 0, kRle8 = 1, kRle4 = 2, kBitfields = 3 };

[[noreturn]] void Unsupported(const std::string& what) {
  throw PictureError(PictureError::Fault::Unsupported,
                     "この種類の BMP には対応していません（" + what + "）");
}

class Bytes {
 public:
  explicit Bytes(std::string_view bytes) : bytes_(bytes) {}
  std::size_t size() const { return bytes_.size(); }
  // Whether `count` bytes from `at` lie inside the file, without overflow.
  bool has(std::size_t at, std::size_t count) const {
    return at <= bytes_.size() && count <= bytes_.size() - at;
  }
  std::uint8_t u8(std::size_t at) const { return static_cast<std::uint8_t>(bytes_[at]); }
  std::uint32_t u16(std::size_t at) const { return u8(at) | std::uint32_t{u8(at + 1)} << 8; }
  std::uint32_t u32(std::size_t at) const { return u16(at) | u16(at + 2) << 16; }

 private:
  std::string_view bytes_;
};

// One colour channel of a packed pixel: where its mask lies, and how to widen it to 8 bits.
class Channel {
 public:
  Channel() = default;
  explicit Channel(std::uint32_t mask)
      : mask_(mask), shift_(std::countr_zero(mask)), bits_(std::popcount(mask)) {}

  // A mask must be one run of bits; none at all leaves the colour undefined.
  bool valid() const { return mask_ != 0 && ((mask_ >> shift_) & ((mask_ >> shift_) + 1)) == 0; }
  std::uint32_t mask() const { return mask_; }

  // The channel's value as 8 bits: narrower values repeat their bits downwards (31 of 5 bits is
  // 255), wider ones keep their top 8 bits.
  std::uint32_t of(std::uint32_t pixel) const {
    const std::uint32_t value = (pixel & mask_) >> shift_;
    if (bits_ >= 8) return value >> (bits_ - 8);
    std::uint32_t result = value << (8 - bits_);
    for (int filled = bits_; filled < 8; filled *= 2) result |= result >> filled;
    return result & 0xFF;
  }

 private:
  std::uint32_t mask_ = 0;
  int shift_ = 0;
  int bits_ = 0;
};

constexpr std::uint32_t Opaque(std::uint32_t red, std::uint32_t green, std::uint32_t blue) {
  return 0xFF000000u | red << 16 | green << 8 | blue;
}

struct Header {
  std::size_t headerSize = 0;  // of the information header [bytes]
  long long width = 0;
  long long height = 0;  // negative: rows from the top down
  std::uint32_t planes = 0;
  std::uint32_t bitsPerPixel = 0;
  std::uint32_t compression = kRgb;
  std::uint32_t colors = 0;  // entries of the colour table; 0 for as many as the depth allows
  bool os2 = false;          // OS/2 1.x: 16-bit sizes and 3-byte table entries
};

Header ReadHeader(const Bytes& b) {
  if (!b.has(0, 18)) CutShort();
  Header h;
  h.headerSize = b.u32(14);
  if (h.headerSize == 12) {
    if (!b.has(14, 12)) CutShort();
    h.os2 = true;
    h.width = b.u16(18);
    h.height = b.u16(20);
    h.planes = b.u16(22);
    h.bitsPerPixel = b.u16(24);
    return h;
  }
  // Windows 3 (40 bytes) and its extensions with masks (52, 56), colour space (108) and profile
  // (124); all begin alike.
  if (h.headerSize != 40 && h.headerSize != 52 && h.headerSize != 56 && h.headerSize != 108 &&
      h.headerSize != 124) {
    if (h.headerSize < 12) Damaged("見出しの長さ " + std::to_string(h.headerSize) + " が不正です");
    Unsupported("見出しの長さ " + std::to_string(h.headerSize) + " バイト");
  }
  if (!b.has(14, h.headerSize)) CutShort();
  h.width = static_cast<std::int32_t>(b.u32(18));
  h.height = static_cast<std::int32_t>(b.u32(22));
  h.planes = b.u16(26);
  h.bitsPerPixel = b.u16(28);
  h.compression = b.u32(30);
  h.colors = b.u32(46);
  return h;
}

void CheckFormat(const Header& h) {
  const std::uint32_t bpp = h.bitsPerPixel;
  switch (h.compression) {
    case kRgb:
      if (bpp != 1 && bpp != 4 && bpp != 8 && bpp != 16 && bpp != 24 && bpp != 32) {
        Unsupported("1 画素 " + std::to_string(bpp) + " ビット");
      }
      return;
    case kRle8:
    case kRle4:
      if (bpp != (h.compression == kRle8 ? 8u : 4u)) Damaged("圧縮方式と色の数が合いません");
      if (h.height < 0) Damaged("上から下への画像は圧縮できません");
      return;
    case kBitfields:
      if (bpp != 16 && bpp != 32) Damaged("色のマスクは 16 と 32 ビットの画像だけのものです");
      return;
    default:
      Unsupported("圧縮方式 " + std::to_string(h.compression));
  }
}

struct Layout {
  std::vector<std::uint32_t> palette;  // opaque colours
  Channel red, green, blue;            // packed pixels (16, 24 and 32 bits)
};

Layout ReadLayout(const Bytes& b, const Header& h, std::size_t pixelOffset) {
  Layout layout;
  std::size_t at = 14 + h.headerSize;
  if (h.compression == kBitfields) {
    // The masks follow a 40-byte header; the longer headers hold them.
    const std::size_t masksAt = h.headerSize == 40 ? at : 54;
    if (!b.has(masksAt, 12)) CutShort();
    if (h.headerSize == 40) at += 12;
    layout.red = Channel(b.u32(masksAt));
    layout.green = Channel(b.u32(masksAt + 4));
    layout.blue = Channel(b.u32(masksAt + 8));
    const std::uint64_t all =
        std::uint64_t{layout.red.mask()} | layout.green.mask() | layout.blue.mask();
    const bool overlap = (layout.red.mask() & layout.green.mask()) != 0 ||
                         (layout.red.mask() & layout.blue.mask()) != 0 ||
                         (layout.green.mask() & layout.blue.mask()) != 0;
    if (!layout.red.valid() || !layout.green.valid() || !layout.blue.valid() || overlap ||
        all >> h.bitsPerPixel != 0) {
      Damaged("色のマスクが不正です");
    }
  } else if (h.bitsPerPixel == 16) {
    layout.red = Channel(0x7C00);
    layout.green = Channel(0x03E0);
    layout.blue = Channel(0x001F);
  } else if (h.bitsPerPixel >= 24) {
    layout.red = Channel(0xFF0000);
    layout.green = Channel(0x00FF00);
    layout.blue = Channel(0x0000FF);
  }
  if (pixelOffset < at) Damaged("画素データの位置が不正です");
  if (h.bitsPerPixel <= 8) {
    const std::uint32_t most = 1u << h.bitsPerPixel;
    if (h.colors > 256) Damaged("色表の大きさ " + std::to_string(h.colors) + " が不正です");
    const std::size_t entry = h.os2 ? 3 : 4;
    // A table never reaches into the pixels, whatever the header counts.
    const std::size_t count = std::min<std::size_t>(std::min(h.colors == 0 ? most : h.colors, most),
                                                    (pixelOffset - at) / entry);
    if (count == 0) Damaged("色表がありません");
    if (!b.has(at, count * entry)) CutShort();
    for (std::size_t i = 0; i < count; ++i) {
      const std::size_t e = at + i * entry;
      layout.palette.push_back(Opaque(b.u8(e + 2), b.u8(e + 1), b.u8(e)));
    }
  }
  return layout;
}

class Canvas {
 public:
  Canvas(int width, int height, bool topDown, const Layout& layout)
      : width_(width), height_(height), topDown_(topDown), layout_(layout) {
    picture_.width = width;
    picture_.height = height;
    picture_.pixels.assign(static_cast<std::size_t>(width) * height,
                           layout.palette.empty() ? Opaque(0, 0, 0) : layout.palette.front());
  }
  // Row `row` as stored in the file, counted from the file's first row.
  std::uint32_t* row(int row) {
    const int y = topDown_ ? row : height_ - 1 - row;
    return picture_.pixels.data() + static_cast<std::size_t>(y) * width_;
  }
  std::uint32_t color(std::uint32_t index) const {
    if (index >= layout_.palette.size()) Damaged("色表にない色番号があります");
    return layout_.palette[index];
  }
  std::uint32_t packed(std::uint32_t pixel) const {
    return Opaque(layout_.red.of(pixel), layout_.green.of(pixel), layout_.blue.of(pixel));
  }
  int width() const { return width_; }
  int height() const { return height_; }
  Picture take() { return std::move(picture_); }

 private:
  int width_;
  int height_;
  bool topDown_;
  const Layout& layout_;
  Picture picture_;
};

void ReadUncompressed(const Bytes& b, std::size_t at, std::uint32_t bpp, Canvas& canvas) {
  const std::uint64_t bits = std::uint64_t{bpp} * static_cast<std::uint64_t>(canvas.width());
  const std::uint64_t stride = (bits + 31) / 32 * 4;
  // The last row's padding may be missing: some writers leave it out.
  const std::uint64_t needed =
      stride * static_cast<std::uint64_t>(canvas.height() - 1) + (bits + 7) / 8;
  // The size is checked by now (at most 800 × 500 at 32 bits): `needed` fits a size_t anywhere.
  if (!b.has(at, static_cast<std::size_t>(needed))) CutShort();
  for (int r = 0; r < canvas.height(); ++r) {
    const std::size_t start = at + static_cast<std::size_t>(stride) * r;
    std::uint32_t* out = canvas.row(r);
    for (int x = 0; x < canvas.width(); ++x) {
      switch (bpp) {
        case 1:
        case 4:
        case 8: {
          const std::size_t bit = static_cast<std::size_t>(x) * bpp;
          const std::uint32_t byte = b.u8(start + bit / 8);
          const std::uint32_t shift = 8 - bpp - bit % 8;
          out[x] = canvas.color((byte >> shift) & ((1u << bpp) - 1));
          break;
        }
        case 16:
          out[x] = canvas.packed(b.u16(start + 2 * static_cast<std::size_t>(x)));
          break;
        case 24: {
          const std::size_t p = start + 3 * static_cast<std::size_t>(x);
          out[x] = canvas.packed(b.u8(p) | std::uint32_t{b.u8(p + 1)} << 8 |
                                 std::uint32_t{b.u8(p + 2)} << 16);
          break;
        }
        default:
          out[x] = canvas.packed(b.u32(start + 4 * static_cast<std::size_t>(x)));
      }
    }
  }
}

// RLE8 and RLE4: pairs (count, value) give a run of count pixels; (0, 0) ends a row, (0, 1) the
// picture, (0, 2, dx, dy) moves on, (0, n >= 3) is followed by n literal pixels padded to a
// 16-bit boundary. A run or a move that leaves the picture is damage, not something to clip.
void ReadRunLength(const Bytes& b, std::size_t at, std::uint32_t bpp, Canvas& canvas) {
  const int width = canvas.width();
  const int height = canvas.height();
  int x = 0;
  int y = 0;  // the row from the file's first (the bottom one)
  const auto fits = [&](std::size_t count) {
    if (y >= height || static_cast<std::size_t>(x) + count > static_cast<std::size_t>(width)) {
      Damaged("圧縮されたデータが画像の外にはみ出しています");
    }
  };
  // The colour index of pixel i of a run or a literal, given the byte that holds it.
  const auto nibbleOrByte = [&](std::uint32_t value, std::size_t i) {
    return bpp == 8 ? value : (i % 2 == 0 ? value >> 4 : value & 0x0F);
  };
  for (;;) {
    if (!b.has(at, 2)) {
      // Some writers leave out the final end mark once every row is there.
      if (y >= height || (y == height - 1 && x == width)) return;
      CutShort();
    }
    const std::uint32_t count = b.u8(at);
    const std::uint32_t value = b.u8(at + 1);
    at += 2;
    if (count > 0) {
      fits(count);
      std::uint32_t* out = canvas.row(y);
      for (std::size_t i = 0; i < count; ++i) out[x++] = canvas.color(nibbleOrByte(value, i));
    } else if (value == 0) {
      x = 0;
      ++y;
    } else if (value == 1) {
      return;
    } else if (value == 2) {
      if (!b.has(at, 2)) CutShort();
      x += b.u8(at);
      y += b.u8(at + 1);
      at += 2;
      if (x > width || y > height) Damaged("圧縮されたデータが画像の外にはみ出しています");
    } else {
      const std::size_t bytes = bpp == 8 ? value : (value + 1) / 2;
      if (!b.has(at, bytes)) CutShort();
      fits(value);
      std::uint32_t* out = canvas.row(y);
      for (std::size_t i = 0; i < value; ++i) {
        out[x++] = canvas.color(nibbleOrByte(b.u8(at + (bpp == 8 ? i : i / 2)), i));
      }
      at += bytes + bytes % 2;
    }
  }
}

}  // namespace

Picture DecodeBmp(std::string_view bytes) {
  const Bytes b(bytes);
  const Header h = ReadHeader(b);
  if (h.planes != 1) Damaged("面の数が 1 ではありません");
  if (h.width <= 0 || h.height == 0) Damaged("画像の大きさが不正です");
  const long long height = h.height < 0 ? -h.height : h.height;
  CheckSize(h.width, height);
  CheckFormat(h);
  const std::size_t pixelOffset = b.u32(10);
  const Layout layout = ReadLayout(b, h, pixelOffset);
  if (pixelOffset >= b.size()) CutShort();
  Canvas canvas(static_cast<int>(h.width), static_cast<int>(height), h.height < 0, layout);
  if (h.compression == kRle8 || h.compression == kRle4) {
    ReadRunLength(b, pixelOffset, h.bitsPerPixel, canvas);
  } else {
    ReadUncompressed(b, pixelOffset, h.bitsPerPixel, canvas);
  }
  return canvas.take();
}

}  // namespace kepler
