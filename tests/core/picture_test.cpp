// The picture decoders: damaged, cut and oversized files each refused with their own fault and
// little memory, and whole pictures decoded to the right pixels in every layout the formats allow.
#include <gif_lib.h>
#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <cstring>
#include <fstream>
#include <random>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include "core/picture.h"
#include "core/program_files.h"

namespace {

using kepler::DecodePicture;
using kepler::Picture;
using kepler::PictureError;
using Fault = PictureError::Fault;

std::string ReadAsset(std::string_view name) {
  std::ifstream in(KEPLER_ASSET_DIR "/" + std::string(name), std::ios::binary);
  std::ostringstream bytes;
  bytes << in.rdbuf();
  return bytes.str();
}

// The six body pictures: the program's files up to the laws picture.
const std::vector<std::string_view> kBodyPictures(kepler::kProgramFiles.begin(),
                                                  kepler::kProgramFiles.begin() + 6);

// ---- Building pictures ----

void PutLe(std::string& out, std::uint32_t value, int bytes) {
  for (int i = 0; i < bytes; ++i) out += static_cast<char>((value >> (8 * i)) & 0xFF);
}

struct GifFrame {
  int left = 0, top = 0, width = 0, height = 0;
  std::vector<GifPixelType> pixels;  // row by row from the top
  bool interlaced = false;
  int transparent = NO_TRANSPARENT_COLOR;
};

int WriteToString(GifFileType* gif, const GifByteType* bytes, int length) {
  static_cast<std::string*>(gif->UserData)->append(reinterpret_cast<const char*>(bytes), length);
  return length;
}

// A GIF89a through giflib's encoder, with a global table of four colours: black, red, green, blue.
std::string EncodeGif(int screenWidth, int screenHeight, const std::vector<GifFrame>& frames) {
  std::string out;
  GifFileType* gif = EGifOpen(&out, WriteToString, nullptr);
  EGifSetGifVersion(gif, true);
  const GifColorType colors[4] = {{0, 0, 0}, {255, 0, 0}, {0, 255, 0}, {0, 0, 255}};
  ColorMapObject* map = GifMakeMapObject(4, colors);
  EXPECT_EQ(EGifPutScreenDesc(gif, screenWidth, screenHeight, 2, 0, map), GIF_OK);
  for (const GifFrame& f : frames) {
    if (f.transparent != NO_TRANSPARENT_COLOR) {
      GraphicsControlBlock control{};
      control.TransparentColor = f.transparent;
      GifByteType extension[4];
      const auto length = EGifGCBToExtension(&control, extension);
      EXPECT_EQ(EGifPutExtension(gif, GRAPHICS_EXT_FUNC_CODE, static_cast<int>(length), extension),
                GIF_OK);
    }
    EXPECT_EQ(EGifPutImageDesc(gif, f.left, f.top, f.width, f.height, f.interlaced, nullptr),
              GIF_OK);
    std::vector<int> rows;
    if (f.interlaced) {
      for (const auto& [start, step] : {std::pair{0, 8}, {4, 8}, {2, 4}, {1, 2}}) {
        for (int y = start; y < f.height; y += step) rows.push_back(y);
      }
    } else {
      for (int y = 0; y < f.height; ++y) rows.push_back(y);
    }
    for (const int y : rows) {
      std::vector<GifPixelType> line(f.pixels.begin() + y * f.width,
                                     f.pixels.begin() + (y + 1) * f.width);
      EXPECT_EQ(EGifPutLine(gif, line.data(), f.width), GIF_OK);
    }
  }
  EGifCloseFile(gif, nullptr);
  GifFreeMapObject(map);
  return out;
}

GifFrame Filled(int width, int height, GifPixelType index) {
  return {0, 0, width, height, std::vector<GifPixelType>(width * height, index)};
}

// Where the parts of a GIF's first image lie.
struct GifLayout {
  std::size_t descriptor;  // the 0x2C that opens the image descriptor
  std::size_t codeSize;    // the minimum code size byte
};

GifLayout LayoutOf(const std::string& gif) {
  const auto byte = [&](std::size_t at) { return static_cast<unsigned char>(gif[at]); };
  std::size_t at = 13;
  if (byte(10) & 0x80) at += 3u << ((byte(10) & 7) + 1);
  while (byte(at) == 0x21) {  // extensions: introducer, label, sub-blocks
    at += 2;
    while (byte(at) != 0) at += byte(at) + 1;
    ++at;
  }
  const std::size_t descriptor = at;
  at += 10;
  if (byte(descriptor + 9) & 0x80) at += 3u << ((byte(descriptor + 9) & 7) + 1);
  return {descriptor, at};
}

struct BmpParts {
  int width = 0;
  int height = 0;  // negative: top-down
  int bitsPerPixel = 24;
  std::uint32_t compression = 0;
  std::vector<std::uint32_t> palette;  // 0xRRGGBB
  std::string data;                    // the pixel data as it stands in the file
  std::array<std::uint32_t, 3> masks{};
  bool os2 = false;
};

std::string EncodeBmp(const BmpParts& s) {
  const auto size = static_cast<std::uint32_t>(s.data.size());
  const auto w = static_cast<std::uint32_t>(s.width), h = static_cast<std::uint32_t>(s.height);
  const auto colors = static_cast<std::uint32_t>(s.palette.size());
  using Fields = std::vector<std::pair<std::uint32_t, int>>;  // each value and its width [bytes]
  // clang-format off
  Fields fields = s.os2 ? Fields{{12, 4}, {w, 2}, {h, 2}, {1, 2}, {s.bitsPerPixel, 2}}
                        : Fields{{40, 4}, {w, 4}, {h, 4}, {1, 2}, {s.bitsPerPixel, 2},
                                 {s.compression, 4}, {size, 4}, {2835, 4}, {2835, 4},
                                 {colors, 4}, {0, 4}};
  // clang-format on
  if (s.compression == 3) {
    for (const std::uint32_t mask : s.masks) fields.push_back({mask, 4});
  }
  for (const std::uint32_t color : s.palette) fields.push_back({color, s.os2 ? 3 : 4});
  std::string info;
  for (const auto& [value, bytes] : fields) PutLe(info, value, bytes);
  const auto offset = static_cast<std::uint32_t>(14 + info.size());
  std::string file = "BM";
  for (const std::uint32_t value : {offset + size, 0u, offset}) PutLe(file, value, 4);
  return file + info + s.data;
}

std::string Bytes(std::initializer_list<int> values) {
  std::string out;
  for (const int v : values) out += static_cast<char>(v);
  return out;
}

constexpr std::uint32_t kRed = 0xFFFF0000, kGreen = 0xFF00FF00, kBlue = 0xFF0000FF,
                        kBlack = 0xFF000000, kWhite = 0xFFFFFFFF;

// ---- Refused pictures ----
// An empty file, a half file and bytes that are no picture at all are the fault matrix's.

struct Damage {
  std::string what;
  std::string bytes;
  Fault fault;
  std::string cause;  // a part of the message
};

std::vector<Damage> DamagedPictures() {
  std::vector<Damage> cases;
  for (const std::string_view name : kBodyPictures) {
    const std::string gif = ReadAsset(name);
    // Cut right after every 0x3B byte, the trailer's value, and at ten other places.
    for (std::size_t i = 0; i + 1 < gif.size(); ++i) {
      if (gif[i] == 0x3B) {
        cases.push_back({std::string(name) + " cut after the 0x3B at " + std::to_string(i),
                         gif.substr(0, i + 1), Fault::CutShort, "途中で切れています"});
      }
    }
    for (std::size_t k = 1; k <= 10; ++k) {
      const std::size_t length = gif.size() * k / 11;
      cases.push_back({std::string(name) + " cut to " + std::to_string(length) + " bytes",
                       gif.substr(0, length), Fault::CutShort, "途中で切れています"});
    }
  }

  const std::string gif = EncodeGif(30, 30, {Filled(30, 30, 1)});
  const GifLayout layout = LayoutOf(gif);
  std::string garbage = gif;
  std::mt19937 random(20261207);
  for (std::size_t at = layout.codeSize + 1; garbage[at] != 0; at += garbage[at] + 1u) {
    for (int i = 1; i <= static_cast<unsigned char>(garbage[at]); ++i) {
      garbage[at + i] = static_cast<char>(random());
    }
  }
  cases.push_back({"LZW garbage", garbage, Fault::Damaged, "画素のデータ"});
  for (const int size : {0, 1, 9, 12}) {
    std::string bad = gif;
    bad[layout.codeSize] = static_cast<char>(size);
    cases.push_back({"code size " + std::to_string(size), bad, Fault::Damaged, "符号の大きさ"});
  }
  // The descriptor promises 30 x 30 pixels; the data holds 10 and ends.
  const std::string tenPixels = EncodeGif(10, 1, {Filled(10, 1, 1)});
  cases.push_back({"10 of 900 pixels",
                   gif.substr(0, layout.codeSize) + tenPixels.substr(LayoutOf(tenPixels).codeSize),
                   Fault::Damaged, "画素のデータ"});
  std::string outside = EncodeGif(30, 30, {Filled(20, 20, 1)});
  outside[LayoutOf(outside).descriptor + 1] = 11;  // left 11: columns 11 to 30 of 30
  cases.push_back({"image outside the screen", outside, Fault::Damaged, "はみ出して"});
  cases.push_back(
      {"no image", gif.substr(0, LayoutOf(gif).descriptor) + ";", Fault::Damaged, "一枚も"});

  // Size bombs: a small file declaring a huge picture.
  std::string gifBomb = gif;
  for (const int at : {6, 8}) gifBomb.replace(at, 2, "\x44\x16");  // 5700 = 0x1644
  cases.push_back({"GIF of 5700 x 5700", gifBomb, Fault::TooLarge, "大きすぎます"});
  const std::vector<GifFrame> frames(17, Filled(800, 500, 2));
  cases.push_back(
      {"17 images of 800 x 500", EncodeGif(800, 500, frames), Fault::TooLarge, "大きすぎます"});
  cases.push_back({"RLE8 of 5700 x 5700", EncodeBmp({5700, 5700, 8, 1, {0x000000}, Bytes({0, 1})}),
                   Fault::TooLarge, "大きすぎます"});
  cases.push_back({"BMP of 801 x 1", EncodeBmp({801, 1, 24, 0, {}, std::string(2404, '\0')}),
                   Fault::TooLarge, "大きすぎます"});

  // BMP damage.
  const std::vector<std::uint32_t> two = {0x000000, 0xFFFFFF};
  cases.push_back({"RLE8 run past the row end", EncodeBmp({4, 2, 8, 1, two, Bytes({5, 1, 0, 1})}),
                   Fault::Damaged, "はみ出して"});
  cases.push_back({"RLE8 literal past the row end",
                   EncodeBmp({4, 2, 8, 1, two, Bytes({0, 3, 1, 1, 1, 0, 0, 3, 1, 1, 1, 0, 0, 1})}),
                   Fault::Damaged, "はみ出して"});
  cases.push_back({"RLE4 move below the picture",
                   EncodeBmp({4, 2, 4, 2, two, Bytes({0, 2, 0, 3, 0, 1})}), Fault::Damaged,
                   "はみ出して"});
  cases.push_back({"RLE8 rows past the last",
                   EncodeBmp({2, 1, 8, 1, two, Bytes({2, 1, 0, 0, 2, 1, 0, 1})}), Fault::Damaged,
                   "はみ出して"});
  cases.push_back({"RLE8 ending before its rows", EncodeBmp({2, 2, 8, 1, two, Bytes({2, 1, 0, 0})}),
                   Fault::CutShort, "途中で"});
  cases.push_back({"colour index beyond the table",
                   EncodeBmp({2, 1, 8, 0, two, Bytes({0, 2, 0, 0})}), Fault::Damaged, "色番号"});
  for (const auto& masks : {std::array<std::uint32_t, 3>{0, 0, 0},
                            {0xF800, 0, 0x001F},
                            {0xF800, 0x0FE0, 0x001F},
                            {0xF0F0, 0x0F00, 0x000F}}) {
    cases.push_back({"BITFIELDS masks " + std::to_string(masks[0] ^ masks[1] ^ masks[2]),
                     EncodeBmp({1, 1, 16, 3, {}, Bytes({0, 0, 0, 0}), masks}), Fault::Damaged,
                     "マスク"});
  }
  const std::string laws = ReadAsset(kepler::kLawsPicture);
  cases.push_back({"kepler.bmp without its last row", laws.substr(0, laws.size() - 800 * 3),
                   Fault::CutShort, "途中で"});
  cases.push_back({"JPEG-compressed BMP", EncodeBmp({1, 1, 24, 4, {}, Bytes({0, 0, 0, 0})}),
                   Fault::Unsupported, "対応していません"});
  return cases;
}

// Memory at its highest so far [kB]: the process's resident peak, or under WebAssembly the linear
// memory's size, which only grows (the peak of a Node process swings by several megabytes with its
// garbage collector and says nothing of the decoders); -1 where it cannot be read.
long PeakMemoryKb() {
#ifdef __EMSCRIPTEN__
  return static_cast<long>(__builtin_wasm_memory_size(0) * 64);  // 64 KiB pages
#else
  std::ifstream status("/proc/self/status");
  for (std::string line; std::getline(status, line);) {
    if (line.rfind("VmHWM:", 0) == 0) return std::stol(line.substr(6));
  }
  return -1;
#endif
}

TEST(Pictures, EveryDamageIsRefusedWithItsOwnFaultAndLittleMemory) {
  const std::vector<Damage> cases = DamagedPictures();
  ASSERT_GT(cases.size(), 100u);
  for (const Damage& c : cases) {
    try {
      DecodePicture(c.bytes);
      ADD_FAILURE() << c.what << ": accepted";
    } catch (const PictureError& error) {
      EXPECT_EQ(error.fault(), c.fault) << c.what << ": " << error.what();
      EXPECT_NE(std::string(error.what()).find(c.cause), std::string::npos)
          << c.what << ": " << error.what();
    }
  }
#if !defined(__SANITIZE_ADDRESS__)
  // A decoder that allocated what a bomb declares would pass 130 MB.
  EXPECT_LT(PeakMemoryKb(), 80 * 1024);
#endif
}

// ---- Accepted pictures ----

TEST(Pictures, PaddingAfterTheTrailerAndAWrongBmpSizeFieldAreShown) {
  for (const std::string_view name : kBodyPictures) {
    const std::string gif = ReadAsset(name);
    for (const std::string& padding : {std::string(1000, '\0'), std::string("GIF89a;;;;")}) {
      EXPECT_EQ(DecodePicture(gif + padding).pixels, DecodePicture(gif).pixels) << name;
    }
  }
  std::string laws = ReadAsset(kepler::kLawsPicture);
  const Picture plain = DecodePicture(laws);
  EXPECT_EQ(plain.width, 800);
  EXPECT_EQ(plain.height, 500);
  for (const std::uint32_t size : {0u, 54u, 0xFFFFFFFFu}) {
    for (int i = 0; i < 4; ++i) laws[2 + i] = static_cast<char>(size >> (8 * i));
    EXPECT_EQ(DecodePicture(laws).pixels, plain.pixels) << size;
  }
}

TEST(Pictures, GifShowsTheFirstImageOnItsScreenWithTransparency) {
  GifFrame first{1, 1, 3, 2, {1, 2, 0, 3, 3, 1}};
  first.transparent = 0;
  GifFrame second = Filled(4, 3, 2);  // decoded to check it, not shown
  const Picture p = DecodePicture(EncodeGif(4, 3, {first, second}));
  ASSERT_EQ(p.width, 4);
  ASSERT_EQ(p.height, 3);
  EXPECT_EQ(p.pixels,
            std::vector<std::uint32_t>({0, 0, 0, 0, 0, kRed, kGreen, 0, 0, kBlue, kBlue, kRed}));
}

TEST(Pictures, InterlacedGifRowsLandWhereTheyBelong) {
  GifFrame frame{0, 0, 2, 11, {}};
  for (int y = 0; y < 11; ++y) {
    frame.pixels.push_back(static_cast<GifPixelType>(y % 4));
    frame.pixels.push_back(static_cast<GifPixelType>((y / 4) % 4));
  }
  GifFrame interlaced = frame;
  interlaced.interlaced = true;
  EXPECT_EQ(DecodePicture(EncodeGif(2, 11, {interlaced})).pixels,
            DecodePicture(EncodeGif(2, 11, {frame})).pixels);
}

// Two rows of three pixels: red green blue on top, white black red below, in the BMP layouts Qt
// does not write (the others are checked against Qt's reader in the asset tests).
const std::vector<std::uint32_t> kTwoRows = {kRed, kGreen, kBlue, kWhite, kBlack, kRed};

struct Layout {
  std::string what;
  BmpParts bmp;
  std::vector<std::uint32_t> expected = kTwoRows;
};

std::vector<Layout> BmpLayouts() {
  const std::vector<std::uint32_t> palette = {0xFF0000, 0x00FF00, 0x0000FF, 0xFFFFFF, 0x000000};
  // clang-format off
  return {
      // Rows padded to 4 bytes; colours as blue, green, red; a negative height runs top-down.
      {"24 bits top-down", {3, -2, 24, 0, {}, Bytes({0, 0, 255, 0, 255, 0, 255, 0, 0, 0, 0, 0,
                                                     255, 255, 255, 0, 0, 0, 0, 0, 255, 0, 0, 0})}},
      {"4 bits", {3, 2, 4, 0, palette, Bytes({0x34, 0x00, 0, 0, 0x01, 0x20, 0, 0})}},
      {"16 bits 5-5-5", {3, 2, 16, 0, {}, Bytes({0xFF, 0x7F, 0, 0, 0, 0x7C, 0, 0,
                                                 0, 0x7C, 0xE0, 0x03, 0x1F, 0, 0, 0})}},
      {"BITFIELDS 5-6-5", {3, 2, 16, 3, {}, Bytes({0xFF, 0xFF, 0, 0, 0, 0xF8, 0, 0,
                                                   0, 0xF8, 0xE0, 0x07, 0x1F, 0, 0, 0}),
                           {0xF800, 0x07E0, 0x001F}}},
      {"BITFIELDS 32 bits", {3, 2, 32, 3, {}, Bytes({255, 255, 255, 0, 0, 0, 0, 0, 255, 0, 0, 0,
                                                     255, 0, 0, 0, 0, 255, 0, 0, 0, 0, 255, 0}),
                             {0x000000FF, 0x0000FF00, 0x00FF0000}}},
      // Runs, a row ended early (its last pixel takes the table's colour 0), a literal; a move.
      {"RLE8", {3, 2, 8, 1, palette, Bytes({1, 3, 1, 4, 0, 0, 0, 3, 0, 1, 2, 0, 0, 1})}},
      {"RLE8 with a move", {3, 2, 8, 1, palette, Bytes({1, 3, 1, 4, 0, 0, 0, 2, 1, 0, 2, 1, 0, 1})},
       {kRed, kGreen, kGreen, kWhite, kBlack, kRed}},
      {"RLE4", {3, 2, 4, 2, palette, Bytes({0, 3, 0x34, 0x00, 0, 0, 0, 3, 0x01, 0x20, 0, 1})}},
      {"RLE4 runs", {3, 2, 4, 2, palette, Bytes({2, 0x34, 1, 0x00, 0, 0, 3, 0x01, 0, 1})},
       {kRed, kGreen, kRed, kWhite, kBlack, kRed}},
      {"OS/2 8 bits", {3, 2, 8, 0, palette, Bytes({3, 4, 0, 0, 0, 1, 2, 0}), {}, true}},
  };
  // clang-format on
}

TEST(Pictures, EveryBmpLayoutGivesTheSamePixels) {
  for (const Layout& layout : BmpLayouts()) {
    const Picture p = DecodePicture(EncodeBmp(layout.bmp));
    EXPECT_EQ(p.width, 3) << layout.what;
    EXPECT_EQ(p.height, 2) << layout.what;
    EXPECT_EQ(p.pixels, layout.expected) << layout.what;
  }
}

}  // namespace
