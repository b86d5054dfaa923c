// A child at the buttons: thousands of clicks at random moments on all ten buttons, nested as deep
// as the program allows, must neither crash nor read outside a table nor end the program, and the
// next demonstration afterwards plays exactly as on a fresh start. And a table index out of range
// is refused without touching anything.
#include <QRandomGenerator>

#include "window_fixture.h"

using StormTest = WindowTest;

TEST_F(StormTest, ClicksBeyondTheNestingCapAreIgnoredAndLoseNothing) {
  TraceRecorder trace;
  int deepest = 0;
  clock.onPump = [&] { deepest = std::max(deepest, form->scenarioDepth()); };
  // A scenario click every 5 ms: each one lands in the wait of the one before.
  for (int i = 1; i <= Form1::kMaxScenarioNesting + 4; ++i) clickLater(5u * i, i % 2 == 0 ? 0 : 4);
  click(2);
  EXPECT_EQ(deepest, Form1::kMaxScenarioNesting);
  EXPECT_EQ(trace.starting("Form1 Click Command1").size(), Form1::kMaxScenarioNesting);
  EXPECT_EQ(trace.starting("Form1 Return Command1").size(), Form1::kMaxScenarioNesting);
  EXPECT_EQ(form->scenarioDepth(), 0);
  EXPECT_FALSE(form->ending());
}

TEST_F(StormTest, TwoThousandRandomClicksOnAllTenButtons) {
  QRandomGenerator random(20261206);  // the run is deterministic
  for (int i = 0; i < 2000; ++i) {
    const int b = static_cast<int>(random.bounded(10u));
    clock.after(random.bounded(3'000'000u), [this, b] {
      if (b == 9) modal.answer("いいえ");  // to the quit box
      testing_support::PostClick(button(b));
    });
  }
  int deepest = 0;
  clock.onPump = [&] { deepest = std::max(deepest, form->scenarioDepth()); };
  clock.runPending();
  EXPECT_FALSE(form->ending()) << "a click made the program fail";
  EXPECT_EQ(form->scenarioDepth(), 0);
  EXPECT_LE(deepest, Form1::kMaxScenarioNesting);
  EXPECT_GE(deepest, 8) << "the storm should have nested demonstrations deeply";
  EXPECT_EQ(modal.pending(), 0) << "every quit box was answered いいえ";

  // Afterwards the comet plays exactly as on a fresh start.
  const QStringList comet = traceOf(5);
  restart();
  EXPECT_EQ(traceOf(5), comet);
}

TEST_F(WindowTest, ATableIndexOutOfRangeTouchesNothing) {
  form->StepTimeTable(1) = 2;
  EXPECT_THROW(form->StepTimeTable(361), kepler::RuntimeError);
  EXPECT_THROW(form->OrbitTable(-1, 1), kepler::RuntimeError);
  EXPECT_THROW(form->OrbitTable(1, 3), kepler::RuntimeError);
  EXPECT_THROW(form->LongitudeTable(1001, 1), kepler::RuntimeError);
  EXPECT_EQ(form->StepTimeTable(1), 2);
  EXPECT_EQ(form->OrbitAngle, 0);
}
