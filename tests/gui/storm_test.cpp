// A child at the buttons: thousands of clicks at random moments on all ten buttons, nested as deep
// as the program allows, must neither crash nor read outside a table nor end the program, and the
// next demonstration afterwards plays exactly as on a fresh start. And a table index out of range
// is refused without touching anything.
#include <QRandomGenerator>

#include <cstdio>

#include "forms/qt/access.h"
#include "forms/qt/color.h"
#include "post_click.h"
#include "window_fixture.h"

using testing_support::TraceRecorder;
using testing_support::WindowTest;

namespace {

class StormTest : public WindowTest {
 protected:
  void clickLater(std::uint32_t delay, int button) {
    clock.after(delay, [this, button] {
      if (button == 8) {
        testing_support::PostClick(form->Command2);
      } else if (button == 9) {
        modal.answer("いいえ");
        testing_support::PostClick(form->Command3);
      } else {
        testing_support::PostClick(form->Command1(button));
      }
    });
  }
};

}  // namespace

TEST_F(StormTest, ClicksBeyondTheNestingCapAreIgnoredAndLoseNothing) {
  TraceRecorder trace;
  int deepest = 0;
  clock.onPump = [&] { deepest = std::max(deepest, form->scenarioDepth()); };
  // A scenario click every 5 ms: each one lands in the wait of the one before.
  for (int i = 1; i <= Form1::kMaxScenarioNesting + 4; ++i) clickLater(5u * i, i % 2 == 0 ? 0 : 4);
  click(form->Command1(2));
  EXPECT_EQ(deepest, Form1::kMaxScenarioNesting);
  EXPECT_EQ(trace.starting("Form1 Click Command1").size(),
            static_cast<qsizetype>(Form1::kMaxScenarioNesting));
  EXPECT_EQ(trace.starting("Form1 Return Command1").size(),
            static_cast<qsizetype>(Form1::kMaxScenarioNesting));
  EXPECT_EQ(form->scenarioDepth(), 0);
  EXPECT_FALSE(form->ending());
}

TEST_F(StormTest, TwoThousandRandomClicksOnAllTenButtons) {
  const std::uint32_t seed = 20261206;
  std::printf("storm seed %u (replay: change nothing, the run is deterministic)\n", seed);
  QRandomGenerator random(seed);
  for (int i = 0; i < 2000; ++i) {
    clickLater(random.bounded(3'000'000u), static_cast<int>(random.bounded(10u)));
  }
  int deepest = 0;
  clock.onPump = [&] { deepest = std::max(deepest, form->scenarioDepth()); };
  clock.runPending();
  clock.onPump = nullptr;
  EXPECT_FALSE(form->ending()) << "a click made the program fail";
  EXPECT_EQ(form->scenarioDepth(), 0);
  EXPECT_LE(deepest, Form1::kMaxScenarioNesting);
  EXPECT_GE(deepest, 8) << "the storm should have nested demonstrations deeply";
  EXPECT_EQ(modal.pending(), 0) << "every quit box was answered いいえ";

  // Afterwards the comet plays exactly as on a fresh start.
  QStringList comet[2];
  for (QStringList& lines : comet) {
    TraceRecorder trace;
    click(form->Command1(5));
    lines = trace.lines();
    restart();
  }
  EXPECT_EQ(comet[0], comet[1]);
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
