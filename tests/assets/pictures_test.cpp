// The GIF writer and the pictures the `assets` target drew, read back through giflib and Qt.
#include <gif_lib.h>
#include <gtest/gtest.h>

#include <QBuffer>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>

#include <cstdlib>
#include <string>
#include <tuple>
#include <vector>

#include "core/picture.h"
#include "gif_writer.h"
#include "sprites.h"

namespace kepler::assets {
namespace {

// A GIF file as giflib decodes it: the version stamp, the size [px] and each pixel's colour, opaque
// or 0 for the transparent index. Empty when giflib cannot read the file.
struct Decoded {
  std::string version;
  int width = 0;
  int height = 0;
  std::vector<QRgb> pixels;  // row-major
};

Decoded DecodeWithGiflib(const std::string& path) {
  Decoded out;
  QFile file(QString::fromStdString(path));
  out.version = file.open(QIODevice::ReadOnly) ? file.read(6).toStdString() : "";
  int error = 0;
  GifFileType* gif = DGifOpenFileName(path.c_str(), &error);
  if (gif == nullptr) return out;
  if (DGifSlurp(gif) == GIF_OK && gif->ImageCount > 0) {
    const SavedImage& frame = gif->SavedImages[0];
    const ColorMapObject* map =
        frame.ImageDesc.ColorMap ? frame.ImageDesc.ColorMap : gif->SColorMap;
    GraphicsControlBlock control{};
    DGifSavedExtensionToGCB(gif, 0, &control);
    out.width = frame.ImageDesc.Width;
    out.height = frame.ImageDesc.Height;
    for (int i = 0; map != nullptr && i < out.width * out.height; ++i) {
      const int index = frame.RasterBits[i];
      const GifColorType c = map->Colors[index];
      out.pixels.push_back(index == control.TransparentColor ? 0 : qRgb(c.Red, c.Green, c.Blue));
    }
  }
  DGifCloseFile(gif, &error);
  return out;
}

TEST(GifWriter, ExactColorsAndTransparencySurviveGiflib) {
  QImage source(16, 16, QImage::Format_ARGB32);  // 200 distinct opaque colours, then transparent
  for (int i = 0; i < 256; ++i) {
    source.setPixel(i % 16, i / 16, i < 200 ? qRgb(i, i * 7 % 256, 255 - i) : qRgba(9, 9, 9, 0));
  }
  QTemporaryDir dir;
  const std::string path = dir.filePath("exact.gif").toStdString();
  WriteGif(ToIndexed(source), path);
  const Decoded gif = DecodeWithGiflib(path);
  ASSERT_EQ(gif.pixels.size(), 256u);
  for (int i = 0; i < 256; ++i) {
    EXPECT_EQ(gif.pixels[i], i < 200 ? source.pixel(i % 16, i / 16) : 0) << i;
  }
}

TEST(GifWriter, EdgePixelsBlendOverTheSurfaceOrVanish) {
  QImage image(3, 1, QImage::Format_ARGB32);
  image.setPixel(0, 0, qRgba(0, 0, 0, 128));        // just over half covered, black
  image.setPixel(1, 0, qRgba(255, 255, 255, 127));  // just under half covered
  image.setPixel(2, 0, qRgba(10, 20, 30, 255));
  const IndexedPicture picture = ToIndexed(image);
  ASSERT_EQ(picture.transparentIndex, 0);
  // Black at alpha 128 over the surface (128, 128, 255) keeps 127/255 of it: (64, 64, 127).
  EXPECT_EQ(picture.palette[picture.pixels[0]], qRgb(64, 64, 127));
  EXPECT_EQ(picture.pixels[1], 0);
  EXPECT_EQ(picture.palette[picture.pixels[2]], qRgb(10, 20, 30));
}

TEST(GifWriter, TooManyColorsMergeIntoNearbyPaletteEntries) {
  QImage image(32, 32, QImage::Format_ARGB32);  // 1024 colours on a grid of step 8
  for (int i = 0; i < 1024; ++i) image.setPixel(i % 32, i / 32, qRgb(i % 32 * 8, i / 32 * 8, 100));
  const IndexedPicture picture = ToIndexed(image);
  EXPECT_TRUE(picture.reduced);
  EXPECT_EQ(picture.palette.size(), 255u);
  // About four grid colours share an entry, so no channel should move by more than two steps.
  for (int i = 0; i < 1024; ++i) {
    const QRgb got = picture.palette[picture.pixels[i]];
    EXPECT_LE(std::abs(qRed(got) - i % 32 * 8), 16);
    EXPECT_LE(std::abs(qGreen(got) - i / 32 * 8), 16);
    EXPECT_EQ(qBlue(got), 100);
  }
  EXPECT_EQ(ToIndexed(image).palette, picture.palette);
}

TEST(AssetFolder, BodyPicturesAreRoundTransparentGif89aOf30By30) {
  for (const BodyPicture& body : kBodyPictures) {
    const std::string path = KEPLER_ASSET_DIR "/" + std::string(body.fileName);
    SCOPED_TRACE(path);
    const Decoded gif = DecodeWithGiflib(path);  // Qt's reader is the decoders' test below
    EXPECT_EQ(gif.version, "GIF89a");
    ASSERT_EQ(gif.width, 30);
    ASSERT_EQ(gif.height, 30);
    for (const auto& [x, y, alpha] :
         {std::tuple{0, 0, 0}, {29, 0, 0}, {0, 29, 0}, {29, 29, 0}, {15, 15, 255}}) {
      EXPECT_EQ(qAlpha(gif.pixels.at(y * 30 + x)), alpha) << x << "," << y;
    }
  }
}

TEST(AssetFolder, CometTailPointsToTheUpperRight) {
  const QImage comet(KEPLER_ASSET_DIR "/harei01.gif");
  EXPECT_EQ(qAlpha(comet.pixel(22, 8)), 255);  // on the tail, 7 px up and right of the nucleus
  EXPECT_EQ(qAlpha(comet.pixel(8, 22)), 0);    // the same distance the other way
}

// The program's own decoders against Qt's readers, on every shipped picture and on the laws
// picture as Qt writes it at 1, 8, 24 and 32 bits a pixel.
QImage DecodedByTheProgram(const QByteArray& bytes) {
  const Picture p = DecodePicture(std::string_view(bytes.constData(), bytes.size()));
  QImage image(p.width, p.height, QImage::Format_ARGB32);
  for (int y = 0; y < p.height; ++y) {
    for (int x = 0; x < p.width; ++x) image.setPixel(x, y, p.pixels[y * p.width + x]);
  }
  return image;
}

// Equal where Qt shows a pixel; a transparent pixel only needs to be transparent in both.
void ExpectSamePixels(const QImage& ours, QImage qt, const std::string& what) {
  qt = qt.convertToFormat(QImage::Format_ARGB32);
  ASSERT_EQ(ours.size(), qt.size()) << what;
  int differing = 0;
  for (int y = 0; y < qt.height(); ++y) {
    for (int x = 0; x < qt.width(); ++x) {
      const QRgb a = ours.pixel(x, y);
      const QRgb b = qt.pixel(x, y);
      if (qAlpha(a) != qAlpha(b) || (qAlpha(b) != 0 && a != b)) ++differing;
    }
  }
  EXPECT_EQ(differing, 0) << what;
}

TEST(Decoders, AgreeWithQtOnTheShippedPictures) {
  for (const BodyPicture& body : kBodyPictures) {
    QFile file(QStringLiteral(KEPLER_ASSET_DIR "/") + QLatin1String(body.fileName));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();
    ExpectSamePixels(DecodedByTheProgram(bytes), QImage::fromData(bytes, "GIF"),
                     std::string(body.fileName));
  }
  QFile laws(QStringLiteral(KEPLER_ASSET_DIR "/kepler.bmp"));
  ASSERT_TRUE(laws.open(QIODevice::ReadOnly));
  const QByteArray bytes = laws.readAll();
  const QImage qt = QImage::fromData(bytes, "BMP");
  ExpectSamePixels(DecodedByTheProgram(bytes), qt, "kepler.bmp");
  for (const QImage::Format format : {QImage::Format_Mono, QImage::Format_Indexed8,
                                      QImage::Format_RGB32, QImage::Format_ARGB32}) {
    QByteArray written;
    QBuffer buffer(&written);
    ASSERT_TRUE(buffer.open(QIODevice::WriteOnly));
    ASSERT_TRUE(qt.convertToFormat(format).save(&buffer, "BMP"));
    ExpectSamePixels(DecodedByTheProgram(written), QImage::fromData(written, "BMP"),
                     "kepler.bmp as Qt writes format " + std::to_string(format));
  }
}

}  // namespace
}  // namespace kepler::assets
