// The window after start-up, the pacing wait, the laws picture, the end of the program and the
// run-time error path.
#include <cmath>

#include "window/colors.h"
#include "window_fixture.h"

TEST_F(WindowTest, StartUpDrawsOnlyASolidSunDisc) {
  constexpr QRgb kSurfaceRgb = forms::qt::ToQRgb(colors::kDrawingSurface) & 0xFFFFFF;
  constexpr QRgb kSunRgb = forms::qt::ToQRgb(colors::kSun) & 0xFFFFFF;
  for (int y = 0; y < 500; ++y)
    for (int x = 0; x < 800; ++x) {
      const double d = std::hypot(x - 300, y - 250);
      const QRgb p = form->Picture1.rgbAt(x, y);
      if (d <= 9.0) {
        ASSERT_EQ(p, kSunRgb) << "hole in the Sun at " << x << "," << y;
      } else if (d > 10.8) {
        ASSERT_EQ(p, kSurfaceRgb) << "stray pixel at " << x << "," << y;
      }
    }
  EXPECT_EQ(form->Picture1.rgbAt(290, 250), kSunRgb) << "the outermost ring reaches radius 10";
  for (int y = 0; y < 30; ++y)
    for (int x = 0; x < 800; ++x) ASSERT_EQ(form->Picture2.rgbAt(x, y), kSurfaceRgb);
}

// ---- The pacing wait ----

// A whole run's length and clicks inside its waits: lesson_test and the golden traces.
TEST_F(WindowTest, AWaitLastsItsDelayFromTheLatestWaitStartAndNoneWithoutPumping) {
  // A 1 ms wait lasts until the clock next advances. WaitStartTime is shared: interrupted 10 ms in
  // by a handler that waits, a wait returns right after the nested one, or measures its own delay
  // from the nested one's start.
  // Each case: the delay, the handler's wait or 0, and how long the wait lasts.
  const std::tuple<int, int, std::uint64_t> cases[] = {
      {0, 0, 0}, {-1, 0, 0}, {-2147483647 - 1, 0, 0}, {1, 0, 1}, {30, 50, 60}, {100, 20, 110}};
  for (const auto& [delay, nested, lasts] : cases) {
    const int pumps = clock.pumps();
    const auto start = clock.elapsed();
    if (nested) clock.after(10, [&] { form->WaitMilliseconds(nested); });
    form->WaitMilliseconds(delay);
    EXPECT_EQ(clock.elapsed() - start, lasts) << delay;
    EXPECT_TRUE(delay > 0 || clock.pumps() == pumps) << delay << ": pumped";
  }
}

TEST(WrappingClock, WaitIsExactAcrossTheCounterWrap) {
  for (const std::uint32_t start : {0x7FFFFFF0u, 0xFFFFFFF0u}) {
    testing_support::VirtualClock clock(start);
    Form1 form(clock);
    form.WaitMilliseconds(30);
    EXPECT_EQ(clock.elapsed(), 30u) << start;
    EXPECT_EQ(form.WaitStartTime, static_cast<std::int32_t>(start));
  }
}

// ---- The laws picture, and nothing runs after the end ----

TEST_F(WindowTest, LawsPictureHidesTheBodiesAndLiesOverTheKeptDrawing) {
  form->Image1.setVisible(true);
  form->Image4.setVisible(true);
  const QImage drawingBefore = forms::qt::ImageOf(form->Picture1);
  click(8);
  EXPECT_EQ(forms::qt::WidgetOf(form->Image3)->geometry(), QRect(0, 0, 800, 500));
  EXPECT_EQ(forms::qt::ImageOf(form->Picture1), drawingBefore)
      << "the drawing stays under the picture";
  form->Label11.setCaption("10000.");
  const QImage shown = forms::qt::WidgetOf(form->Picture1)->grab().toImage();
  const QImage laws(QStringLiteral("kepler.bmp"));
  for (const QPoint p : {QPoint(50, 12), QPoint(600, 12), QPoint(710, 12)})
    EXPECT_EQ(shown.pixel(p), laws.pixel(p)) << "the picture covers the read-outs at " << p.x();
  EXPECT_FALSE(form->ending());
}

TEST_F(WindowTest, AnErrorInsideADemonstrationEndsItAndEveryClickAfter) {
  // A laws picture that is missing, clicked during a wait, ends the running demonstration too;
  // scenario clicks queued behind it are not handled.
  useCopyOfAssets();
  QFile::remove(QStringLiteral("kepler.bmp"));
  TraceRecorder trace;
  modal.answer("OK");
  modal.answer("OK");  // for a second box, which must not come
  clock.after(100, [this] {
    for (const int b : {8, 4, 5}) testing_support::PostClick(button(b));  // Command2 first
  });
  quietClick(0);
  const qsizetype error = trace.lines().indexOf(QRegularExpression("Form1 Error .*"));
  ASSERT_GE(error, 0);
  EXPECT_EQ(trace.lines().mid(error + 1), QStringList({"Form1 End"}));
  EXPECT_EQ(trace.starting("Form1 Click").size(), 2) << "Command1(0), then Command2";
}
