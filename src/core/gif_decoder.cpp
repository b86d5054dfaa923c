// GIF through giflib's record interface: the file's blocks are walked one by one to the trailer,
// so that each image's declared place and size are checked before its pixels are decoded, and an
// image whose compressed data stops early, or a file that stops before its trailer, is refused.
#include <gif_lib.h>

#include <algorithm>
#include <cstring>

#include "core/picture.h"

namespace kepler {
namespace {

using picture_detail::CheckSize;

// Every image of a file is decoded to know it is whole; beyond this many pixels in all (16 times
// the largest screen) a file of many images would keep the window busy for seconds.
constexpr long long kMaxDecodedPixels = 16LL * kMaxPictureWidth * kMaxPictureHeight;

struct Input {
  std::string_view bytes;
  std::size_t position = 0;
  bool ranOut = false;  // giflib asked for bytes past the end of the file
};

int ReadInput(GifFileType* gif, GifByteType* out, int length) {
  auto* in = static_cast<Input*>(gif->UserData);
  const auto wanted = static_cast<std::size_t>(std::max(length, 0));
  const std::size_t n = std::min(wanted, in->bytes.size() - in->position);
  std::memcpy(out, in->bytes.data() + in->position, n);
  in->position += n;
  if (n < wanted) in->ranOut = true;
  return static_cast<int>(n);
}

class GifFile {
 public:
  explicit GifFile(Input& in) : gif_(DGifOpen(&in, ReadInput, nullptr)) {}
  ~GifFile() {
    if (gif_ != nullptr) DGifCloseFile(gif_, nullptr);
  }
  GifFile(const GifFile&) = delete;
  GifFile& operator=(const GifFile&) = delete;
  GifFileType* operator->() const { return gif_; }
  GifFileType* get() const { return gif_; }

 private:
  GifFileType* gif_;
};

// A giflib failure: the file ended too soon, or what is there is damaged.
[[noreturn]] void Fail(const Input& in, const std::string& damage) {
  if (in.ranOut) picture_detail::CutShort();
  picture_detail::Damaged(damage);
}

// The rows of an image in the order its data holds them: interlaced images in four passes.
std::vector<int> RowOrder(int height, bool interlaced) {
  std::vector<int> rows;
  rows.reserve(static_cast<std::size_t>(height));
  if (!interlaced) {
    for (int y = 0; y < height; ++y) rows.push_back(y);
    return rows;
  }
  constexpr int kStart[4] = {0, 4, 2, 1};
  constexpr int kStep[4] = {8, 8, 4, 2};
  for (int pass = 0; pass < 4; ++pass) {
    for (int y = kStart[pass]; y < height; y += kStep[pass]) rows.push_back(y);
  }
  return rows;
}

class Decoder {
 public:
  explicit Decoder(std::string_view bytes) : in_{bytes} {}

  Picture run() {
    GifFile gif(in_);
    if (gif.get() == nullptr) Fail(in_, "GIF の見出しが不正です");
    screenWidth_ = gif->SWidth;
    screenHeight_ = gif->SHeight;
    if (screenWidth_ <= 0 || screenHeight_ <= 0) picture_detail::Damaged("画面の大きさが 0 です");
    CheckSize(screenWidth_, screenHeight_);
    for (;;) {
      GifRecordType type = UNDEFINED_RECORD_TYPE;
      if (DGifGetRecordType(gif.get(), &type) == GIF_ERROR) Fail(in_, "ブロックの種類が不正です");
      switch (type) {
        case IMAGE_DESC_RECORD_TYPE:
          readImage(gif.get());
          break;
        case EXTENSION_RECORD_TYPE:
          readExtension(gif.get());
          break;
        case TERMINATE_RECORD_TYPE:
          if (images_ == 0) picture_detail::Damaged("画像が一枚もありません");
          return std::move(picture_);
        default:
          Fail(in_, "ブロックの種類が不正です");
      }
    }
  }

 private:
  void readExtension(GifFileType* gif) {
    int code = 0;
    GifByteType* block = nullptr;
    if (DGifGetExtension(gif, &code, &block) == GIF_ERROR) Fail(in_, "拡張ブロックが不正です");
    if (code == GRAPHICS_EXT_FUNC_CODE && block != nullptr) {
      GraphicsControlBlock control{};
      if (DGifExtensionToGCB(block[0], block + 1, &control) == GIF_ERROR) {
        picture_detail::Damaged("グラフィック制御拡張が不正です");
      }
      transparent_ = control.TransparentColor;  // for the next image only
    }
    while (block != nullptr) {
      if (DGifGetExtensionNext(gif, &block) == GIF_ERROR) Fail(in_, "拡張ブロックが不正です");
    }
  }

  // The minimum code size of the compressed data follows the image descriptor (9 bytes) and its
  // colour table; only 2 to 8 bits are defined. Looked at before giflib reads the descriptor,
  // which would take a larger one for a failed read. A file cut before it is left to giflib.
  void checkCodeSize() const {
    const std::string_view bytes = in_.bytes;
    const std::size_t descriptor = in_.position;  // just past the image separator
    if (bytes.size() <= descriptor + 9) return;
    const auto flags = static_cast<unsigned char>(bytes[descriptor + 8]);
    const std::size_t at = descriptor + 9 + ((flags & 0x80) ? 3u << ((flags & 7) + 1) : 0u);
    if (bytes.size() <= at) return;
    const auto codeSize = static_cast<unsigned char>(bytes[at]);
    if (codeSize < 2 || codeSize > 8) {
      picture_detail::Damaged("圧縮データの符号の大きさ " + std::to_string(codeSize) +
                              " が不正です");
    }
  }

  void readImage(GifFileType* gif) {
    checkCodeSize();
    if (DGifGetImageHeader(gif) == GIF_ERROR) Fail(in_, "画像の見出しが不正です");
    const GifImageDesc& image = gif->Image;
    if (image.Width <= 0 || image.Height <= 0 || image.Left < 0 || image.Top < 0 ||
        image.Left + image.Width > screenWidth_ || image.Top + image.Height > screenHeight_) {
      picture_detail::Damaged("画像が画面の外にはみ出しています");
    }
    decodedPixels_ += static_cast<long long>(image.Width) * image.Height;
    if (decodedPixels_ > kMaxDecodedPixels) {
      throw PictureError(PictureError::Fault::TooLarge, "画像が大きすぎます（コマが多すぎます）");
    }
    const ColorMapObject* map = image.ColorMap != nullptr ? image.ColorMap : gif->SColorMap;
    if (map == nullptr) picture_detail::Damaged("色表がありません");

    const bool first = images_ == 0;
    if (first) {
      picture_.width = screenWidth_;
      picture_.height = screenHeight_;
      picture_.pixels.assign(static_cast<std::size_t>(screenWidth_) * screenHeight_, 0);
    }
    line_.resize(static_cast<std::size_t>(image.Width));
    for (const int row : RowOrder(image.Height, image.Interlace)) {
      if (DGifGetLine(gif, line_.data(), image.Width) == GIF_ERROR) {
        Fail(in_, "画素のデータが壊れているか、足りません");
      }
      std::uint32_t* out = picture_.pixels.data() +
                           static_cast<std::size_t>(image.Top + row) * screenWidth_ + image.Left;
      for (int x = 0; x < image.Width; ++x) {
        const int index = line_[static_cast<std::size_t>(x)];
        if (index >= map->ColorCount) picture_detail::Damaged("色表にない色番号があります");
        if (!first || index == transparent_) continue;
        const GifColorType& c = map->Colors[index];
        out[x] = 0xFF000000u | static_cast<std::uint32_t>(c.Red) << 16 |
                 static_cast<std::uint32_t>(c.Green) << 8 | c.Blue;
      }
    }
    ++images_;
    transparent_ = NO_TRANSPARENT_COLOR;
  }

  Input in_;
  int screenWidth_ = 0;
  int screenHeight_ = 0;
  int images_ = 0;
  int transparent_ = NO_TRANSPARENT_COLOR;
  long long decodedPixels_ = 0;
  std::vector<GifPixelType> line_;
  Picture picture_;
};

}  // namespace

Picture DecodeGif(std::string_view bytes) {
  return Decoder(bytes).run();
}

}  // namespace kepler
