// The built-in faces on a desktop without Japanese fonts: run with a fontconfig setup that lists
// only DejaVu (tests/gui/CMakeLists.txt), every caption of the started window must still be drawn
// in the program's own faces, with a real glyph for each of its characters.
#include <QFontDatabase>
#include <QFontInfo>
#include <QPainterPath>
#include <QRawFont>

#include "forms/qt/fonts.h"
#include "window_fixture.h"

TEST_F(WindowTest, EveryCaptionIsDrawnInTheBuiltInFacesWithRealGlyphs) {
  // No font of the machine but the program's own may offer Japanese, or the test proves nothing.
  for (const QString& family : QFontDatabase::families()) {
    const bool own = family == QLatin1String(forms::qt::kEmbeddedPGothic) ||
                     family == QLatin1String(forms::qt::kEmbeddedHeavyGothic);
    EXPECT_TRUE(own || !QFontDatabase::writingSystems(family).contains(QFontDatabase::Japanese))
        << family.toStdString();
  }
  EXPECT_EQ(QFontInfo(window()->font()).family(), forms::qt::kEmbeddedPGothic);
  std::vector<std::pair<const forms::Control*, std::string>> captions;
  for (const forms::Label* l : {&form->Label1, &form->Label9})
    captions.emplace_back(l, l->caption());
  for (int i = 0; i <= 9; ++i) captions.emplace_back(&button(i), button(i).caption());
  for (const auto& [control, caption] : captions) {
    SCOPED_TRACE(control->name());
    const QFont font = forms::qt::WidgetOf(*control)->font();
    // The title in the heavy face, bold; every other caption in the P Gothic.
    const bool title = control == &form->Label1;
    EXPECT_EQ(QFontInfo(font).family().toStdString(),
              title ? forms::qt::kEmbeddedHeavyGothic : forms::qt::kEmbeddedPGothic);
    EXPECT_TRUE(!title || QFontInfo(font).bold());
    const QString text = QString::fromStdString(caption);
    const QRawFont raw = QRawFont::fromFont(font);
    const QList<quint32> glyphs = raw.glyphIndexesForString(text);
    ASSERT_EQ(glyphs.size(), text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
      SCOPED_TRACE(testing::Message() << "U+" << std::hex << static_cast<int>(text[i].unicode()));
      EXPECT_NE(glyphs[i], 0u) << "no glyph";
      EXPECT_TRUE(text[i].isSpace() || !raw.pathForGlyph(glyphs[i]).isEmpty()) << "an empty glyph";
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
