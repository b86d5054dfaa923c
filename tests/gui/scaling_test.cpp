// The window at a projector's size: the layout magnified uniformly and centred, text drawn at the
// magnified size, the full-screen keys, and repaints paced to the screen's refresh without
// changing what the window does. A real click on a magnified button is an end-to-end case.
#include <qpa/qwindowsysteminterface.h>
#include <QAbstractEventDispatcher>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFontInfo>
#include <QKeyEvent>
#include <QScreen>
#include <QTest>

#include <cmath>

#include "forms/qt/fonts.h"
#include "window_fixture.h"

namespace {

// The offscreen screen the GUI tests run on (tests/support/offscreen_screen.json).
constexpr QSize kProjector(1920, 1080);

// Hands every event of the objects it watches to `seen`.
class Watcher : public QObject {
 public:
  std::function<void(QObject*, QEvent*)> seen;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    seen(watched, event);
    return false;
  }
};

// Whether the screen shows what the window draws afresh from its present state. A smooth
// magnification of part of the drawing comes out a few levels off the magnification of the whole,
// so channels may differ by a little. Only `area` is compared when it is given.
bool screenIsCurrent(QWidget* window, QRect area = {}) {
  const QImage a = window->screen()->grabWindow(window->winId()).toImage();
  const QImage b = window->grab().toImage();
  if (a.size() != b.size()) return false;
  area = area.isNull() ? a.rect() : area.intersected(a.rect());
  for (int y = area.top(); y <= area.bottom(); ++y) {
    for (int x = area.left(); x <= area.right(); ++x) {
      const QRgb p = a.pixel(x, y);
      const QRgb q = b.pixel(x, y);
      if (std::max({std::abs(qRed(p) - qRed(q)), std::abs(qGreen(p) - qGreen(q)),
                    std::abs(qBlue(p) - qBlue(q))}) > 8)
        return false;
    }
  }
  return true;
}

class ScaledWindowTest : public WindowTest {
 protected:
  void maximise() {
    window()->showMaximized();
    QTest::qWait(20);
  }
  // Where a logical point of the window lies once magnified by `scale` and centred.
  QPoint device(double x, double y, double scale) const {
    const int clientWidth = static_cast<int>(std::lround(989 * scale));
    return QPoint((kProjector.width() - clientWidth) / 2 + static_cast<int>(std::lround(x * scale)),
                  static_cast<int>(std::lround(y * scale)));
  }
};

}  // namespace

TEST(OpeningSize, FitsTheScreensOwnPixelsAtAnyScaleFactor) {
  // Screens in their own pixels, at a scale factor; Qt reports them rounded to whole
  // device-independent pixels, and the window's own pixels are its size times the factor, rounded.
  // Each screen: its pixels, the scale factor, the window's expected device-independent size.
  const std::tuple<QSize, double, QSize> screens[] = {
      {{1920, 1080}, 1, {989, 577}},  // room to spare: the window's own size
      {{989, 577}, 1, {989, 577}},     {{800, 600}, 1, {800, 466}},
      {{1280, 800}, 2, {639, 373}},     // 640 x 400 reported, which might be 1279 x 799 pixels
      {{1280, 800}, 3, {426, 248}},     // 426.67 x 266.67 reported as 427 x 267
      {{1920, 1080}, 2, {924, 539}},    // 960 x 540
      {{1366, 768}, 1.5, {876, 511}},   // 910.67 x 512 reported as 911 x 512
      {{1280, 720}, 1.25, {986, 575}},  // 1024 x 576
  };

  for (const auto& [pixels, ratio, expected] : screens) {
    SCOPED_TRACE(testing::Message() << pixels.width() << " at " << ratio);
    const QSize reported(static_cast<int>(std::lround(pixels.width() / ratio)),
                         static_cast<int>(std::lround(pixels.height() / ratio)));
    const QSize size = forms::qt::OpeningSize(QSize(989, 577), reported, ratio);
    EXPECT_EQ(size, expected) << size.width() << "x" << size.height();
    EXPECT_LE(std::lround(size.width() * ratio), pixels.width());
    EXPECT_LE(std::lround(size.height() * ratio), pixels.height());
  }
}

TEST_F(ScaledWindowTest, F11AndEscToggleFullScreenAndMaximisedTheLayoutScalesUniformlyAndCentres) {
  bool full = false;  // Esc leaves full screen, or does nothing outside it; F11 toggles
  for (const Qt::Key pressed :
       {Qt::Key_Escape, Qt::Key_F11, Qt::Key_Escape, Qt::Key_F11, Qt::Key_F11}) {
    QKeyEvent press(QEvent::KeyPress, pressed, Qt::NoModifier);
    QApplication::sendEvent(QApplication::focusWidget() ? QApplication::focusWidget() : window(),
                            &press);
    QTest::qWait(20);
    full = pressed == Qt::Key_F11 && !full;
    ASSERT_EQ(window()->isFullScreen(), full);
    const QRect shown = window()->geometry();
    EXPECT_EQ(shown,
              full ? QRect(QPoint(0, 0), kProjector) : QRect(shown.topLeft(), QSize(989, 577)));
    EXPECT_DOUBLE_EQ(window()->scale(), full ? 1080.0 / 577 : 1.0);
  }
  EXPECT_EQ(forms::qt::WidgetOf(form->Command1(3))->geometry(), QRect(801, 191, 180, 50))
      << "back at its own size, the window shows the layout pixel for pixel";

  maximise();
  ASSERT_EQ(window()->size(), kProjector);
  const double s = std::min(1920.0 / 989, 1080.0 / 577);  // the height ratio, 1.8718
  EXPECT_DOUBLE_EQ(window()->scale(), s);
  EXPECT_EQ(window()->origin(), QPoint(34, 0)) << "(1920 - 1851) / 2 on each side";
  const std::pair<const forms::Control*, QRect> placed[] = {
      {&form->Picture1, QRect(0, 41, 800, 500)},
      {&form->Command1(3), QRect(801, 191, 180, 50)},
      {&form->Command3, QRect(801, 491, 180, 50)}};
  for (const auto& [control, r] : placed) {
    const QWidget* w = forms::qt::WidgetOf(*control);
    EXPECT_EQ(QRect(w->mapTo(window(), QPoint(0, 0)), w->size()),
              QRect(device(r.left(), r.top(), s),
                    device(r.right() + 1, r.bottom() + 1, s) - QPoint(1, 1)))
        << control->name();
  }
  // The model, and so every routine and the trace, stays in logical pixels.
  EXPECT_EQ(form->Command1(3).left(), 801);
  EXPECT_EQ(forms::qt::ImageOf(form->Picture1).size(), QSize(800, 500));

  // Text is laid out in logical pixels and drawn at the scaled size.
  EXPECT_EQ(QFontInfo(forms::qt::WidgetOf(form->Label9)->font()).pixelSize(), std::lround(16 * s));
  EXPECT_EQ(QFontInfo(forms::qt::WidgetOf(form->Command1(3))->font()).pixelSize(),
            std::lround(16 * s));
  EXPECT_EQ(forms::qt::ToQFont(form->Label9.font()).pixelSize(), 16);
  click(5);  // the comet: the read-outs show 3550 and 59.9
  for (const forms::Label* readOut : {&form->Label4, &form->Label5, &form->Label7}) {
    SCOPED_TRACE(readOut->name());
    const QString caption = QString::fromStdString(readOut->caption());
    EXPECT_EQ(
        readOut->width(),
        std::ceil(QFontMetricsF(forms::qt::ToQFont(readOut->font())).horizontalAdvance(caption)))
        << "an auto-size label's model width stays the logical width";
    const QWidget* shown = forms::qt::WidgetOf(*readOut);
    EXPECT_GE(shown->width(), QFontMetricsF(shown->font()).horizontalAdvance(caption))
        << "no digit of the read-out is cut off";
  }
}

// ---- Repaint pacing ----

TEST_F(ScaledWindowTest, RepaintsAtMostOncePerRefresh) {
  // What the pacing does to the trace, nothing, the golden traces show: their window is shown.
  QTest::qWait(40);
  // Each repaint that moves a body paints the drawing beneath it once.
  int repaints = 0;
  Watcher painted;
  painted.seen = [&](QObject*, QEvent* event) { repaints += event->type() == QEvent::Paint; };
  forms::qt::WidgetOf(form->Picture1)->installEventFilter(&painted);
  QElapsedTimer elapsed;
  elapsed.start();
  click(7);  // 1800 frames, each moving three bodies
  const double ms = static_cast<double>(elapsed.elapsed());
  EXPECT_LE(repaints, ms * window()->screen()->refreshRate() / 1000 + 2) << "in " << ms << " ms";
  EXPECT_GT(repaints, 0);
}

TEST_F(ScaledWindowTest, TheLastFrameOfADemonstrationReachesTheScreen) {
  maximise();
  click(7);
  // Back in an idle event loop, with nothing else to wake it up but a guard timer: the held last
  // frame must reach the screen by itself, within two refresh periods (and the load of a shared
  // machine).
  const bool current = screenIsCurrent(window());
  // (Drawing the window afresh paints it too: the count starts after.)
  int repaints = 0;
  Watcher painted;
  painted.seen = [&](QObject*, QEvent* event) { repaints += event->type() == QEvent::Paint; };
  forms::qt::WidgetOf(form->Picture1)->installEventFilter(&painted);
  QTimer guard;
  guard.setSingleShot(true);
  guard.start(1000);
  // The held repaint may go out just before the loop sleeps; the waker makes that sleep end.
  Watcher waker;
  waker.seen = [](QObject*, QEvent* event) {
    if (event->type() == QEvent::UpdateRequest) QAbstractEventDispatcher::instance()->wakeUp();
  };
  window()->installEventFilter(&waker);
  QElapsedTimer elapsed;
  elapsed.start();
  while (!current && repaints == 0 && guard.isActive())
    QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
  const qint64 waited = elapsed.elapsed();
  EXPECT_TRUE(screenIsCurrent(window())) << "the last frame was not on the screen";
  EXPECT_LT(waited, 250);
  // And what is on the screen is where the last frame placed the bodies.
  const double s = window()->scale();
  for (const forms::ImageControl* body : {&form->Image1, &form->Image2, &form->Image4}) {
    EXPECT_EQ(forms::qt::WidgetOf(*body)->pos(),
              QPoint(static_cast<int>(std::lround(forms::toPixel(body->left()) * s)),
                     static_cast<int>(std::lround(forms::toPixel(body->top()) * s))))
        << body->name();
  }
}

TEST_F(ScaledWindowTest, ARunningReadOutShowsOnTheScreenWhatAFreshDrawingShows) {
  // A new caption repaints only from its first changed character on; the count's digits, a count
  // that gains a digit and a read-out that shrinks must all leave nothing stale behind.
  for (const bool magnified : {false, true}) {
    SCOPED_TRACE(magnified ? "maximised" : "at its own size");
    if (magnified) maximise();
    for (const char* caption :
         {"　　　　　　　　　　　　 98　日経過", "　　　　　　　　　　　　 99　日経過",
          "　　　　　　　　　　　　 100　日経過", "　　　　　　　　　　　　 10　日経過",
          "　　　　　　　　　　　　 1", "　　　　　　　　　　　　 7　日経過"}) {
      form->Label5.setCaption(caption);
      QTest::qWait(40);
      ASSERT_TRUE(screenIsCurrent(window())) << "stale pixels after " << caption;
    }
  }
}

TEST_F(ScaledWindowTest, TheFrameBeforeAMessageBoxIsOnTheScreenAsTheBoxComesUp) {
  // Command3 clicked during the inner planets: the quit box comes up inside a wait. On a screen
  // that refreshes once a second, only the box itself can bring the held frame to the screen.
  maximise();
  QScreen* screen = window()->screen();
  QWindowSystemInterface::handleScreenRefreshRateChange(screen, 1.0);
  QWindowSystemInterface::flushWindowSystemEvents();
  ASSERT_EQ(screen->refreshRate(), 1.0);
  const double s = window()->scale();
  // When the box is first painted, the screen is compared with the window, then the box answered
  // いいえ. Only the drawing surface and the read-out strip are compared: the buttons' focus mark
  // goes as the box takes the keyboard.
  bool looked = false;
  bool agreed = false;
  Watcher watcher;
  watcher.seen = [&](QObject* watched, QEvent* event) {
    if (event->type() != QEvent::Paint || looked || !qobject_cast<QMessageBox*>(watched)) return;
    looked = true;
    agreed = screenIsCurrent(window(), QRect(device(0, 41, s), device(800, 571, s)));
    modal.answer(QStringLiteral("いいえ"));
  };
  qApp->installEventFilter(&watcher);
  clickLater(1000, 9);
  const QStringList lines = traceOf(7);
  ASSERT_TRUE(looked) << "the quit box never came up";
  EXPECT_TRUE(agreed) << "the screen lagged behind the window as the box came up";
  EXPECT_TRUE(lines.contains("Form1 MsgBox \"本当に終わりますか？\" 4 \"確　　認\" = 7"));
}
