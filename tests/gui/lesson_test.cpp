// The lesson controls on the virtual clock: speeds, pause, step, stop and replay change when the
// frames come, never which frames come; the second law's sectors; and the strip's keys on the
// desktop.
#include <QTest>

#include "core/comet_pacing.h"
#include "core/legacy_number.h"
#include "core/swept_sectors.h"
#include "forms/lesson.h"
#include "forms/qt/lesson_strip.h"
#include "window_fixture.h"

using forms::LessonAction;

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
  // The trace of one click; playedMs is how long it took on the platform's clock.
  QStringList play(int button) {
    const std::uint64_t start = clock.elapsed();
    QStringList lines = traceOf(button);
    playedMs = clock.elapsed() - start;
    return lines;
  }
  // The lesson action `action` at `at` ms of platform time from now, inside whichever wait.
  void at(std::uint32_t at, LessonAction action) {
    clock.after(at, [this, action] { lesson.act(action); });
  }
  static QStringList waits(const QStringList& lines) {
    return lines.filter(QRegularExpression("^Form1 Wait "));
  }

  forms::Lesson lesson{lessonClock};
  std::uint64_t playedMs = 0;
};

}  // namespace

TEST_F(LessonTest, EverySpeedPlaysTheSameFramesEachWaitTakingItsDelayOverTheRate) {
  const QStringList normal = play(2);  // Mars: 541 waits, 20411 ms
  ASSERT_EQ(waits(normal).size(), 541);
  double asked = 0;
  for (const QString& line : waits(normal)) asked += line.mid(11).toDouble();
  ASSERT_EQ(static_cast<double>(playedMs), asked);
  const std::pair<int, double> rates[] = {{0, 10}, {1, 4}, {2, 2}, {4, 0.5}};
  for (const auto& [rate, factor] : rates) {
    SCOPED_TRACE(forms::Lesson::RateText(rate));
    lesson.setRateIndex(rate);
    restart();
    EXPECT_EQ(play(2), normal) << "the same frames, the same lines";
    // A wait ends on the first platform millisecond at which lesson time reaches its deadline.
    EXPECT_GE(static_cast<double>(playedMs), asked * factor);
    EXPECT_LE(static_cast<double>(playedMs), asked * factor + (factor < 1 ? 541 : 0));
  }
  // At x1/10 a 3 ms frame of the inner planets takes 30 ms: 54 s in all.
  lesson.setRateIndex(0);
  play(7);
  EXPECT_EQ(playedMs, 54000u);
}

TEST_F(LessonTest, APauseHoldsTheWaitItFallsInAndAddsExactlyItsLength) {
  const QStringList normal = play(5);  // the comet
  restart();
  TraceRecorder trace;
  qsizetype linesAtPause = -1, linesAtResume = -1;
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
  click(5);
  EXPECT_GT(linesAtPause, 0);
  EXPECT_EQ(linesAtResume, linesAtPause) << "nothing happened while paused";
  EXPECT_EQ(clock.elapsed() - start, playedMs + 10000)
      << "the time waited before the pause still counts";
  QStringList paused = trace.lines();
  EXPECT_EQ(paused.removeAll("Lesson Pause") + paused.removeAll("Lesson Resume"), 2);
  EXPECT_EQ(paused, normal);
}

TEST_F(LessonTest, AStepPlaysExactlyOneFrameAndPausesAgain) {
  std::vector<qsizetype> waited;  // at the pause, then a second after each step
  TraceRecorder trace;
  at(5025, LessonAction::PauseOrResume);
  for (std::uint32_t k = 0; k <= 3; ++k) {
    if (k > 0) at(5000 + k * 2000, LessonAction::Step);
    clock.after(6025 + k * 2000, [&] { waited.push_back(waits(trace.lines()).size()); });
  }
  at(20000, LessonAction::PauseOrResume);
  click(0);
  ASSERT_EQ(waited.size(), 4u);
  for (qsizetype k = 1; k <= 3; ++k) EXPECT_EQ(waited[static_cast<std::size_t>(k)], waited[0] + k);
  EXPECT_EQ(trace.lines().filter("Lesson Step").size(), 3);
  EXPECT_EQ(trace.lines().last(), "Form1 Return Command1(0)");
  lesson.act(LessonAction::Step);
  EXPECT_EQ(trace.lines().filter("Lesson Step").size(), 3) << "nothing to step once no wait runs";
}

TEST_F(LessonTest, StopEndsNestedRunsAtTheirNextWaitAndReplayPlaysTheLastOnceFromItsStart) {
  const QStringList fresh = play(2);
  restart();
  // The action, and whether Mars was clicked inside the circle or alone.
  const std::pair<LessonAction, bool> cases[] = {
      {LessonAction::Stop, false}, {LessonAction::Stop, true}, {LessonAction::Replay, true}};
  for (const auto& [action, nested] : cases) {
    const bool stop = action == LessonAction::Stop;
    SCOPED_TRACE(std::string(stop ? "stop" : "replay") + (nested ? ", nested" : ""));
    TraceRecorder trace;
    int deepestAfter = 0;
    if (nested) clickLater(3000, 2);
    clock.after(6000, [&] {
      lesson.act(action);
      clock.onPump = [&] { deepestAfter = std::max(deepestAfter, form->scenarioDepth()); };
    });
    click(nested ? 0 : 2);
    clock.onPump = nullptr;
    const QStringList lines = trace.lines();
    const auto line = lines.indexOf(QRegularExpression("^Lesson (Stop|Replay)$"));
    ASSERT_GE(line, 0);
    // Every handler returns at once, without another wait.
    QStringList returns{"Form1 Return Command1(2)"};
    if (nested) returns << "Form1 Return Command1(0)";
    EXPECT_EQ(lines.mid(line + 1, returns.size()), returns);
    if (stop) {
      EXPECT_EQ(lines.size(), line + 1 + returns.size());
      EXPECT_EQ(play(2), fresh) << "the next click plays from its first frame";
    } else {
      EXPECT_EQ(lines.mid(line + 1 + returns.size()), fresh) << "replayed once, from its start";
      EXPECT_EQ(deepestAfter, 1) << "the replay ran on its own, not nested";
    }
  }
}

TEST_F(LessonTest, KeysOnTheDesktopReachTheLessonAheadOfTheFocusedButton) {
  QTemporaryDir settings;
  qputenv("XDG_CONFIG_HOME", settings.path().toLocal8Bit());
  const forms::qt::LessonStrip strip(form->window(), lesson);
  window()->activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(window()));
  forms::qt::ButtonOf(form->Command1(3))->setFocus();
  // Presses the keys; the focus is then on Command1(focus).
  const auto keys = [&](int focus, std::initializer_list<Qt::Key> codes) {
    for (const Qt::Key code : codes) QTest::keyClick(QApplication::focusWidget(), code);
    EXPECT_EQ(QApplication::focusWidget(), forms::qt::ButtonOf(form->Command1(focus)));
  };
  TraceRecorder trace;
  keys(4, {Qt::Key_Right});  // not paused: the arrow moves the focus as before
  keys(4, {Qt::Key_P, Qt::Key_B, Qt::Key_Period, Qt::Key_Minus, Qt::Key_Plus, Qt::Key_Plus,
           Qt::Key_H, Qt::Key_H});
  EXPECT_EQ(trace.lines(), (QStringList{"Lesson Pause", "Lesson Resume", "Lesson Pause",
                                        "Lesson Rate 0.5", "Lesson Rate 1", "Lesson Rate 2",
                                        "Lesson Strip Hidden", "Lesson Strip Shown"}));
  keys(5, {Qt::Key_PageDown});
  keys(3, {Qt::Key_PageUp, Qt::Key_PageUp});
  qunsetenv("XDG_CONFIG_HOME");
}

TEST_F(LessonTest, SectorsOfEqualTimeSweepEqualAreasShadedUnderTheDrawing) {
  // The slices' areas against each other are swept_sectors_test's, their outlines the golden
  // traces'; here, the pixels: the comet's and the ellipse's.
  // The ellipse and the comet: the button, the orbit's a and e, and the planet's wait factor.
  const std::tuple<int, double, double, int> cases[] = {{4, 200, 0.5, 20}, {5, 300, 0.967, 1}};
  for (const auto& [button, a, e, factor] : cases) {
    SCOPED_TRACE(button);
    const auto steps = kepler::StepTimes(a, e);
    // The first frame shows the body where its turn begins; the turn ends one turn's time later.
    const double shot =
        button == 5 ? kepler::FrameWait(kepler::CometRegime::Medium, steps[160], 1) +
                          kepler::CometTurnTime(steps, 1)
                    : kepler::ToInt32(steps[90] * factor) + kepler::PlanetTurnTime(steps, factor);
    std::vector<double> areas;
    std::vector<std::uint32_t> plain, shaded, late;  // late: turned on 5 s into the demonstration
    for (std::vector<std::uint32_t>* pixels : {&plain, &shaded, &late}) {
      restart();
      if (lesson.sectorsShown() != (pixels == &shaded)) lesson.act(LessonAction::ToggleSectors);
      if (pixels == &late) at(5000, LessonAction::ToggleSectors);
      form->SetSectors(lesson.sectorsShown(), lesson.sectorCount());
      clock.after(static_cast<std::uint32_t>(shot) + 1, [&, pixels] {
        *pixels = form->Picture1.pixels();
        if (pixels == &shaded) areas = form->sectorAreas().at(0);
      });
      click(button);
    }
    EXPECT_EQ(late, shaded) << "turned on late, cut anew from the first frame";
    lesson.act(LessonAction::ToggleSectors);  // off for the next case
    ASSERT_EQ(areas.size(), 12u);
    // Only the background changes, to one of two shades; each shade's pixels are its six slices'
    // area, less what the orbit line and the Sun keep above them.
    std::map<std::uint32_t, int> changed;
    ASSERT_EQ(plain.size(), shaded.size());
    for (std::size_t i = 0; i < plain.size(); ++i) {
      if (plain[i] == shaded[i]) continue;
      ASSERT_EQ(plain[i], plain.front()) << "the drawing stays above the shading at " << i;
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
