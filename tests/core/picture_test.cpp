// The picture decoders: damaged, cut and oversized files each refused with their own fault and
// little memory, and whole pictures decoded to the right pixels in every layout the formats allow.
#include <gif_lib.h>
#include <gtest/gtest.h>
#include <sys/resource.h>

#include <array>
#include <cstdint>
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
using enum PictureError::Fault;

std::string ReadAsset(std::string_view name) {
  std::ostringstream bytes;
  bytes << std::ifstream(KEPLER_ASSET_DIR "/" + std::string(name), std::ios::binary).rdbuf();
  return bytes.str();
}

// The six body pictures: the program's files up to the laws picture.
const std::vector<std::string_view> kBodyPictures(kepler::kProgramFiles.begin(),
                                                  kepler::kProgramFiles.begin() + 6);

// ---- Building pictures ----

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
// Without a transparent colour its first image's descriptor (0x2C) is at kDescriptor and its
// minimum code size at kCodeSize: a 13-byte header, a 12-byte table, a 10-byte descriptor.
constexpr std::size_t kDescriptor = 25, kCodeSize = 35;
std::string EncodeGif(int screenWidth, int screenHeight, std::vector<GifFrame> frames) {
  std::string out;
  GifFileType* gif = EGifOpen(&out, WriteToString, nullptr);
  EGifSetGifVersion(gif, true);
  const GifColorType colors[4] = {{0, 0, 0}, {255, 0, 0}, {0, 255, 0}, {0, 0, 255}};
  ColorMapObject* map = GifMakeMapObject(4, colors);
  EGifPutScreenDesc(gif, screenWidth, screenHeight, 2, 0, map);
  for (GifFrame& f : frames) {
    if (f.transparent != NO_TRANSPARENT_COLOR) {  // a graphic control block: flags, delay, index
      const GifByteType control[4] = {1, 0, 0, static_cast<GifByteType>(f.transparent)};
      EGifPutExtension(gif, GRAPHICS_EXT_FUNC_CODE, 4, control);
    }
    EGifPutImageDesc(gif, f.left, f.top, f.width, f.height, f.interlaced, nullptr);
    const auto passes = f.interlaced
                            ? std::vector<std::pair<int, int>>{{0, 8}, {4, 8}, {2, 4}, {1, 2}}
                            : std::vector<std::pair<int, int>>{{0, 1}};
    for (const auto& [start, step] : passes) {
      for (int y = start; y < f.height; y += step) {
        EGifPutLine(gif, f.pixels.data() + y * f.width, f.width);
      }
    }
  }
  EGifCloseFile(gif, nullptr);
  GifFreeMapObject(map);
  return out;
}

GifFrame Filled(int width, int height, GifPixelType index) {
  return {0, 0, width, height, std::vector<GifPixelType>(width * height, index)};
}

// `bytes` written over `file` from `at` on.
std::string Patched(std::string file, std::size_t at, std::string_view bytes) {
  return file.replace(at, bytes.size(), bytes);
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
  std::uint32_t offset = 14;  // the file header's bytes, then the fields'
  for (const auto& field : fields) offset += static_cast<std::uint32_t>(field.second);
  fields.insert(fields.begin(), {{0x4D42, 2}, {offset + size, 4}, {0, 4}, {offset, 4}});  // "BM"
  std::string file;
  for (const auto& [value, bytes] : fields) {
    for (int i = 0; i < bytes; ++i) file += static_cast<char>((value >> (8 * i)) & 0xFF);
  }
  return file + s.data;
}

std::string Bytes(std::initializer_list<int> values) {
  return std::string(values.begin(), values.end());
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
  const std::string gif = EncodeGif(30, 30, {Filled(30, 30, 1)});
  std::string garbage = gif;  // its LZW data overwritten, the sub-blocks' lengths kept
  std::mt19937 random(20261207);
  for (std::size_t at = kCodeSize + 1; garbage[at] != 0; at += garbage[at] + 1u) {
    for (int i = 1; i <= static_cast<unsigned char>(garbage[at]); ++i) {
      garbage[at + i] = static_cast<char>(random());
    }
  }
  const std::string ten = EncodeGif(10, 1, {Filled(10, 1, 1)});  // pixels, of the 900 promised
  const std::string laws = ReadAsset(kepler::kLawsPicture);
  const std::string outside = EncodeGif(30, 30, {Filled(20, 20, 1)});  // moved to columns 11-30
  // clang-format off
  std::vector<Damage> cases = {
      {"LZW garbage", garbage, Damaged, "画素のデータ"},
      {"10 of 900", gif.substr(0, kCodeSize) + ten.substr(kCodeSize), Damaged, "画素のデータ"},
      {"image outside", Patched(outside, kDescriptor + 1, "\x0B"), Damaged, "はみ出して"},
      {"no image", gif.substr(0, kDescriptor) + ";", Damaged, "一枚も"},
      {"kepler.bmp less its last row", laws.substr(0, laws.size() - 800 * 3), CutShort, "途中で"},
      // Size bombs: a small file declaring a huge picture.
      {"GIF of 5700 x 5700", Patched(gif, 6, "\x44\x16\x44\x16"), TooLarge, "大きすぎます"},
      {"17 images of 800 x 500", EncodeGif(800, 500, std::vector(17, Filled(800, 500, 2))),
       TooLarge, "大きすぎます"}};
  const std::vector<std::uint32_t> two = {0x000000, 0xFFFFFF};
  const std::string z = Bytes({0, 0, 0, 0});
  const struct { const char* what; BmpParts bmp; Fault fault; const char* cause; } bmps[] = {
      {"RLE8 of 5700 x 5700", {5700, 5700, 8, 1, {0}, Bytes({0, 1})}, TooLarge, "大きすぎます"},
      {"BMP of 801 x 1", {801, 1, 24, 0, {}, std::string(2404, '\0')}, TooLarge, "大きすぎます"},
      {"RLE8 run past the row end", {4, 2, 8, 1, two, Bytes({5, 1, 0, 1})}, Damaged, "はみ出して"},
      {"RLE8 literal past the row end",
       {4, 2, 8, 1, two, Bytes({0, 3, 1, 1, 1, 0, 0, 3, 1, 1, 1, 0, 0, 1})}, Damaged, "はみ出して"},
      {"RLE4 moved below", {4, 2, 4, 2, two, Bytes({0, 2, 0, 3, 0, 1})}, Damaged, "はみ出して"},
      {"RLE8 extra row", {2, 1, 8, 1, two, Bytes({2, 1, 0, 0, 2, 1, 0, 1})}, Damaged, "はみ出して"},
      {"RLE8 ending before its rows", {2, 2, 8, 1, two, Bytes({2, 1, 0, 0})}, CutShort, "途中で"},
      {"colour index beyond the table", {2, 1, 8, 0, two, Bytes({0, 2, 0, 0})}, Damaged, "色番号"},
      {"JPEG-compressed BMP", {1, 1, 24, 4, {}, z}, Unsupported, "対応していません"},
      {"masks: none", {1, 1, 16, 3, {}, z, {0, 0, 0}}, Damaged, "マスク"},
      {"masks: no green", {1, 1, 16, 3, {}, z, {0xF800, 0, 0x001F}}, Damaged, "マスク"},
      {"masks: overlapping", {1, 1, 16, 3, {}, z, {0xF800, 0x0FE0, 0x001F}}, Damaged, "マスク"},
      {"masks: with a gap", {1, 1, 16, 3, {}, z, {0xF0F0, 0x0F00, 0x000F}}, Damaged, "マスク"}};
  // clang-format on
  for (const auto& b : bmps) cases.push_back({b.what, EncodeBmp(b.bmp), b.fault, b.cause});
  for (const char size : {'\0', '\1', '\11', '\14'}) {  // 0, 1, 9, 12
    cases.push_back({"code size " + std::to_string(size), Patched(gif, kCodeSize, {&size, 1}),
                     Damaged, "符号の大きさ"});
  }
  for (const std::string_view name : kBodyPictures) {
    const std::string body = ReadAsset(name);
    const auto cut = [&](std::size_t length) {
      cases.push_back({std::string(name) + " cut to " + std::to_string(length),
                       body.substr(0, length), CutShort, "途中で切れています"});
    };
    // Cut right after every 0x3B byte, the trailer's value, and at ten other places.
    for (std::size_t i = 0; i + 1 < body.size(); ++i) {
      if (body[i] == 0x3B) cut(i + 1);
    }
    for (std::size_t k = 1; k <= 10; ++k) cut(body.size() * k / 11);
  }
  return cases;
}

// Memory at its highest so far [kB]: the process's resident peak, or under WebAssembly the linear
// memory's size, which only grows (the peak of a Node process swings by several megabytes with its
// garbage collector and says nothing of the decoders); -1 where it cannot be read.
long PeakMemoryKb() {
#ifdef __EMSCRIPTEN__
  return static_cast<long>(__builtin_wasm_memory_size(0) * 64);  // 64 KiB pages
#else
  rusage usage{};
  return getrusage(RUSAGE_SELF, &usage) == 0 ? usage.ru_maxrss : -1;
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

// Two rows of three pixels: red green blue on top, white black red below, in the BMP layouts Qt
// does not write (the others are checked against Qt's reader in the asset tests); and GIFs.
const std::vector<std::uint32_t> kTwoRows = {kRed, kGreen, kBlue, kWhite, kBlack, kRed};

TEST(Pictures, EveryLayoutPaddingAfterTheTrailerAndAWrongBmpSizeFieldGiveThePixels) {
  for (const std::string_view name : kBodyPictures) {
    const std::string gif = ReadAsset(name);
    for (const std::string& padding : {std::string(1000, '\0'), std::string("GIF89a;;;;")}) {
      EXPECT_EQ(DecodePicture(gif + padding).pixels, DecodePicture(gif).pixels) << name;
    }
  }
  const std::string laws = ReadAsset(kepler::kLawsPicture);
  const Picture plain = DecodePicture(laws);
  EXPECT_EQ(std::pair(plain.width, plain.height), std::pair(800, 500));
  for (const std::string_view size : {"\0\0\0\0", "\x36\0\0\0", "\xFF\xFF\xFF\xFF"}) {
    EXPECT_EQ(DecodePicture(Patched(laws, 2, {size.data(), 4})).pixels, plain.pixels) << size;
  }
  const std::vector<std::uint32_t> palette = {0xFF0000, 0x00FF00, 0x0000FF, 0xFFFFFF, 0x000000};
  // The first image on its screen, its colour 0 transparent; the second is decoded, not shown.
  GifFrame first{1, 1, 3, 2, {1, 2, 0, 3, 3, 1}, false, 0};
  // Eleven rows interlaced, so that every pass has rows to place.
  GifFrame interlaced{0, 0, 2, 11, {}, true};
  std::vector<std::uint32_t> rows;
  for (int y = 0; y < 11; ++y) {
    for (const int index : {y % 4, y / 4 % 4}) {
      interlaced.pixels.push_back(static_cast<GifPixelType>(index));
      rows.push_back(std::array{kBlack, kRed, kGreen, kBlue}[index]);
    }
  }
  // clang-format off
  const struct {
    std::string what;
    BmpParts bmp;
    std::vector<std::uint32_t> expected = kTwoRows;
  } bmps[] = {
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
      {"OS/2 8 bits", {3, 2, 8, 0, palette, Bytes({3, 4, 0, 0, 0, 1, 2, 0}), {}, true}}};
  // clang-format on
  const auto check = [](const std::string& what, const std::string& bytes, int width,
                        const std::vector<std::uint32_t>& expected) {
    const Picture p = DecodePicture(bytes);
    EXPECT_EQ(std::pair(p.width, p.height), std::pair(width, int(expected.size()) / width)) << what;
    EXPECT_EQ(p.pixels, expected) << what;
  };
  for (const auto& c : bmps) check(c.what, EncodeBmp(c.bmp), 3, c.expected);
  check("GIF", EncodeGif(4, 3, {first, Filled(4, 3, 2)}), 4,
        {0, 0, 0, 0, 0, kRed, kGreen, 0, 0, kBlue, kBlue, kRed});
  check("interlaced GIF", EncodeGif(2, 11, {interlaced}), 2, rows);
}

}  // namespace
