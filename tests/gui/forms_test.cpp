// The forms layer's controls on the desktop: trace text, and labels drawn and measured as Qt
// does.
#include <QFontMetrics>
#include <QLabel>

#include <gtest/gtest.h>

#include <tuple>

#include "forms/form_window.h"
#include "forms/label.h"
#include "forms/picture_box.h"
#include "forms/qt/access.h"
#include "forms/qt/fonts.h"
#include "forms/trace.h"

namespace {
constexpr forms::Color kBack = forms::RGB(128, 128, 255);
constexpr forms::Color kYellow = forms::RGB(255, 255, 0);
}  // namespace

TEST(Trace, LinesQuoteTexts) {
  // The numbers' own cases are the core's (ShortestFloat); the lines of a run, the golden traces'.
  EXPECT_EQ(forms::quoted("a\"b\\c"), "\"a\\\"b\\\\c\"");
  EXPECT_EQ(forms::quoted("確\"認"), "\"確\\\"認\"") << "multi-byte text passes through whole";
}

TEST(Labels, DrawTheirTextAsAPlainTextQLabelDoesAndMeasureItAsQtDoes) {
  // Each label: its text, font, style, width and height (0 for an auto-size label).
  const std::tuple<const char*, forms::FontSpec, forms::LabelStyle, int, int> cases[] = {
      {"　　　　　　　　　　　　 148　日経過", forms::kF1, {.autoSize = true}, 0, 0},
      {"公転速度　", forms::kF1, {.autoSize = true}, 0, 0},
      {"　　　　　　　　　　　　", forms::kF1, {.autoSize = true}, 0, 0},
      {" 59.9 ", forms::kF1, {.autoSize = true}, 0, 0},
      {"ﾊﾚｰ彗星 & 地球", forms::kDefaultFont, {}, 105, 25},
      {"ケプラーの第１・第２法則による惑星の運動", forms::kF2, {.centred = true}, 800, 30},
      {"運動が止まってから他のボタンを選択してください", forms::kF1, {.wordWrap = true}, 180, 40},
      {"一行目\n二行目", forms::kDefaultFont, {}, 105, 40},
      {"", forms::kF1, {}, 50, 20},
      {"", forms::kF1, {.autoSize = true}, 0, 0},  // an empty read-out shrinks to nothing
  };
  forms::FormWindow window(989, 577);
  for (const auto& [caption, face, style, width, height] : cases) {
    SCOPED_TRACE(caption);
    forms::Label label("Label1", window.client(), face, kBack, kYellow, std::string(10, ' '), style,
                       580, 5, static_cast<float>(width), static_cast<float>(height));
    label.setCaption(caption);
    const QFont font = forms::qt::ToQFont(face);
    const QString text = QString::fromUtf8(caption);
    if (style.autoSize) {
      EXPECT_EQ(label.width(), std::ceil(QFontMetricsF(font).horizontalAdvance(text)))
          << "measured from the line the label draws";
    }
    QWidget* shown = forms::qt::WidgetOf(label);
    EXPECT_EQ(shown->geometry(),
              QRect(580, 5, static_cast<int>(label.width()), static_cast<int>(label.height())));
    QLabel reference(text);
    reference.setFont(font);
    reference.setTextFormat(Qt::PlainText);
    reference.setWordWrap(style.wordWrap);
    reference.setAlignment((style.centred ? Qt::AlignHCenter : Qt::AlignLeft) | Qt::AlignTop);
    // Yellow text on the back colour; a label uses no other role.
    reference.setPalette(QPalette(QColor(255, 255, 0), QColor(128, 128, 255), {}, {}, {}, {}, {}));
    reference.setAutoFillBackground(true);
    reference.resize(shown->size());
    EXPECT_EQ(shown->grab().toImage(), reference.grab().toImage());
  }
}
