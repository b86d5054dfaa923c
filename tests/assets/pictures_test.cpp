// The GIF writer and the pictures the `assets` target drew, read back through Qt's readers, which
// the program's own decoders must agree with.
#include <gtest/gtest.h>

#include <QBuffer>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>

#include <cstdlib>
#include <string>
#include <tuple>

#include "core/picture.h"
#include "gif_writer.h"
#include "sprites.h"

namespace kepler::assets {
namespace {

TEST(GifWriter, ExactColorsAndTransparencySurviveQtsReader) {
  QImage source(16, 16, QImage::Format_ARGB32);  // 200 distinct opaque colours, then transparent
  for (int i = 0; i < 256; ++i) {
    source.setPixel(i % 16, i / 16, i < 200 ? qRgb(i, i * 7 % 256, 255 - i) : qRgba(9, 9, 9, 0));
  }
  QTemporaryDir dir;
  WriteGif(ToIndexed(source), dir.filePath("exact.gif").toStdString());
  const QImage gif = QImage(dir.filePath("exact.gif")).convertToFormat(QImage::Format_ARGB32);
  ASSERT_EQ(gif.size(), source.size());
  for (int i = 0; i < 256; ++i) {
    const QRgb got = gif.pixel(i % 16, i / 16);
    EXPECT_EQ(i < 200 ? got : qAlpha(got), i < 200 ? source.pixel(i % 16, i / 16) : 0) << i;
  }
}

TEST(GifWriter, EdgePixelsBlendOverTheSurfaceOrVanishAndTooManyColorsMergeNearby) {
  QImage edge(3, 1, QImage::Format_ARGB32);
  edge.setPixel(0, 0, qRgba(0, 0, 0, 128));        // just over half covered, black
  edge.setPixel(1, 0, qRgba(255, 255, 255, 127));  // just under half covered
  edge.setPixel(2, 0, qRgba(10, 20, 30, 255));
  const IndexedPicture blended = ToIndexed(edge);
  ASSERT_EQ(blended.transparentIndex, 0);
  // Black at alpha 128 over the surface (128, 128, 255) keeps 127/255 of it: (64, 64, 127).
  EXPECT_EQ(blended.palette[blended.pixels[0]], qRgb(64, 64, 127));
  EXPECT_EQ(blended.pixels[1], 0);
  EXPECT_EQ(blended.palette[blended.pixels[2]], qRgb(10, 20, 30));

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

// The program's decoder gives what Qt's reader shows: equal where Qt shows a pixel; a transparent
// pixel only needs to be transparent in both.
void ExpectSamePixels(const QByteArray& bytes, const QImage& shown, const std::string& what) {
  const Picture p = DecodePicture(std::string_view(bytes.constData(), bytes.size()));
  const QImage qt = shown.convertToFormat(QImage::Format_ARGB32);
  ASSERT_EQ(QSize(p.width, p.height), qt.size()) << what;
  int differing = 0;
  for (int y = 0; y < qt.height(); ++y) {
    for (int x = 0; x < qt.width(); ++x) {
      const QRgb a = p.pixels[y * p.width + x], b = qt.pixel(x, y);
      if (qAlpha(a) != qAlpha(b) || (qAlpha(b) != 0 && a != b)) ++differing;
    }
  }
  EXPECT_EQ(differing, 0) << what;
}

QByteArray ReadAsset(std::string_view name) {
  QFile file(QStringLiteral(KEPLER_ASSET_DIR "/") + QLatin1String(name));
  EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << name;
  return file.readAll();
}

// Every shipped picture, and the laws picture as Qt writes it at 1, 8, 24 and 32 bits a pixel.
TEST(AssetFolder, BodyPicturesAreRoundTransparentGif89aOf30By30AndTheDecodersAgreeWithQt) {
  for (const BodyPicture& body : kBodyPictures) {
    SCOPED_TRACE(body.fileName);
    const QByteArray bytes = ReadAsset(body.fileName);
    const QImage gif = QImage::fromData(bytes, "GIF");
    EXPECT_TRUE(bytes.startsWith("GIF89a"));
    ASSERT_EQ(gif.size(), QSize(30, 30));
    for (const auto& [x, y, alpha] :
         {std::tuple{0, 0, 0}, {29, 0, 0}, {0, 29, 0}, {29, 29, 0}, {15, 15, 255}}) {
      EXPECT_EQ(qAlpha(gif.pixel(x, y)), alpha) << x << "," << y;
    }
    ExpectSamePixels(bytes, gif, std::string(body.fileName));
  }
  const QImage comet(KEPLER_ASSET_DIR "/harei01.gif");
  EXPECT_EQ(qAlpha(comet.pixel(22, 8)), 255) << "the comet's tail, 7 px up and right of its head";
  EXPECT_EQ(qAlpha(comet.pixel(8, 22)), 0) << "the same distance the other way";

  const QByteArray laws = ReadAsset("kepler.bmp");
  const QImage qt = QImage::fromData(laws, "BMP");
  ExpectSamePixels(laws, qt, "kepler.bmp");
  for (const QImage::Format format : {QImage::Format_Mono, QImage::Format_Indexed8,
                                      QImage::Format_RGB32, QImage::Format_ARGB32}) {
    QByteArray written;
    QBuffer buffer(&written);
    ASSERT_TRUE(buffer.open(QIODevice::WriteOnly) &&
                qt.convertToFormat(format).save(&buffer, "BMP"));
    ExpectSamePixels(written, QImage::fromData(written, "BMP"),
                     "as format " + std::to_string(format));
  }
}

}  // namespace
}  // namespace kepler::assets
