#include "core/picture.h"

#include "core/program_file.h"

namespace kepler {

namespace picture_detail {

void CheckSize(long long width, long long height) {
  if (width > kMaxPictureWidth || height > kMaxPictureHeight) {
    throw PictureError(PictureError::Fault::TooLarge,
                       "画像が大きすぎます（幅 " + std::to_string(width) + "、高さ " +
                           std::to_string(height) + " ピクセル。" +
                           std::to_string(kMaxPictureWidth) + " × " +
                           std::to_string(kMaxPictureHeight) + " ピクセルまで）");
  }
}

void Damaged(const std::string& what) {
  throw PictureError(PictureError::Fault::Damaged, "画像が壊れています（" + what + "）");
}

void CutShort() {
  throw PictureError(PictureError::Fault::CutShort, "画像が途中で切れています");
}

}  // namespace picture_detail

Picture DecodePicture(std::string_view bytes) {
  if (bytes.empty()) throw PictureError(PictureError::Fault::Empty, "ファイルが空です");
  for (const std::string_view signature : {"GIF87a", "GIF89a", "BM"}) {
    if (bytes.starts_with(signature))
      return signature == "BM" ? DecodeBmp(bytes) : DecodeGif(bytes);
    // A file that stops inside the signature is a picture cut short.
    if (bytes.size() < signature.size() && signature.starts_with(bytes)) picture_detail::CutShort();
  }
  throw PictureError(PictureError::Fault::NotAPicture, "BMP または GIF の画像ではありません");
}

Picture LoadPictureFile(std::string_view bareName) {
  const FileContents file = ReadProgramFile(FileKind::Picture, bareName);
  try {
    return DecodePicture(file.bytes);
  } catch (const PictureError& error) {
    ThrowFileError(FileKind::Picture, bareName, error.what());
  }
}

}  // namespace kepler
