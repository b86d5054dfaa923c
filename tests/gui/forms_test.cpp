// The forms layer's drawing and control behaviour that the demonstrations rely on.
#include <QFontMetrics>
#include <QLabel>

#include <gtest/gtest.h>

#include "forms/form_window.h"
#include "forms/image_control.h"
#include "forms/label.h"
#include "forms/picture_box.h"
#include "forms/qt/access.h"
#include "forms/qt/fonts.h"
#include "forms/trace.h"

namespace {

constexpr forms::Color kBack = forms::RGB(128, 128, 255);
constexpr forms::Color kYellow = forms::RGB(255, 255, 0);

class Surface : public ::testing::Test {
 protected:
  forms::FormWindow window{989, 577};
  forms::PictureBox box{"Picture1", window.client(), kBack, forms::RGB(0, 0, 0), 0, 0, 800, 500};

  int countColor(std::uint32_t rgb) const {
    int n = 0;
    for (int y = 0; y < box.imageHeight(); ++y) {
      for (int x = 0; x < box.imageWidth(); ++x) n += box.rgbAt(x, y) == rgb;
    }
    return n;
  }
  std::uint32_t at(int x, int y) const { return box.rgbAt(x, y); }
};

}  // namespace

TEST_F(Surface, FilledBoxIncludesBothCornersWhicheverWayRound) {
  box.BoxFill(780, 30, 602.22f, 50, kYellow);  // right-to-left, as the gauge's grey box is drawn
  EXPECT_EQ(countColor(0xFFFF00), (780 - 602 + 1) * (50 - 30 + 1));
  EXPECT_EQ(at(602, 30), 0xFFFF00u);
  EXPECT_EQ(at(780, 50), 0xFFFF00u);
  EXPECT_EQ(at(601, 40), 0x8080FFu);
  EXPECT_EQ(at(781, 40), 0x8080FFu);
}

TEST_F(Surface, ABarThatShrinksLeavesNoYellowBehind) {
  box.BoxFill(580, 30, 780, 50, kYellow);
  box.BoxFill(780, 30, 780, 50, forms::RGB(224, 224, 224));
  box.BoxFill(580, 30, 602.22f, 50, kYellow);
  box.BoxFill(780, 30, 602.22f, 50, forms::RGB(224, 224, 224));
  EXPECT_EQ(countColor(0xFFFF00), (602 - 580) * 21) << "the grey box covers the bar's last column";
}

TEST_F(Surface, ClsClearsToTheBackgroundAndDrawingOffTheEdgeIsClipped) {
  box.Circle(790, 490, 50, kYellow);
  box.BoxFill(-100, -100, 10000, 3, kYellow);
  box.Cls();
  EXPECT_EQ(countColor(0x8080FF), 800 * 500);
}

TEST(Trace, LinesQuoteTexts) {
  // The numbers' own cases are the core's (ShortestFloat); the lines of a run, the golden traces'.
  EXPECT_EQ(forms::quoted("a\"b\\c"), "\"a\\\"b\\\\c\"");
  EXPECT_EQ(forms::quoted("確\"認"), "\"確\\\"認\"") << "multi-byte text passes through whole";
}

TEST(Labels, AutoSizeFitsTheTextTrailingBlanksIncludedAndGrowsToTheRight) {
  forms::FormWindow window(989, 577);
  const QFont font = forms::qt::ToQFont(forms::kF1);
  forms::Label label("Label7", window.client(), forms::kF1, kBack, 0, std::string(10, ' '),
                     {.autoSize = true}, 580, 5, 0, 0);
  label.setCaption("公転速度　");
  const QFontMetricsF metrics(font);
  EXPECT_EQ(label.width(), std::ceil(metrics.horizontalAdvance(QStringLiteral("公転速度　"))));
  EXPECT_GT(label.width(), std::ceil(metrics.horizontalAdvance(QStringLiteral("公転速度"))));
  EXPECT_EQ(label.left(), 580);
  label.setCaption("");
  EXPECT_EQ(label.width(), 0) << "an empty read-out shrinks to nothing";
  EXPECT_EQ(forms::qt::WidgetOf(label)->width(), 0);
}

TEST(Images, PictureTakesItsNaturalSizeAndPlacesAtTheNearestPixel) {
  forms::FormWindow window(989, 577);
  forms::PictureBox box("Picture1", window.client(), kBack, 0, 0, 41, 800, 500);
  forms::ImageControl image("Image1", box, 8, 280, 33, 25);
  image.setWidth(200);
  image.setPicture(kepler::Picture{30, 30, std::vector<std::uint32_t>(30 * 30, 0)}, "x.gif");
  EXPECT_EQ(image.width(), 30);
  EXPECT_EQ(image.height(), 30);
  image.setLeft(135.02219f);
  image.setTop(237.57991f);
  EXPECT_EQ(forms::qt::WidgetOf(image)->geometry(), QRect(135, 238, 30, 30));
  EXPECT_EQ(image.left(), 135.02219f) << "the model keeps the exact value";
}

TEST(Labels, DrawTheirTextAsAPlainTextQLabelDoesAndMeasureItAsQtDoes) {
  struct Case {
    const char* text;
    forms::FontSpec font;
    forms::LabelStyle style;
    int width;
    int height;
  };
  const Case cases[] = {
      {"　　　　　　　　　　　　 148　日経過", forms::kF1, {.autoSize = true}, 0, 0},
      {"公転速度　", forms::kF1, {.autoSize = true}, 0, 0},
      {"　　　　　　　　　　　　", forms::kF1, {.autoSize = true}, 0, 0},
      {" 59.9 ", forms::kF1, {.autoSize = true}, 0, 0},
      {"ﾊﾚｰ彗星 & 地球", forms::kDefaultFont, {}, 105, 25},
      {"ケプラーの第１・第２法則による惑星の運動", forms::kF2, {.centred = true}, 800, 30},
      {"運動が止まってから他のボタンを選択してください", forms::kF1, {.wordWrap = true}, 180, 40},
      {"一行目\n二行目", forms::kDefaultFont, {}, 105, 40},
      {"", forms::kF1, {}, 50, 20},
  };
  forms::FormWindow window(989, 577);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    forms::Label label("Label1", window.client(), c.font, kBack, kYellow, std::string(), c.style, 0,
                       0, static_cast<float>(c.width), static_cast<float>(c.height));
    label.setCaption(c.text);
    const QFont font = forms::qt::ToQFont(c.font);
    const QString text = QString::fromUtf8(c.text);
    if (c.style.autoSize) {
      EXPECT_EQ(label.width(), std::ceil(QFontMetricsF(font).horizontalAdvance(text)))
          << "measured from the line the label draws";
    }
    QWidget* shown = forms::qt::WidgetOf(label);
    QLabel reference(text);
    reference.setFont(font);
    reference.setTextFormat(Qt::PlainText);
    reference.setWordWrap(c.style.wordWrap);
    reference.setAlignment((c.style.centred ? Qt::AlignHCenter : Qt::AlignLeft) | Qt::AlignTop);
    reference.setMargin(0);
    reference.setIndent(0);
    QPalette palette = reference.palette();
    palette.setColor(QPalette::Window, QColor(128, 128, 255));
    palette.setColor(QPalette::WindowText, QColor(255, 255, 0));
    reference.setPalette(palette);
    reference.setAutoFillBackground(true);
    reference.resize(shown->size());
    EXPECT_EQ(shown->grab().toImage(), reference.grab().toImage());
  }
}
