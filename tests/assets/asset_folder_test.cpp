// Checks the files the `assets` target wrote, and that drawing them again gives the same bytes.
#include <gtest/gtest.h>

#include <QFile>
#include <QImage>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdlib>
#include <string>

#include "diagram.h"
#include "gif_test_util.h"
#include "gif_writer.h"
#include "icon.h"
#include "sprites.h"

namespace kepler::assets {
namespace {

using testing::DecodedGif;
using testing::DecodeGif;

QString AssetPath(std::string_view name) {
  return QStringLiteral(KEPLER_ASSET_DIR "/") +
         QString::fromLatin1(name.data(), static_cast<qsizetype>(name.size()));
}

QByteArray ReadAll(const QString& path) {
  QFile file(path);
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

TEST(AssetFolder, BodyPicturesAreRoundTransparentGif89a) {
  for (const BodyPicture& body : kBodyPictures) {
    SCOPED_TRACE(std::string(body.file_name));
    const QString path = AssetPath(body.file_name);
    DecodedGif gif;
    std::string error;
    ASSERT_TRUE(DecodeGif(path.toStdString(), &gif, &error)) << error;
    EXPECT_EQ(gif.version, "GIF89a");
    ASSERT_EQ(gif.width, 30);
    ASSERT_EQ(gif.height, 30);
    ASSERT_NE(gif.transparent_index, NO_TRANSPARENT_COLOR);
    auto index_at = [&gif](int x, int y) {
      return gif.indices[static_cast<std::size_t>(y * 30 + x)];
    };
    for (const auto& [x, y] : {std::pair{0, 0}, {29, 0}, {0, 29}, {29, 29}}) {
      EXPECT_EQ(index_at(x, y), gif.transparent_index) << x << "," << y;
    }
    EXPECT_NE(index_at(15, 15), gif.transparent_index);

    const QImage qt(path);
    ASSERT_EQ(qt.size(), QSize(30, 30));
    EXPECT_EQ(qAlpha(qt.pixel(0, 0)), 0);
    EXPECT_EQ(qAlpha(qt.pixel(29, 29)), 0);
    EXPECT_EQ(qAlpha(qt.pixel(15, 15)), 255);
  }
}

TEST(AssetFolder, CometTailPointsToTheUpperRight) {
  const QImage comet(AssetPath("harei01.gif"));
  ASSERT_FALSE(comet.isNull());
  EXPECT_EQ(qAlpha(comet.pixel(22, 8)), 255);  // on the tail, 10 px up and right of the nucleus
  EXPECT_EQ(qAlpha(comet.pixel(8, 22)), 0);    // the same distance the other way
}

TEST(AssetFolder, LawsDiagramIsA24BitBitmapOf800By500) {
  const QByteArray bytes = ReadAll(AssetPath("kepler.bmp"));
  ASSERT_GT(bytes.size(), 54);
  EXPECT_EQ(bytes.left(2), QByteArray("BM"));
  EXPECT_EQ(static_cast<int>(bytes[28]), 24);  // bits per pixel in the info header
  const QImage image(AssetPath("kepler.bmp"));
  EXPECT_EQ(image.size(), QSize(800, 500));
}

TEST(AssetFolder, IconIs128SquareWithTransparentCorners) {
  const QImage icon(QStringLiteral(KEPLER_ICON_FILE));
  ASSERT_EQ(icon.size(), QSize(128, 128));
  EXPECT_TRUE(icon.hasAlphaChannel());
  EXPECT_EQ(qAlpha(icon.pixel(0, 0)), 0);
  EXPECT_EQ(qAlpha(icon.pixel(64, 64)), 255);
}

TEST(AssetFolder, DrawingAgainGivesTheSameBytes) {
  QTemporaryDir dir;
  ASSERT_TRUE(dir.isValid());
  for (const BodyPicture& body : kBodyPictures) {
    const QString fresh = dir.filePath(QStringLiteral("fresh.gif"));
    WriteGif(ToIndexed(DrawBody(body.body)), fresh.toStdString());
    EXPECT_EQ(ReadAll(fresh), ReadAll(AssetPath(body.file_name))) << body.file_name;
  }
  const QString bmp = dir.filePath(QStringLiteral("fresh.bmp"));
  ASSERT_TRUE(DrawLawsDiagram().save(bmp, "BMP"));
  EXPECT_EQ(ReadAll(bmp), ReadAll(AssetPath("kepler.bmp")));
}

TEST(BodyPictures, MergedPalettesStayCloseToTheDrawing) {
  // The shaded spheres hold a few hundred colours, more than a GIF palette; the median cut may
  // move a fully covered pixel only slightly.
  for (const BodyPicture& body : kBodyPictures) {
    SCOPED_TRACE(std::string(body.file_name));
    const QImage drawn = DrawBody(body.body);
    const IndexedPicture picture = ToIndexed(drawn);
    EXPECT_LE(picture.palette.size(), 256u);
    int worst = 0;
    for (int y = 0; y < kBodySize; ++y) {
      for (int x = 0; x < kBodySize; ++x) {
        const QRgb want = drawn.pixel(x, y);
        if (qAlpha(want) != 255) {
          continue;
        }
        const QRgb got =
            picture.palette[picture.pixels[static_cast<std::size_t>(y * kBodySize + x)]];
        worst =
            std::max({worst, std::abs(qRed(got) - qRed(want)), std::abs(qGreen(got) - qGreen(want)),
                      std::abs(qBlue(got) - qBlue(want))});
      }
    }
    EXPECT_LE(worst, 12);
  }
}

}  // namespace
}  // namespace kepler::assets
