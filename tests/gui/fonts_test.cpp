// The built-in faces on a desktop without Japanese fonts: run with a fontconfig setup that lists
// only DejaVu (tests/gui/CMakeLists.txt), every caption of the started window must still be drawn
// in the program's own faces, with a real glyph for each of its characters.
#include <QFontDatabase>
#include <QFontInfo>
#include <QFontMetrics>
#include <QPainterPath>
#include <QRawFont>

#include <string>
#include <vector>

#include "forms/qt/access.h"
#include "forms/qt/fonts.h"
#include "window_fixture.h"

using testing_support::WindowTest;

TEST(FontSetup, TheMachineOffersNoJapaneseFont) {
  // Else the test below would prove nothing.
  for (const QString& family : QFontDatabase::families()) {
    if (family == QLatin1String(forms::qt::kEmbeddedPGothic) ||
        family == QLatin1String(forms::qt::kEmbeddedHeavyGothic))
      continue;
    EXPECT_FALSE(QFontDatabase::writingSystems(family).contains(QFontDatabase::Japanese))
        << family.toStdString();
  }
}

TEST_F(WindowTest, EveryCaptionIsDrawnInTheBuiltInFacesWithRealGlyphs) {
  struct Caption {
    const forms::Control* control;
    std::string text;
    const char* family;
  };
  const char* pGothic = forms::qt::kEmbeddedPGothic;
  std::vector<Caption> captions = {
      {&form->Label1, form->Label1.caption(), forms::qt::kEmbeddedHeavyGothic},
      {&form->Label9, form->Label9.caption(), pGothic},
      {&form->Command2, form->Command2.caption(), pGothic},
      {&form->Command3, form->Command3.caption(), pGothic}};
  for (int i = 0; i <= 7; ++i)
    captions.push_back({&form->Command1(i), form->Command1(i).caption(), pGothic});
  EXPECT_EQ(QFontInfo(forms::qt::WidgetOf(form->window())->font()).family(), pGothic);
  for (const Caption& c : captions) {
    SCOPED_TRACE(c.control->name());
    const QFont font = forms::qt::WidgetOf(*c.control)->font();
    EXPECT_EQ(QFontInfo(font).family().toStdString(), c.family);
    if (c.control == &form->Label1) EXPECT_TRUE(QFontInfo(font).bold());
    const QString text = QString::fromStdString(c.text);
    const QRawFont raw = QRawFont::fromFont(font);
    const QList<quint32> glyphs = raw.glyphIndexesForString(text);
    ASSERT_EQ(glyphs.size(), text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
      EXPECT_NE(glyphs[i], 0u) << "no glyph for U+" << std::hex
                               << static_cast<int>(text[i].unicode());
      if (!text[i].isSpace())
        EXPECT_FALSE(raw.pathForGlyph(glyphs[i]).isEmpty())
            << "an empty glyph for U+" << std::hex << static_cast<int>(text[i].unicode());
    }
  }
}

TEST_F(WindowTest, TheHintKeepsItsTwoLinesWhateverTheDesktopsHinting) {
  // Without a fontconfig setup of its own the desktop hints fully, which widens the text.
  const QFontMetrics metrics(forms::qt::WidgetOf(form->Label9)->font());
  const QRect wrapped = metrics.boundingRect(QRect(0, 0, 180, 1000), Qt::TextWordWrap,
                                             QString::fromStdString(form->Label9.caption()));
  EXPECT_LE(wrapped.height(), 40) << "the hint must not lose a line";
  EXPECT_LE(wrapped.width(), 180);
  EXPECT_EQ(form->Label9.width(), 180) << "a wrapped label keeps its width";
}
