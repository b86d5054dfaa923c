// The window at a projector's size: the layout magnified uniformly and centred, text drawn at the
// magnified size, the full-screen keys, and repaints paced to the screen's refresh without
// changing what the window does. A real click on a magnified button is an end-to-end case.
#include <qpa/qwindowsysteminterface.h>
#include <QAbstractEventDispatcher>
#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFontInfo>
#include <QKeyEvent>
#include <QMessageBox>
#include <QScreen>
#include <QTimer>

#include <cmath>
#include <utility>

#include "forms/qt/access.h"
#include "forms/qt/color.h"
#include "forms/qt/fonts.h"
#include "post_click.h"
#include "repaints.h"
#include "window_fixture.h"

using testing_support::TraceRecorder;
using testing_support::WindowTest;

namespace {

// The offscreen screen the GUI tests run on (tests/support/offscreen_screen.json).
constexpr QSize kProjector(1920, 1080);

void settle(int ms) {
  QEventLoop loop;
  QTimer::singleShot(ms, &loop, &QEventLoop::quit);
  loop.exec();
}

// Wakes the event loop whenever a repaint is asked of the window it watches, so that a loop
// waiting for one does not sleep on after it went out just before the loop blocked.
class RepaintWaker : public QObject {
 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::UpdateRequest) QAbstractEventDispatcher::instance()->wakeUp();
    return QObject::eventFilter(watched, event);
  }
};

// What the window shows on the screen, and the window drawn afresh from its present state.
QImage onScreen(QWidget* window) {
  return window->screen()
      ->grabWindow(window->winId())
      .toImage()
      .convertToFormat(QImage::Format_RGB32);
}
QImage drawnAfresh(QWidget* window) {
  return window->grab().toImage().convertToFormat(QImage::Format_RGB32);
}

// Whether two pictures of the window agree. A smooth magnification of part of the drawing comes
// out a few levels off the magnification of the whole, so channels may differ by a little.
// Only `area` is compared when it is given.
bool agree(const QImage& a, const QImage& b, QRect area = {}) {
  if (a.size() != b.size()) return false;
  area = area.isNull() ? a.rect() : area.intersected(a.rect());
  constexpr int kTolerance = 8;
  for (int y = area.top(); y <= area.bottom(); ++y) {
    const auto* p = reinterpret_cast<const QRgb*>(a.constScanLine(y));
    const auto* q = reinterpret_cast<const QRgb*>(b.constScanLine(y));
    for (int x = area.left(); x <= area.right(); ++x) {
      if (std::abs(qRed(p[x]) - qRed(q[x])) > kTolerance ||
          std::abs(qGreen(p[x]) - qGreen(q[x])) > kTolerance ||
          std::abs(qBlue(p[x]) - qBlue(q[x])) > kTolerance)
        return false;
    }
  }
  return true;
}

class ScaledWindowTest : public WindowTest {
 protected:
  QWidget* window() { return forms::qt::WidgetOf(form->window()); }
  forms::qt::ScaledWindow* scaled() { return static_cast<forms::qt::ScaledWindow*>(window()); }
  void maximise() {
    window()->showMaximized();
    settle(20);
  }
  // Where a logical point of the window lies once magnified by `scale` and centred.
  QPoint device(double x, double y, double scale) const {
    const int clientWidth = static_cast<int>(std::lround(989 * scale));
    return QPoint((kProjector.width() - clientWidth) / 2 + static_cast<int>(std::lround(x * scale)),
                  static_cast<int>(std::lround(y * scale)));
  }
  void key(Qt::Key k) {
    QWidget* target = QApplication::focusWidget() ? QApplication::focusWidget() : window();
    QKeyEvent press(QEvent::KeyPress, k, Qt::NoModifier);
    QApplication::sendEvent(target, &press);
    settle(20);
  }
};

}  // namespace

TEST(OpeningSize, FitsTheScreensOwnPixelsAtAnyScaleFactor) {
  // Screens in their own pixels, at a scale factor; Qt reports them rounded to whole
  // device-independent pixels, and the window's own pixels are its size times the factor, rounded.
  struct Screen {
    QSize pixels;
    double ratio;
    QSize expected;  // device-independent pixels
  };
  const Screen screens[] = {
      {{1920, 1080}, 1, {989, 577}},  // room to spare: the window's own size
      {{989, 577}, 1, {989, 577}},     {{800, 600}, 1, {800, 466}},
      {{1280, 800}, 2, {639, 373}},     // 640 x 400 reported, which might be 1279 x 799 pixels
      {{1280, 800}, 3, {426, 248}},     // 426.67 x 266.67 reported as 427 x 267
      {{1920, 1080}, 2, {924, 539}},    // 960 x 540
      {{1366, 768}, 1.5, {876, 511}},   // 910.67 x 512 reported as 911 x 512
      {{1280, 720}, 1.25, {986, 575}},  // 1024 x 576
  };
  for (const Screen& screen : screens) {
    SCOPED_TRACE(testing::Message() << screen.pixels.width() << "x" << screen.pixels.height()
                                    << " at " << screen.ratio);
    const QSize reported(static_cast<int>(std::lround(screen.pixels.width() / screen.ratio)),
                         static_cast<int>(std::lround(screen.pixels.height() / screen.ratio)));
    const QSize size = forms::qt::OpeningSize(QSize(989, 577), reported, screen.ratio);
    EXPECT_EQ(std::pair(size.width(), size.height()),
              std::pair(screen.expected.width(), screen.expected.height()));
    EXPECT_LE(std::lround(size.width() * screen.ratio), screen.pixels.width());
    EXPECT_LE(std::lround(size.height() * screen.ratio), screen.pixels.height());
  }
}

TEST_F(ScaledWindowTest, MaximisedOnAProjectorTheLayoutScalesUniformlyAndCentres) {
  maximise();
  ASSERT_EQ(window()->size(), kProjector);
  const double s = std::min(1920.0 / 989, 1080.0 / 577);  // the height ratio, 1.8718
  EXPECT_DOUBLE_EQ(scaled()->scale(), s);
  EXPECT_EQ(scaled()->origin(), QPoint(34, 0)) << "(1920 - 1851) / 2 on each side";

  const auto expectShownAt = [&](const forms::Control& c, QRect logicalOnWindow) {
    SCOPED_TRACE(c.name());
    const QPoint topLeft = device(logicalOnWindow.left(), logicalOnWindow.top(), s);
    const QPoint end = device(logicalOnWindow.left() + logicalOnWindow.width(),
                              logicalOnWindow.top() + logicalOnWindow.height(), s);
    const QWidget* w = forms::qt::WidgetOf(c);
    EXPECT_EQ(QRect(w->mapTo(window(), QPoint(0, 0)), w->size()),
              QRect(topLeft, QSize(end.x() - topLeft.x(), end.y() - topLeft.y())));
  };
  expectShownAt(form->Picture1, QRect(0, 41, 800, 500));
  expectShownAt(form->Command1(3), QRect(801, 191, 180, 50));
  expectShownAt(form->Command3, QRect(801, 491, 180, 50));
  // The model, and so every routine and the trace, stays in logical pixels.
  EXPECT_EQ(form->Command1(3).left(), 801);
  EXPECT_EQ(forms::qt::ImageOf(form->Picture1).size(), QSize(800, 500));
}

TEST_F(ScaledWindowTest, TextIsLaidOutInLogicalPixelsAndDrawnAtTheScaledSize) {
  maximise();
  const double s = scaled()->scale();
  EXPECT_EQ(QFontInfo(forms::qt::WidgetOf(form->Label9)->font()).pixelSize(), std::lround(16 * s));
  EXPECT_EQ(QFontInfo(forms::qt::WidgetOf(form->Command1(3))->font()).pixelSize(),
            std::lround(16 * s));
  EXPECT_EQ(forms::qt::ToQFont(form->Label9.font()).pixelSize(), 16);

  click(form->Command1(5));  // the comet: the read-outs show 3550 and 59.9
  for (const forms::Label* readOut : {&form->Label4, &form->Label5, &form->Label7}) {
    SCOPED_TRACE(readOut->name());
    const QFontMetricsF logical(forms::qt::ToQFont(readOut->font()));
    const QString caption = QString::fromStdString(readOut->caption());
    EXPECT_EQ(readOut->width(), std::ceil(logical.horizontalAdvance(caption)))
        << "an auto-size label's model width stays the logical width";
    const QFontMetricsF drawn(forms::qt::WidgetOf(*readOut)->font());
    EXPECT_GE(forms::qt::WidgetOf(*readOut)->width(), drawn.horizontalAdvance(caption))
        << "no digit of the read-out is cut off";
  }
}

TEST_F(ScaledWindowTest, F11TogglesFullScreenAndEscLeavesItTheLayoutFollows) {
  key(Qt::Key_Escape);
  EXPECT_FALSE(window()->isFullScreen()) << "Esc does nothing outside full screen";
  EXPECT_EQ(window()->size(), QSize(989, 577));

  key(Qt::Key_F11);
  ASSERT_TRUE(window()->isFullScreen());
  EXPECT_EQ(window()->geometry(), QRect(QPoint(0, 0), kProjector));
  EXPECT_DOUBLE_EQ(scaled()->scale(), 1080.0 / 577);

  key(Qt::Key_Escape);
  EXPECT_FALSE(window()->isFullScreen());
  EXPECT_EQ(window()->size(), QSize(989, 577));
  EXPECT_EQ(scaled()->scale(), 1.0);
  EXPECT_EQ(forms::qt::WidgetOf(form->Command1(3))->geometry(), QRect(801, 191, 180, 50))
      << "back at its own size, the window shows the layout pixel for pixel";

  key(Qt::Key_F11);
  key(Qt::Key_F11);
  EXPECT_FALSE(window()->isFullScreen()) << "F11 toggles";
}

// ---- Repaint pacing ----

TEST_F(ScaledWindowTest, RepaintsAtMostOncePerRefresh) {
  // What the pacing does to the trace, nothing, the golden traces show: their window is shown.
  settle(40);
  // Each repaint that moves a body paints the drawing beneath it once.
  testing_support::PaintCounter repaints(forms::qt::WidgetOf(form->Picture1));
  QElapsedTimer elapsed;
  elapsed.start();
  click(form->Command1(7));  // 1800 frames, each moving three bodies
  const double ms = static_cast<double>(elapsed.elapsed());
  const double refreshMs = 1000.0 / window()->screen()->refreshRate();
  EXPECT_LE(repaints.count(), ms / refreshMs + 2) << "in " << ms << " ms";
  EXPECT_GT(repaints.count(), 0);
}

TEST_F(ScaledWindowTest, TheLastFrameOfADemonstrationReachesTheScreen) {
  maximise();
  click(form->Command1(7));
  // Back in an idle event loop, with nothing else to wake it up but a guard timer: the held last
  // frame must reach the screen by itself, within two refresh periods (and the load of a shared
  // machine).
  const bool current = agree(onScreen(window()), drawnAfresh(window()));
  // (Drawing the window afresh paints it too: the count starts after.)
  testing_support::PaintCounter repaints(forms::qt::WidgetOf(form->Picture1));
  QTimer guard;
  guard.setSingleShot(true);
  guard.start(1000);
  // The held repaint may go out just before the loop sleeps; the waker makes that sleep end.
  RepaintWaker waker;
  window()->installEventFilter(&waker);
  QElapsedTimer elapsed;
  elapsed.start();
  while (!current && repaints.count() == 0 && guard.isActive())
    QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
  const qint64 waited = elapsed.elapsed();
  EXPECT_TRUE(agree(onScreen(window()), drawnAfresh(window())))
      << "the last frame was not on the screen " << waited << " ms after the demonstration";
  EXPECT_LT(waited, 250);
  // And what is on the screen is where the last frame placed the bodies.
  const double s = scaled()->scale();
  for (const forms::ImageControl* body : {&form->Image1, &form->Image2, &form->Image4}) {
    EXPECT_EQ(forms::qt::WidgetOf(*body)->pos(),
              QPoint(static_cast<int>(std::lround(forms::toPixel(body->left()) * s)),
                     static_cast<int>(std::lround(forms::toPixel(body->top()) * s))))
        << body->name();
  }
}

namespace {

// Compares the screen with the window when the quit box is first painted, then answers it with
// いいえ.
// Only the drawing surface and the read-out strip are compared: the buttons' focus mark goes as
// the box takes the keyboard.
class BoxWatcher : public QObject {
 public:
  BoxWatcher(QWidget* window, testing_support::ModalAnswerer& modal, QRect drawing)
      : window_(window), modal_(modal), drawing_(drawing) {
    QApplication::instance()->installEventFilter(this);
  }
  bool looked = false;
  bool agreed = false;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::Paint && !looked && qobject_cast<QMessageBox*>(watched)) {
      looked = true;
      agreed = agree(onScreen(window_), drawnAfresh(window_), drawing_);
      modal_.answer(QStringLiteral("いいえ"));
    }
    return false;
  }

 private:
  QWidget* window_;
  testing_support::ModalAnswerer& modal_;
  QRect drawing_;
};

}  // namespace

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
      settle(40);
      ASSERT_TRUE(agree(onScreen(window()), drawnAfresh(window())))
          << "stale pixels after " << caption;
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
  const double s = scaled()->scale();
  BoxWatcher watcher(window(), modal, QRect(device(0, 41, s), device(800, 571, s)));
  clock.after(1000, [&] { testing_support::PostClick(form->Command3); });
  TraceRecorder trace;
  click(form->Command1(7));
  ASSERT_TRUE(watcher.looked) << "the quit box never came up";
  EXPECT_TRUE(watcher.agreed) << "the screen lagged behind the window as the box came up";
  EXPECT_TRUE(trace.lines().contains("Form1 MsgBox \"本当に終わりますか？\" 4 \"確　　認\" = 7"));
}
