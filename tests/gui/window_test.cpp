// The window after start-up, the pacing wait, the laws picture, the quit confirmation and the
// run-time error path.
#include <QApplication>
#include <QFontInfo>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QRegularExpression>
#include <QTimer>

#include <cmath>

#include "forms/qt/access.h"
#include "forms/qt/clock.h"
#include "forms/qt/colour.h"
#include "forms/qt/fonts.h"
#include "window/colours.h"
#include "window_fixture.h"

using testing_support::TraceRecorder;
using testing_support::WindowTest;

namespace {

QRgb pixel(const forms::PictureBox& box, int x, int y) {
  return box.rgbAt(x, y);
}
constexpr QRgb kSurfaceRgb = forms::qt::ToQRgb(colours::kDrawingSurface) & 0xFFFFFF;
constexpr QRgb kSunRgb = forms::qt::ToQRgb(colours::kSun) & 0xFFFFFF;

void expectPlace(const forms::Control& c, float left, float top, float width, float height) {
  SCOPED_TRACE(c.name());
  EXPECT_EQ(c.left(), left);
  EXPECT_EQ(c.top(), top);
  EXPECT_EQ(c.width(), width);
  EXPECT_EQ(c.height(), height);
  EXPECT_EQ(forms::qt::WidgetOf(c)->geometry(),
            QRect(static_cast<int>(left), static_cast<int>(top), static_cast<int>(width),
                  static_cast<int>(height)));
}

}  // namespace

TEST_F(WindowTest, StartUpLaysOutTheControlsInPixels) {
  expectPlace(form->Label2, 0, 0, 800, 10);
  expectPlace(form->Label1, 0, 11, 800, 30);
  expectPlace(form->Picture1, 0, 41, 800, 500);
  expectPlace(form->Picture2, 0, 541, 800, 30);
  expectPlace(form->Label9, 801, 0, 180, 40);
  for (int i = 0; i <= 7; ++i)
    expectPlace(form->Command1(i), 801, 41 + 50.0f * static_cast<float>(i), 180, 50);
  expectPlace(form->Command2, 801, 441, 180, 50);
  expectPlace(form->Command3, 801, 491, 180, 50);
  expectPlace(form->Label8, 784, 504, 129, 25);
  expectPlace(form->Label3, 784, 536, 121, 33);
  expectPlace(form->Label6, 0, 0, 105, 25);
  EXPECT_EQ(form->Image1.width(), 200);
  EXPECT_EQ(forms::qt::WidgetOf(form->window())->size(), QSize(989, 577));
  EXPECT_EQ(forms::qt::WidgetOf(form->window())->windowTitle(), "Form1");
}

TEST_F(WindowTest, StartUpSetsTitleHintCaptionsAndColours) {
  EXPECT_EQ(form->Label1.caption(), "ケプラーの第１・第２法則による惑星の運動       Ver2.00");
  EXPECT_EQ(form->Label9.caption(), "運動が止まってから他のボタンを選択してください");
  // Every caption is also checked, exactly, on the real window (end-to-end tests).
  EXPECT_EQ(form->Command1(5).caption(), "ﾊﾚｰ彗星 離心率 0.967");
  for (int i = 0; i <= 7; ++i) EXPECT_EQ(form->Command1(i).backColor(), forms::RGB(255, 255, 200));
  EXPECT_EQ(form->Command2.caption(), "　ケプラーの法則　");
  EXPECT_EQ(form->Command3.caption(), "　お  わ  り  ");
  EXPECT_EQ(form->Command3.backColor(), forms::RGB(255, 255, 200));
  EXPECT_EQ(form->Label9.foreColor(), forms::RGB(255, 0, 0));
  EXPECT_EQ(form->Label1.backColor(), forms::RGB(255, 224, 192));
  for (const forms::Label* readOut :
       {&form->Label4, &form->Label5, &form->Label7, &form->Label11}) {
    EXPECT_EQ(readOut->backColor(), forms::RGB(128, 128, 255));
    EXPECT_EQ(readOut->foreColor(), forms::RGB(255, 255, 255));
    EXPECT_EQ(readOut->caption().find_first_not_of(' '), std::string::npos)
        << "read-outs start blank";
  }
  EXPECT_EQ(form->Label4.caption(), std::string(12, ' '));
  EXPECT_EQ(form->Label11.caption(), std::string(5, ' '));
}

TEST_F(WindowTest, StartUpDrawsOnlyASolidSunDisc) {
  for (int y = 0; y < 500; ++y) {
    for (int x = 0; x < 800; ++x) {
      const double d = std::hypot(x - 300, y - 250);
      const QRgb p = pixel(form->Picture1, x, y);
      if (d <= 9.0) {
        ASSERT_EQ(p, kSunRgb) << "hole in the Sun at " << x << "," << y;
      } else if (d > 10.8) {
        ASSERT_EQ(p, kSurfaceRgb) << "stray pixel at " << x << "," << y;
      }
    }
  }
  EXPECT_EQ(pixel(form->Picture1, 290, 250), kSunRgb) << "the outermost ring reaches radius 10";
  for (int y = 0; y < 30; ++y) {
    for (int x = 0; x < 800; ++x) ASSERT_EQ(pixel(form->Picture2, x, y), kSurfaceRgb);
  }
}

TEST_F(WindowTest, FontsResolveToJapaneseGothicsAndTheHintFitsItsBox) {
  EXPECT_EQ(QFontInfo(forms::qt::ToQFont(form->Label9.font())).family(), "IPAPGothic");
  EXPECT_EQ(QFontInfo(forms::qt::ToQFont(form->Label1.font())).family(), "Noto Sans CJK JP");
  EXPECT_TRUE(QFontInfo(forms::qt::ToQFont(form->Label1.font())).bold());
  EXPECT_EQ(QFontInfo(forms::qt::WidgetOf(form->window())->font()).family(), "IPAPGothic");
  const QFontMetrics metrics(forms::qt::ToQFont(form->Label9.font()));
  const QRect wrapped = metrics.boundingRect(QRect(0, 0, 180, 1000), Qt::TextWordWrap,
                                             QString::fromStdString(form->Label9.caption()));
  EXPECT_LE(wrapped.height(), 40) << "the hint must not lose a line";
  EXPECT_LE(wrapped.width(), 180);
  EXPECT_EQ(form->Label9.width(), 180) << "a wrapped label keeps its width";
}

TEST(WindowTrace, StartUpIsTracedInItsOrder) {
  TraceRecorder trace;
  testing_support::VirtualClock clock;
  Form1 form(clock);
  form.Form_Load();
  const QStringList& lines = trace.lines();
  ASSERT_GE(lines.size(), 4);
  EXPECT_EQ(lines.mid(0, 4),
            QStringList({"Label2 Top 0", "Label2 Left 0", "Label2 Width 800", "Label2 Height 10"}));
  EXPECT_GE(trace.find("Label1 Caption \"ケプラーの第１・第２法則による惑星の運動       Ver2.00\""),
            0);
  const QStringList circles = trace.starting("Picture1 Circle");
  ASSERT_EQ(circles.size(), 20);
  EXPECT_EQ(circles.first(), "Picture1 Circle 300 250 0.5 61695 -");
  EXPECT_EQ(circles.last(), "Picture1 Circle 300 250 10 61695 -");
  EXPECT_EQ(trace.starting("Command1(3) BackColor"),
            QStringList({"Command1(3) BackColor 13172735"}));
  EXPECT_LT(trace.find("Command1(7) Top 391"), trace.find("Command1(7) BackColor 13172735"));
  EXPECT_LT(trace.find("Command3 BackColor 13172735"),
            trace.find("Command1(0) Caption \"　　 離心率 0.000\""));
}

// ---- The pacing wait ----

TEST_F(WindowTest, ZeroOrNegativeWaitReturnsWithoutPumping) {
  for (const int delay : {0, -1, -2147483647 - 1}) {
    const int pumps = clock.pumps();
    const auto before = clock.elapsed();
    form->WaitMilliseconds(delay);
    EXPECT_EQ(clock.pumps(), pumps) << delay;
    EXPECT_EQ(clock.elapsed(), before) << delay;
  }
  const auto before = clock.elapsed();
  form->WaitMilliseconds(1);
  EXPECT_EQ(clock.elapsed() - before, 1u) << "a 1 ms wait lasts until the clock next advances";
}

TEST_F(WindowTest, WaitLastsItsDelayAndHandlesAClickMadeMeanwhile) {
  TraceRecorder trace;
  modal.answer("いいえ");
  clock.after(10, [this] { form->Command3.postClick(); });
  const auto before = clock.elapsed();
  form->WaitMilliseconds(30);
  EXPECT_EQ(clock.elapsed() - before, 30u);
  EXPECT_GE(trace.find("Form1 Return Command3"), 0) << "the click ran inside the wait";
  EXPECT_EQ(trace.lines().first(), "Form1 Wait 30");
  EXPECT_FALSE(form->ending());
}

TEST_F(WindowTest, NestedWaitRestartsTheSharedStartTime) {
  // An outer wait of 30 ms interrupted at 10 ms by a handler that waits 50 ms returns right after
  // the nested wait: 50 ms have passed since the nested wait began.
  auto start = clock.elapsed();
  clock.after(10, [this] { form->WaitMilliseconds(50); });
  form->WaitMilliseconds(30);
  EXPECT_EQ(clock.elapsed() - start, 60u);
  // An outer wait of 100 ms interrupted at 10 ms by a 20 ms wait measures from the nested start.
  start = clock.elapsed();
  clock.after(10, [this] { form->WaitMilliseconds(20); });
  form->WaitMilliseconds(100);
  EXPECT_EQ(clock.elapsed() - start, 110u);
}

class WrappingClockTest : public WindowTest, public ::testing::WithParamInterface<std::uint32_t> {
 protected:
  void SetUp() override {
    clock = testing_support::VirtualClock(GetParam());
    WindowTest::SetUp();
  }
};

TEST_P(WrappingClockTest, WaitIsExactAcrossTheCounterWrap) {
  const auto start = clock.elapsed();
  form->WaitMilliseconds(30);
  EXPECT_EQ(clock.elapsed() - start, 30u);
  EXPECT_EQ(form->WaitStartTime, static_cast<std::int32_t>(GetParam()));
}

INSTANTIATE_TEST_SUITE_P(AtTwoToThe31And32, WrappingClockTest,
                         ::testing::Values(0x7FFFFFF0u, 0xFFFFFFF0u));

// ---- Laws picture and quit ----

TEST_F(WindowTest, LawsPictureHidesTheBodiesAndLiesOverTheKeptDrawing) {
  form->Image1.setVisible(true);
  form->Image4.setVisible(true);
  const QImage drawingBefore = forms::qt::ImageOf(form->Picture1);
  TraceRecorder trace;
  click(form->Command2);
  EXPECT_EQ(trace.lines().mid(1, 6),
            QStringList({"Image1 Visible False", "Image2 Visible False", "Image3 Visible False",
                         "Image4 Visible False", "Image3 Top 0", "Image3 Left 0"}));
  EXPECT_EQ(trace.lines().mid(7, 2),
            QStringList({"Image3 Picture \"kepler.bmp\"", "Image3 Visible True"}));
  EXPECT_TRUE(form->Image3.isVisible());
  EXPECT_EQ(forms::qt::WidgetOf(form->Image3)->geometry(), QRect(0, 0, 800, 500));
  EXPECT_EQ(forms::qt::ImageOf(form->Picture1), drawingBefore)
      << "the drawing stays under the picture";
  form->Label11.setCaption("10000.");
  const QImage shown = forms::qt::WidgetOf(form->Picture1)->grab().toImage();
  const QImage laws(QStringLiteral("kepler.bmp"));
  for (const QPoint p : {QPoint(50, 12), QPoint(600, 12), QPoint(710, 12)}) {
    EXPECT_EQ(shown.pixel(p), laws.pixel(p)) << "the picture covers the read-outs at " << p.x();
  }
  EXPECT_FALSE(form->Image1.isVisible());
  EXPECT_FALSE(form->ending());
}

TEST_F(WindowTest, QuitAnsweredNoChangesNothing) {
  const QImage drawing = forms::qt::ImageOf(form->Picture1);
  TraceRecorder trace;
  modal.answer("いいえ");
  click(form->Command3);
  EXPECT_EQ(modal.seen(), QStringList({"確　　認|本当に終わりますか？"}));
  EXPECT_EQ(trace.lines(), QStringList({"Form1 Click Command3",
                                        "Form1 MsgBox \"本当に終わりますか？\" 4 \"確　　認\" = 7",
                                        "Form1 Return Command3"}));
  EXPECT_FALSE(form->ending());
  EXPECT_EQ(forms::qt::ImageOf(form->Picture1), drawing);
}

TEST_F(WindowTest, QuitAnsweredYesEndsWithStatusZero) {
  TraceRecorder trace;
  modal.answer("はい");
  click(form->Command3);
  EXPECT_TRUE(form->ending());
  EXPECT_EQ(form->exitCode(), 0);
  EXPECT_EQ(trace.lines().last(), "Form1 End");
  // Nothing runs after the end: a later click is not handled.
  trace.clear();
  click(form->Command2);
  EXPECT_TRUE(trace.lines().isEmpty());
}

TEST_F(WindowTest, ClosingTheWindowEndsTheProgramAndStopsWaiting) {
  clock.after(5, [this] { forms::qt::WidgetOf(form->window())->close(); });
  const auto start = clock.elapsed();
  form->WaitMilliseconds(1000);
  EXPECT_TRUE(form->ending());
  EXPECT_EQ(form->exitCode(), 0);
  EXPECT_EQ(clock.elapsed() - start, 5u) << "the wait stops as soon as the window closes";
}

TEST_F(WindowTest, MissingLawsPictureIsReportedAfterTheBodiesAreHidden) {
  // The error path itself, for every file and fault, is the fault matrix's; here, what the laws
  // button has done by then and the exact line on stderr.
  useEmptyFolder();
  modal.answer("OK");
  testing::internal::CaptureStderr();
  click(form->Command2);
  const std::string err = testing::internal::GetCapturedStderr();
  EXPECT_NE(
      err.find(
          "kepler-laws: 画像ファイル \"kepler.bmp\" を読み込めません: ファイルが見つかりません"),
      std::string::npos);
  EXPECT_TRUE(modal.seen().value(0).contains(QDir::currentPath())) << "the folder searched";
  EXPECT_FALSE(form->Image1.isVisible()) << "the images were hidden before the load failed";
  EXPECT_FALSE(form->Image3.isVisible());
}

// ---- Nothing runs after the end ----

// Answers the next modal box with the Return key and, before the box's event loop returns,
// clicks `button`: a click that reaches the window in the same batch of events as the answer.
// Any later box is answered with Return alone, and counted.
class AnswerTogetherWithAClick {
 public:
  explicit AnswerTogetherWithAClick(forms::CommandButton& button) : button_(button) { later(); }
  int boxes() const { return boxes_; }

 private:
  // A fresh timer each time: a timer does not fire again while its own slot runs, and a second
  // box would open inside that slot.
  void later() {
    QTimer::singleShot(0, &context_, [this] { poll(); });
  }
  void poll() {
    later();
    QWidget* box = QApplication::activeModalWidget();
    if (box == nullptr || box == answered_) return;
    answered_ = box;
    QKeyEvent press(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
    QApplication::sendEvent(box, &press);
    if (++boxes_ == 1) forms::qt::ButtonOf(button_)->click();
  }

  forms::CommandButton& button_;
  QObject context_;
  QWidget* answered_ = nullptr;
  int boxes_ = 0;
};

TEST_F(WindowTest, AClickTogetherWithTheErrorBoxsOkStartsNothing) {
  useEmptyFolder();
  TraceRecorder trace;
  AnswerTogetherWithAClick answer(form->Command1(6));
  testing::internal::CaptureStderr();
  click(form->Command2);
  const QString err = QString::fromStdString(testing::internal::GetCapturedStderr());
  const qsizetype error = trace.lines().indexOf(QRegularExpression("Form1 Error .*"));
  ASSERT_GE(error, 0);
  EXPECT_EQ(trace.lines().mid(error + 1), QStringList({"Form1 End"}));
  EXPECT_EQ(err.split('\n').filter(QRegularExpression("^kepler-laws: ")).size(), 1)
      << err.toStdString();
  EXPECT_EQ(answer.boxes(), 1);
  EXPECT_EQ(form->exitCode(), 1);
}

TEST_F(WindowTest, AClickTogetherWithHaiStartsNothing) {
  TraceRecorder trace;
  AnswerTogetherWithAClick answer(form->Command1(6));
  click(form->Command3);
  EXPECT_EQ(trace.lines(),
            QStringList({"Form1 Click Command3",
                         "Form1 MsgBox \"本当に終わりますか？\" 4 \"確　　認\" = 6", "Form1 End"}));
  EXPECT_EQ(form->exitCode(), 0);
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
    form->Command2.postClick();
    form->Command1(4).postClick();
    form->Command1(5).postClick();
  });
  testing::internal::CaptureStderr();
  click(form->Command1(0));
  testing::internal::GetCapturedStderr();
  const qsizetype error = trace.lines().indexOf(QRegularExpression("Form1 Error .*"));
  ASSERT_GE(error, 0);
  EXPECT_EQ(trace.lines().mid(error + 1), QStringList({"Form1 End"}));
  EXPECT_EQ(trace.starting("Form1 Click").size(), 2) << "Command1(0), then Command2";
}

TEST(SteadyWait, NeverReturnsBeforeTheClockReadsTheDeadline) {
  // On the real clock a wait wakes when the millisecond reading turns over to its deadline; it
  // must never come back a reading early, whatever the phase of the call within a millisecond.
  forms::qt::SteadyClock clock;
  Form1 form(clock);
  for (const int delay : {1, 2, 3, 7}) {
    for (int i = 0; i < 10; ++i) {
      form.WaitMilliseconds(delay);
      ASSERT_GE(forms::ClockDifference(clock.now(), form.WaitStartTime), delay);
    }
  }
}
