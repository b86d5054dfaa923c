// The scenario buttons' ratios, and the tables' guard against an index out of range.
#include "window_fixture.h"

using testing_support::TraceRecorder;
using testing_support::WindowTest;

namespace {

const QString kSpeed = QStringLiteral("近日点速度/遠日点速度＝ ");
const QString kDistance = QStringLiteral("遠日点距離/近日点距離＝ ");

class ScenarioTest : public WindowTest {
 protected:
  // Runs a whole scenario; the virtual clock lets it finish at once.
  void press(int index) { click(form->Command1(index)); }
};

}  // namespace

TEST_F(ScenarioTest, EveryRowShowsItsTwoRatios) {
  const struct {
    int index;
    const char* speed;
    const char* distance;
  } rows[] = {{0, " 1", " 1"},   {1, " 1", " 1"},       {2, " 1.4", " 1.21"}, {3, " 2.3", " 1.52"},
              {4, " 8.9", " 3"}, {5, " 3550", " 59.9"}, {6, " 1", " 1"},      {7, " 1", " 1"}};
  for (const auto& row : rows) {
    TraceRecorder trace;
    press(row.index);
    EXPECT_EQ(trace.starting("Label4 Caption").value(0),
              "Label4 Caption \"" + kSpeed + row.speed + "倍\"")
        << row.index;
    EXPECT_EQ(trace.starting("Label5 Caption").value(0),
              "Label5 Caption \"" + kDistance + row.distance + "倍\"")
        << row.index;
    EXPECT_FALSE(form->ending()) << row.index;
  }
}

TEST_F(ScenarioTest, ATableIndexOutOfRangeTouchesNothing) {
  form->StepTimeTable(1) = 2;
  EXPECT_THROW(form->StepTimeTable(361), kepler::RuntimeError);
  EXPECT_THROW(form->OrbitTable(-1, 1), kepler::RuntimeError);
  EXPECT_THROW(form->OrbitTable(1, 3), kepler::RuntimeError);
  EXPECT_THROW(form->LongitudeTable(1001, 1), kepler::RuntimeError);
  EXPECT_EQ(form->StepTimeTable(1), 2);
  EXPECT_EQ(form->OrbitAngle, 0);
}
