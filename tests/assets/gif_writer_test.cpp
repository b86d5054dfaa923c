#include "gif_writer.h"

#include <gtest/gtest.h>

#include <QImage>
#include <QTemporaryDir>

#include <cstdlib>
#include <set>
#include <stdexcept>
#include <string>

#include "gif_test_util.h"

namespace kepler::assets {
namespace {

using testing::DecodedGif;
using testing::DecodeGif;

// 16 x 16 with 200 distinct opaque colours; pixels 200..255 are fully transparent.
QImage ManyColours() {
  QImage image(16, 16, QImage::Format_ARGB32);
  for (int i = 0; i < 256; ++i) {
    const QRgb colour = i < 200 ? qRgb(i, (i * 7) % 256, 255 - i) : qRgba(9, 9, 9, 0);
    image.setPixel(i % 16, i / 16, colour);
  }
  return image;
}

TEST(GifWriter, ExactColoursSurviveGiflibAndQt) {
  QTemporaryDir dir;
  ASSERT_TRUE(dir.isValid());
  const std::string path = dir.filePath("exact.gif").toStdString();
  const QImage source = ManyColours();
  const IndexedPicture picture = ToIndexed(source);
  EXPECT_EQ(picture.source_colours, 200);
  EXPECT_FALSE(picture.reduced);
  WriteGif(picture, path);

  DecodedGif gif;
  std::string error;
  ASSERT_TRUE(DecodeGif(path, &gif, &error)) << error;
  EXPECT_EQ(gif.version, "GIF89a");
  ASSERT_EQ(gif.width, 16);
  ASSERT_EQ(gif.height, 16);
  ASSERT_NE(gif.transparent_index, NO_TRANSPARENT_COLOR);
  const QImage qt(QString::fromStdString(path));
  ASSERT_EQ(qt.size(), QSize(16, 16));
  for (int i = 0; i < 256; ++i) {
    const int index = gif.indices[static_cast<std::size_t>(i)];
    const QRgb qt_pixel = qt.pixel(i % 16, i / 16);
    if (i < 200) {
      EXPECT_EQ(gif.colours[static_cast<std::size_t>(index)], source.pixel(i % 16, i / 16));
      EXPECT_EQ(qt_pixel, source.pixel(i % 16, i / 16));
    } else {
      EXPECT_EQ(index, gif.transparent_index);
      EXPECT_EQ(qAlpha(qt_pixel), 0);
    }
  }
}

TEST(GifWriter, EdgePixelsBlendOverTheSurfaceOrVanish) {
  QImage image(3, 1, QImage::Format_ARGB32);
  image.setPixel(0, 0, qRgba(0, 0, 0, 128));        // just over half covered, black
  image.setPixel(1, 0, qRgba(255, 255, 255, 127));  // just under half covered
  image.setPixel(2, 0, qRgba(10, 20, 30, 255));
  const IndexedPicture picture = ToIndexed(image);
  ASSERT_EQ(picture.transparent_index, 0);
  // Black at 128/255 over (128, 128, 255): (128 * 127 + 127) / 255 = 64, (255 * 127 + 127) / 255 =
  // 127.
  EXPECT_EQ(picture.palette[picture.pixels[0]], qRgb(64, 64, 127));
  EXPECT_EQ(picture.pixels[1], 0);
  EXPECT_EQ(picture.palette[picture.pixels[2]], qRgb(10, 20, 30));
}

TEST(GifWriter, TooManyColoursAreMergedDeterministicallyAndClosely) {
  QImage image(32, 32, QImage::Format_ARGB32);  // 1024 distinct colours
  for (int y = 0; y < 32; ++y) {
    for (int x = 0; x < 32; ++x) {
      image.setPixel(x, y, qRgb(x * 8, y * 8, 100));
    }
  }
  const IndexedPicture picture = ToIndexed(image);
  EXPECT_EQ(picture.source_colours, 1024);
  EXPECT_TRUE(picture.reduced);
  EXPECT_EQ(picture.transparent_index, -1);
  EXPECT_LE(picture.palette.size(), 255u);
  EXPECT_GT(picture.palette.size(), 200u);
  // 1024 colours on a 32 x 32 grid of step 8 merge into boxes about 2 x 2 cells wide, so no
  // channel should move by more than two grid steps.
  for (int y = 0; y < 32; ++y) {
    for (int x = 0; x < 32; ++x) {
      const QRgb got = picture.palette[picture.pixels[static_cast<std::size_t>(y * 32 + x)]];
      EXPECT_LE(std::abs(qRed(got) - x * 8), 16);
      EXPECT_LE(std::abs(qGreen(got) - y * 8), 16);
      EXPECT_EQ(qBlue(got), 100);
    }
  }
  const IndexedPicture again = ToIndexed(image);
  EXPECT_EQ(again.palette, picture.palette);
  EXPECT_EQ(again.pixels, picture.pixels);

  QTemporaryDir dir;
  const std::string path = dir.filePath("reduced.gif").toStdString();
  WriteGif(picture, path);
  EXPECT_EQ(QImage(QString::fromStdString(path)).size(), QSize(32, 32));
}

TEST(GifWriter, UnwritablePathIsReportedByName) {
  const IndexedPicture picture = ToIndexed(ManyColours());
  try {
    WriteGif(picture, "/nonexistent-folder/sprite.gif");
    FAIL() << "expected an error";
  } catch (const std::runtime_error& error) {
    EXPECT_NE(std::string(error.what()).find("/nonexistent-folder/sprite.gif"), std::string::npos);
  }
}

TEST(GifWriter, RejectsEmptyPicturesAndBadLimits) {
  EXPECT_THROW(ToIndexed(QImage()), std::invalid_argument);
  EXPECT_THROW(ToIndexed(ManyColours(), kSurfaceColour, 0), std::invalid_argument);
  EXPECT_THROW(ToIndexed(ManyColours(), kSurfaceColour, 256), std::invalid_argument);
}

}  // namespace
}  // namespace kepler::assets
