// The lesson controls on the virtual clock: speeds, pause, step, stop and replay change when the
// frames come, never which frames come; the second law's sectors; and the strip's keys on the
// desktop.
#include <QApplication>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

#include "core/comet_pacing.h"
#include "core/legacy_number.h"
#include "core/swept_sectors.h"
#include "forms/lesson.h"
#include "forms/qt/lesson_strip.h"
#include "post_click.h"
#include "window_fixture.h"

using forms::LessonAction;
using testing_support::TraceRecorder;
using testing_support::WindowTest;

namespace {

class LessonTest : public WindowTest {
 protected:
  void SetUp() override {
    WindowTest::SetUp();
    lesson.stopDemonstrations = [this] { form->StopDemonstrations(); };
    lesson.replayDemonstration = [this] { form->ReplayDemonstration(); };
    lesson.sectorsChanged = [this] {
      form->SetSectors(lesson.sectorsShown(), lesson.sectorCount());
    };
    form->showAreas = [this](const std::string& text) { lesson.setAreaText(text); };
  }
  // The trace of one click, and how long it took on the platform's clock [ms].
  QStringList play(int button, std::uint64_t* elapsed = nullptr) {
    TraceRecorder trace;
    const std::uint64_t start = clock.elapsed();
    click(form->Command1(button));
    if (elapsed) *elapsed = clock.elapsed() - start;
    return trace.lines();
  }
  // The lesson action `action` at `at` ms of platform time from now, inside whichever wait.
  void at(std::uint32_t at, LessonAction action) {
    clock.after(at, [this, action] { lesson.act(action); });
  }
  static int waits(const QStringList& lines) {
    return static_cast<int>(lines.filter(QRegularExpression("^Form1 Wait ")).size());
  }
  static double askedMs(const QStringList& lines) {
    double sum = 0;
    for (const QString& line : lines.filter(QRegularExpression("^Form1 Wait ")))
      sum += line.mid(11).toDouble();
    return sum;
  }

  forms::Lesson lesson{lessonClock};
};

}  // namespace

TEST_F(LessonTest, EverySpeedPlaysTheSameFramesEachWaitTakingItsDelayOverTheRate) {
  std::uint64_t normalMs = 0;
  const QStringList normal = play(2, &normalMs);  // Mars: 541 waits, 20411 ms
  ASSERT_EQ(waits(normal), 541);
  const double asked = askedMs(normal);
  ASSERT_EQ(static_cast<double>(normalMs), asked);
  const struct {
    int rate;
    double factor;
  } rates[] = {{0, 10}, {1, 4}, {2, 2}, {4, 0.5}};
  for (const auto& r : rates) {
    SCOPED_TRACE(forms::Lesson::RateText(r.rate));
    lesson.setRateIndex(r.rate);
    restart();
    std::uint64_t elapsed = 0;
    EXPECT_EQ(play(2, &elapsed), normal) << "the same frames, the same lines";
    // A wait ends on the first platform millisecond at which lesson time reaches its deadline.
    EXPECT_GE(static_cast<double>(elapsed), asked * r.factor);
    EXPECT_LE(static_cast<double>(elapsed), asked * r.factor + (r.factor < 1 ? 541 : 0));
  }
  // At x1/10 a 3 ms frame of the inner planets takes 30 ms: 54 s in all.
  lesson.setRateIndex(0);
  std::uint64_t inner = 0;
  play(7, &inner);
  EXPECT_EQ(inner, 54000u);
}

TEST_F(LessonTest, APauseHoldsTheWaitItFallsInAndAddsExactlyItsLength) {
  std::uint64_t normalMs = 0;
  const QStringList normal = play(5, &normalMs);  // the comet
  restart();
  TraceRecorder trace;
  qsizetype linesAtPause = -1;
  qsizetype linesAtResume = -1;
  // 10 s of pause from 12,345 ms, well inside some wait.
  clock.after(12345, [&] {
    lesson.act(LessonAction::PauseOrResume);
    linesAtPause = trace.lines().size();
  });
  clock.after(22345, [&] {
    linesAtResume = trace.lines().size();
    lesson.act(LessonAction::PauseOrResume);
  });
  const std::uint64_t start = clock.elapsed();
  click(form->Command1(5));
  EXPECT_GT(linesAtPause, 0);
  EXPECT_EQ(linesAtResume, linesAtPause) << "nothing happened while paused";
  EXPECT_EQ(clock.elapsed() - start, normalMs + 10000)
      << "the time waited before the pause still counts";
  QStringList paused = trace.lines();
  EXPECT_EQ(paused.removeAll("Lesson Pause") + paused.removeAll("Lesson Resume"), 2);
  EXPECT_EQ(paused, normal);
}

TEST_F(LessonTest, AStepPlaysExactlyOneFrameAndPausesAgain) {
  int pausedAt = -1;
  std::vector<int> afterSteps;
  TraceRecorder trace;
  clock.after(5025, [&] {
    lesson.act(LessonAction::PauseOrResume);
    pausedAt = waits(trace.lines());
  });
  for (std::uint32_t k = 1; k <= 3; ++k) {
    clock.after(5000 + k * 2000, [&] {
      lesson.act(LessonAction::Step);
      afterSteps.push_back(-1);  // the count is taken at the next action
    });
    clock.after(5000 + k * 2000 + 1000, [&] { afterSteps.back() = waits(trace.lines()); });
  }
  at(20000, LessonAction::PauseOrResume);
  click(form->Command1(0));
  ASSERT_EQ(afterSteps.size(), 3u);
  EXPECT_EQ(afterSteps, (std::vector<int>{pausedAt + 1, pausedAt + 2, pausedAt + 3}));
  EXPECT_EQ(trace.lines().filter("Lesson Step").size(), 3);
  EXPECT_EQ(trace.lines().last(), "Form1 Return Command1(0)");
  lesson.act(LessonAction::Step);
  EXPECT_EQ(trace.lines().filter("Lesson Step").size(), 3) << "nothing to step once no wait runs";
}

TEST_F(LessonTest, StopEndsNestedRunsAtTheirNextWaitAndReplayPlaysTheLastOnceFromItsStart) {
  const QStringList fresh = play(2);
  restart();
  const struct {
    LessonAction action;
    bool nested;  // Mars clicked inside the circle, or Mars alone
  } cases[] = {
      {LessonAction::Stop, false}, {LessonAction::Stop, true}, {LessonAction::Replay, true}};
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.action == LessonAction::Stop ? "stop" : "replay") +
                 (c.nested ? ", nested" : ""));
    TraceRecorder trace;
    bool acted = false;
    int deepestAfter = 0;
    if (c.nested) clock.after(3000, [this] { testing_support::PostClick(form->Command1(2)); });
    clock.after(6000, [&] {
      lesson.act(c.action);
      acted = true;
    });
    clock.onPump = [&] {
      if (acted) deepestAfter = std::max(deepestAfter, form->scenarioDepth());
    };
    click(form->Command1(c.nested ? 0 : 2));
    clock.onPump = nullptr;
    const QStringList lines = trace.lines();
    const auto line = lines.indexOf(QRegularExpression("^Lesson (Stop|Replay)$"));
    ASSERT_GE(line, 0);
    // Every handler returns at once, without another wait.
    const QStringList returns =
        c.nested ? QStringList{"Form1 Return Command1(2)", "Form1 Return Command1(0)"}
                 : QStringList{"Form1 Return Command1(2)"};
    EXPECT_EQ(lines.mid(line + 1, returns.size()), returns);
    const auto after = line + 1 + returns.size();
    if (c.action == LessonAction::Stop) {
      EXPECT_EQ(lines.size(), after);
      EXPECT_EQ(play(2), fresh) << "the next click plays from its first frame";
    } else {
      EXPECT_EQ(lines.mid(after), fresh) << "replayed once, from its first frame";
      EXPECT_EQ(deepestAfter, 1) << "the replay ran on its own, not nested";
    }
  }
}

TEST_F(LessonTest, KeysOnTheDesktopReachTheLessonAheadOfTheFocusedButton) {
  QTemporaryDir settings;
  qputenv("XDG_CONFIG_HOME", settings.path().toLocal8Bit());
  const forms::qt::LessonStrip strip(form->window(), lesson);
  QWidget* window = forms::qt::WidgetOf(form->window());
  window->activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(window));
  forms::qt::ButtonOf(form->Command1(3))->setFocus();
  const auto key = [](Qt::Key code) {
    ASSERT_NE(QApplication::focusWidget(), nullptr);
    QTest::keyClick(QApplication::focusWidget(), code);
  };
  TraceRecorder trace;
  key(Qt::Key_Right);
  EXPECT_EQ(QApplication::focusWidget(), forms::qt::ButtonOf(form->Command1(4)))
      << "not paused: the arrow moves the focus as before";
  for (const Qt::Key code : {Qt::Key_P, Qt::Key_B, Qt::Key_Period, Qt::Key_Minus, Qt::Key_Plus,
                             Qt::Key_Plus, Qt::Key_H, Qt::Key_H})
    key(code);
  EXPECT_EQ(trace.lines(), (QStringList{"Lesson Pause", "Lesson Resume", "Lesson Pause",
                                        "Lesson Rate 0.5", "Lesson Rate 1", "Lesson Rate 2",
                                        "Lesson Strip Hidden", "Lesson Strip Shown"}));
  key(Qt::Key_PageDown);
  EXPECT_EQ(QApplication::focusWidget(), forms::qt::ButtonOf(form->Command1(5)));
  for (const Qt::Key code : {Qt::Key_PageUp, Qt::Key_PageUp}) key(code);
  EXPECT_EQ(QApplication::focusWidget(), forms::qt::ButtonOf(form->Command1(3)));
  qunsetenv("XDG_CONFIG_HOME");
}

TEST_F(LessonTest, SectorsOfEqualTimeSweepEqualAreasShadedUnderTheDrawing) {
  // The slices' areas against each other are swept_sectors_test's, their outlines the golden
  // traces'; here, the pixels: the comet's and the ellipse's.
  const struct {
    int button;
    double a, e;
    int factor;
  } cases[] = {{4, 200, 0.5, 20}, {5, 300, 0.967, 1}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.button);
    const auto steps = kepler::StepTimes(c.a, c.e);
    // The first frame shows the body where its turn begins; the turn ends one turn's time later.
    const double first = c.button == 5
                             ? kepler::FrameWait(kepler::CometRegime::Medium, steps[160], 1)
                             : kepler::ToInt32(steps[90] * c.factor);
    const double turn =
        c.button == 5 ? kepler::CometTurnTime(steps, 1) : kepler::PlanetTurnTime(steps, c.factor);
    std::vector<double> areas;
    std::vector<std::uint32_t> plain;
    std::vector<std::uint32_t> shaded;
    std::vector<std::uint32_t> late;  // turned on 5 s into the demonstration
    for (std::vector<std::uint32_t>* shot : {&plain, &shaded, &late}) {
      restart();
      if (lesson.sectorsShown()) lesson.act(LessonAction::ToggleSectors);
      if (shot == &shaded) lesson.act(LessonAction::ToggleSectors);
      if (shot == &late) at(5000, LessonAction::ToggleSectors);
      form->SetSectors(lesson.sectorsShown(), lesson.sectorCount());
      clock.after(static_cast<std::uint32_t>(first + turn) + 1, [&, shot] {
        *shot = form->Picture1.pixels();
        if (shot == &shaded) areas = form->sectorAreas().at(0);
      });
      click(form->Command1(c.button));
    }
    EXPECT_EQ(late, shaded) << "turned on late, cut anew from the first frame";
    lesson.act(LessonAction::ToggleSectors);  // off for the next case
    ASSERT_EQ(areas.size(), 12u);
    // Only the background changes, to one of two shades; each shade's pixels are its six slices'
    // area, less what the orbit line and the Sun keep above them.
    const std::uint32_t back = plain.front();
    std::map<std::uint32_t, int> changed;
    ASSERT_EQ(plain.size(), shaded.size());
    for (std::size_t i = 0; i < plain.size(); ++i) {
      if (plain[i] == shaded[i]) continue;
      ASSERT_EQ(plain[i], back) << "the drawing stays above the shading at " << i;
      ++changed[shaded[i]];
    }
    ASSERT_EQ(changed.size(), 2u);
    for (int parity = 0; parity < 2; ++parity) {
      double expected = 0;
      for (std::size_t k = static_cast<std::size_t>(parity); k < 12; k += 2) expected += areas[k];
      bool matched = false;
      for (const auto& [rgb, n] : changed) matched |= std::abs(n - expected) < 0.02 * expected;
      EXPECT_TRUE(matched) << "slices of parity " << parity << ": " << expected << " px^2";
    }
  }
}
