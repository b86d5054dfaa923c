// What a person sees on the buttons and what the keyboard does: the graphical buttons' flat
// faces, bevels and focus mark, the focus and Tab order at start, Enter and Space on a focused
// button, the confirmation box's access keys and the scheme's colours.
#include <QTest>

#include "forms/message_box.h"
#include "window_fixture.h"

using forms::qt::ButtonOf;
using forms::qt::ToQRgb;

namespace {

const QRgb kFace = qRgb(255, 255, 200);
const QRgb kCaption = ToQRgb(forms::systemButtonText());

QImage grabButton(const forms::CommandButton& button) {
  return ButtonOf(button)->grab().toImage().convertToFormat(QImage::Format_RGB32);
}

// Where the caption may have ink: its text box centred inside the bevel, widened by two pixels
// for glyph overhang and by one more down and right for the pressed caption's shift.
QRect captionBox(const forms::CommandButton& button) {
  const QPushButton* widget = ButtonOf(button);
  const QRect inner = widget->rect().adjusted(2, 2, -2, -2);
  const QRect text =
      QFontMetrics(widget->font())
          .boundingRect(inner, Qt::AlignCenter | Qt::TextShowMnemonic, widget->text());
  return text.adjusted(-2, -2, 3, 3);
}

// A button's face. The two bevel rings, the outer one on the edge and the inner one a pixel in:
// raised, each ring's top and left sides are light and its bottom and right sides, with the far
// corners, dark; sunken, the outer ring's top and left are the inner ring's dark and the other way
// round. Every pixel inside them is the face colour, except the caption's box and, on a focused
// button, the focus mark's line four pixels in from the edge.
void expectFace(const QImage& image, const QRect& caption, bool focused, bool sunken) {
  const QRgb light[2] = {ToQRgb(forms::system3DHighlight()), ToQRgb(forms::system3DLight())};
  const QRgb dark[2] = {ToQRgb(forms::system3DDarkShadow()), ToQRgb(forms::systemButtonShadow())};
  const int w = image.width(), h = image.height();
  int checked = 0;
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      const int ring = std::min({x, y, w - 1 - x, h - 1 - y});
      const bool far = x == w - 1 - ring || y == h - 1 - ring;
      if (ring <= 1) {
        const QRgb bevel = !sunken ? (far ? dark : light)[ring]
                           : far   ? light[ring]
                                   : dark[1 - ring];
        ASSERT_EQ(image.pixel(x, y), bevel) << "bevel pixel " << x << "," << y;
      } else if (!caption.contains(x, y) && !(focused && ring == 4)) {
        ASSERT_EQ(image.pixel(x, y), kFace) << "face pixel " << x << "," << y;
        ++checked;
      }
    }
  EXPECT_GT(checked, 4000) << "over half of a 180x50 face lies away from the caption";
}

class FacesAndKeysTest : public WindowTest {
 protected:
  void SetUp() override {
    WindowTest::SetUp();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window()));
  }
  QWidget* focused() const { return QApplication::focusWidget(); }
};

}  // namespace

TEST_F(FacesAndKeysTest, FaceIsFlatInItsBackColorBeforeAndAfterAClickAndHoverChangesNothing) {
  forms::CommandButton& button = form->Command1(3);
  const QRect caption = captionBox(button);
  const QImage atRest = grabButton(button);
  expectFace(atRest, caption, false, false);

  QTest::mouseMove(ButtonOf(button), QPoint(90, 25));
  QApplication::processEvents();
  EXPECT_EQ(grabButton(button), atRest) << "hovering changed the face";

  TraceRecorder trace;
  QTest::mouseClick(ButtonOf(button), Qt::LeftButton, Qt::NoModifier, QPoint(90, 25));
  EXPECT_TRUE(trace.lines().contains("Form1 Return Command1(3)"))
      << "the click ran the demonstration";
  ASSERT_EQ(focused(), ButtonOf(button)) << "a click moves the focus to the button";
  const QImage afterClick = grabButton(button);
  expectFace(afterClick, caption, true, false);
  // The focus mark: dots two pixels long, two apart, in the caption colour, four pixels in.
  const int w = afterClick.width(), h = afterClick.height();
  for (const QPoint p :
       {QPoint(4, 4), QPoint(5, 4), QPoint(8, 4), QPoint(4, 8), QPoint(w - 5, 8), QPoint(8, h - 5),
        QPoint(6, 4), QPoint(7, 4), QPoint(4, 6), QPoint(10, h - 5)}) {
    const bool gap = p == QPoint(6, 4) || p == QPoint(7, 4) || p == QPoint(4, 6) || p.x() == 10;
    EXPECT_EQ(afterClick.pixel(p), gap ? kFace : kCaption) << p.x() << "," << p.y();
  }
}

TEST_F(FacesAndKeysTest, PressedButtonIsSunkenWithItsCaptionOneDownAndRight) {
  forms::CommandButton& button = form->Command2;
  ButtonOf(button)->setFocus();
  const QImage up = grabButton(button);
  QTest::mousePress(ButtonOf(button), Qt::LeftButton, Qt::NoModifier, QPoint(90, 25));
  ASSERT_TRUE(ButtonOf(button)->isDown());
  const QImage down = grabButton(button);
  expectFace(down, captionBox(button), true, true);
  const QRect text = captionBox(button).adjusted(0, 0, -1, -1);
  EXPECT_EQ(down.copy(text.translated(1, 1)), up.copy(text));
  EXPECT_NE(down.copy(text), up.copy(text)) << "the caption did not move";

  TraceRecorder trace;
  QTest::mouseRelease(ButtonOf(button), Qt::LeftButton, Qt::NoModifier, QPoint(90, 25));
  EXPECT_EQ(trace.starting("Form1 Click"), QStringList({"Form1 Click Command2"}));
  EXPECT_EQ(grabButton(button), up) << "released, the button is raised again";
}

TEST_F(FacesAndKeysTest, FocusStartsOnTheFirstScenarioButtonAndTabVisitsTopToBottom) {
  ASSERT_EQ(focused(), ButtonOf(form->Command1(0)));
  EXPECT_EQ(grabButton(form->Command1(0)).pixel(4, 4), kCaption) << "no focus mark at start";
  EXPECT_EQ(grabButton(form->Command2).pixel(4, 4), kFace);

  for (int i = 1; i <= 10; ++i) {  // Command1(1) to (7), Command2, Command3, Command1(0)
    QTest::keyClick(focused(), Qt::Key_Tab);
    EXPECT_EQ(focused(), ButtonOf(button(i % 10))) << i;
  }
  QTest::keyClick(focused(), Qt::Key_Backtab);
  EXPECT_EQ(focused(), ButtonOf(form->Command3));
}

TEST_F(FacesAndKeysTest, EnterReturnAndSpaceClickTheFocusedButtonAndAHeldEnterClicksOnce) {
  ButtonOf(form->Command2)->setFocus();
  TraceRecorder trace;
  QTest::keyClick(focused(), Qt::Key_Return);
  QTest::keyClick(focused(), Qt::Key_Enter, Qt::KeypadModifier);
  QTest::keyClick(focused(), Qt::Key_Space);
  EXPECT_EQ(trace.starting("Form1 Click").size(), 3);

  trace.clear();
  QKeyEvent held(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier, QString(), true);
  QApplication::sendEvent(focused(), &held);
  QTest::keyClick(focused(), Qt::Key_Return, Qt::ControlModifier);
  EXPECT_TRUE(trace.starting("Form1 Click").isEmpty()) << "a repeat or Ctrl+Enter clicked";
}

TEST_F(FacesAndKeysTest, ConfirmationBoxAnswersYAndNWithOrWithoutAltAndReturnIsYes) {
  const std::tuple<Qt::Key, Qt::KeyboardModifiers, forms::MsgBoxAnswer> cases[] = {
      {Qt::Key_Y, Qt::NoModifier, forms::MsgBoxAnswer::Yes},
      {Qt::Key_Y, Qt::AltModifier, forms::MsgBoxAnswer::Yes},
      {Qt::Key_N, Qt::NoModifier, forms::MsgBoxAnswer::No},
      {Qt::Key_N, Qt::AltModifier, forms::MsgBoxAnswer::No},
      {Qt::Key_Return, Qt::NoModifier, forms::MsgBoxAnswer::Yes},
  };
  for (const auto& [key, modifiers, answer] : cases) {
    SCOPED_TRACE(QKeySequence(key | modifiers).toString().toStdString());
    QStringList texts;  // the buttons', then the default button's
    bool unanswered = false;
    // Presses the key once the box is up and has the keyboard. A key that does not answer leaves
    // the box up; it is closed after two seconds so that the test fails instead of waiting forever.
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
      auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
      if (!box || !box->isActiveWindow()) return;
      poll.stop();
      for (const QAbstractButton* b : box->buttons()) texts << b->text();
      texts << (box->defaultButton() ? box->defaultButton()->text() : QString());
      QTest::keyClick(box->focusWidget() ? box->focusWidget() : box, key, modifiers);
      QTimer::singleShot(2000, box, [&unanswered, box] {
        unanswered = true;
        box->reject();
      });
    });
    poll.start(0);
    EXPECT_EQ(forms::MsgBox("本当に終わりますか？", forms::MsgBoxButtons::YesNo, "確　　認"),
              answer);
    EXPECT_FALSE(unanswered) << "the key did not answer the box";
    EXPECT_EQ(texts, QStringList({"はい(&Y)", "いいえ(&N)", "はい(&Y)"}));
  }
}

TEST_F(FacesAndKeysTest, SchemeColorsMakeLabel3ABarelyVisiblePanel) {
  const QImage shown = window()->grab().toImage();
  const QRgb panel = shown.pixel(850, 560);  // Label3, below おわり
  EXPECT_EQ(panel, ToQRgb(forms::system3DLight()));
  EXPECT_EQ(shown.pixel(950, 560), qRgb(224, 224, 224));
  EXPECT_EQ(shown.pixel(800, 520), panel) << "Label8's column beside the drawing surface";
  // Barely visible: off the window's grey, but by less than a tenth of the range.
  EXPECT_NE(panel, qRgb(224, 224, 224));
  for (const int channel : {qRed(panel), qGreen(panel), qBlue(panel)})
    EXPECT_LE(std::abs(channel - 224), 25);
  EXPECT_EQ(shown.pixel(979, 38), ToQRgb(forms::systemButtonFace())) << "Label9's ground";
}
