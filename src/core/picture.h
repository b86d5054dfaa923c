#pragma once
// The program's pictures, GIF and BMP, decoded into plain pixels and accepted only whole: every
// image in the file complete and on its screen, a GIF walked to its trailer, and the declared size
// checked against the bound before a single pixel is allocated. Free of any toolkit: the desktop
// window wraps the pixels in a QImage, a browser build can put the same pixels on a canvas.

#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace kepler {

// The largest picture accepted [px]: what the drawing surface shows, 800 x 500. A picture larger
// than that could not be shown whole, and refusing it before decoding keeps a small file that
// declares a huge picture from taking the machine's memory.
inline constexpr int kMaxPictureWidth = 800;
inline constexpr int kMaxPictureHeight = 500;

struct Picture {
  int width = 0;   // [px]
  int height = 0;  // [px]
  // Row by row from the top, each pixel 0xAARRGGBB with alpha 0 (transparent) or 255.
  std::vector<std::uint32_t> pixels;
};

// Why a picture was refused; what() is the cause in Japanese, for the error message.
class PictureError : public std::runtime_error {
 public:
  enum class Fault { Empty, NotAPicture, CutShort, Damaged, Unsupported, TooLarge };
  PictureError(Fault fault, const std::string& cause) : std::runtime_error(cause), fault_(fault) {}
  Fault fault() const { return fault_; }

 private:
  Fault fault_;
};

// A GIF (87a or 89a) or a BMP, told apart by its first bytes. Bytes after a GIF's trailer are
// ignored (files copied in blocks often carry padding), and so is a BMP's file-size field, which
// writers often get wrong. Throws PictureError.
Picture DecodePicture(std::string_view bytes);

// GIF: the first image, placed on the logical screen (transparent elsewhere), its transparent
// colour kept; every later image is decoded too, to know the file is whole.
Picture DecodeGif(std::string_view bytes);

// BMP: 1, 4 and 8 bits a pixel with a colour table, 16, 24 and 32 without; uncompressed, RLE4,
// RLE8 and BITFIELDS; bottom-up or top-down; OS/2 and Windows headers. Shown opaque, as the old
// runtime drew bitmaps. Pixels an RLE picture skips take colour 0 of its table.
Picture DecodeBmp(std::string_view bytes);

// The picture file of that bare name from the working folder (ReadProgramFile), decoded. Throws
// RuntimeError with the user's message naming the file, the cause and the folder.
Picture LoadPictureFile(std::string_view bareName);

namespace picture_detail {
// Shared by the two decoders: refuses a declared size beyond the bound, before any allocation.
void CheckSize(long long width, long long height);
[[noreturn]] void Damaged(const std::string& what);
[[noreturn]] void CutShort();
}  // namespace picture_detail

}  // namespace kepler
