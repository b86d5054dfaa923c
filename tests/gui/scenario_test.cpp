// The scenario buttons' set-up: ratios, step-time tables, orbit outline and points, as the
// dispatcher leaves them for the animation.
#include <cmath>

#include "core/orbit.h"
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

TEST_F(ScenarioTest, SetUpRunsInItsOrderBeforeTheAnimation) {
  TraceRecorder trace;
  press(2);
  const QStringList& lines = trace.lines();
  EXPECT_EQ(lines.mid(0, 7),
            QStringList({"Form1 Click Command1(2)", "Picture1 Cls", "Image1 Visible False",
                         "Image2 Visible False", "Image3 Visible False", "Image4 Visible False",
                         "Image1 Picture \"mars01.gif\""}));
  const auto orbit = trace.find("Picture1 Circle 300 250 200 0 0.9956661");
  ASSERT_GE(orbit, 0) << "the black Mars ellipse around (300, 250)";
  EXPECT_LT(trace.find("Label5 Caption \"" + kDistance + " 1.21倍\""), orbit);
  EXPECT_EQ(lines[orbit + 1], "Image1 Visible True");
  EXPECT_EQ(lines[orbit + 2], "Picture1 Circle 281.4 250 0.5 61695 -") << "the Sun at the focus";
  EXPECT_EQ(lines.last(), "Form1 Return Command1(2)");
}

TEST_F(ScenarioTest, StepTimesAndOrbitPointsFillTheTables) {
  press(0);
  for (int k = 1; k <= 360; ++k) ASSERT_EQ(form->StepTimeTable(k), 1.0) << k;
  EXPECT_EQ(form->StepTimeTable(0), 0.0) << "cell 0 stays empty";
  EXPECT_EQ(form->OrbitTable(1, 1), 100);
  EXPECT_EQ(form->OrbitTable(1, 2), 253.4);
  EXPECT_EQ(form->OrbitTable(360, 2), 249.3);
  EXPECT_EQ(form->OrbitTable(0, 1), 0.0);
  press(5);
  EXPECT_EQ(form->StepTimeTable(180), 3550.0708);
  EXPECT_EQ(form->StepTimeTable(90), 3.8959);
  EXPECT_EQ(form->StepTimeTable(270), 3.8544);
  EXPECT_EQ(form->StepTimeTable(360), 1.0);
  EXPECT_EQ(form->OrbitTable(180, 1), 649.9);
  EXPECT_EQ(form->OrbitTable(180, 2), 250.9);
  EXPECT_DOUBLE_EQ(form->FocusX, 350 - 300 * 0.967);
  EXPECT_EQ(form->OrbitAngle, 200) << "the comet's last frame";
  press(1);
  EXPECT_EQ(form->StepTimeTable(180), 1.069);
  EXPECT_EQ(form->OrbitAngle, 270);
}

TEST_F(ScenarioTest, DataScenariosDrawNoOrbitBeforeTheirAnimation) {
  for (const int index : {6, 7}) {
    TraceRecorder trace;
    press(index);
    const auto firstCircle = trace.find(trace.starting("Picture1 Circle").value(0));
    const auto lastTableFill =
        trace.find(index == 6 ? "Image2 Visible True" : "Image4 Visible True");
    EXPECT_GT(firstCircle, lastTableFill) << index;
    EXPECT_EQ(form->StepTimeTable(180), 1.069) << "the Earth's table, as the ratios show";
    EXPECT_EQ(form->OrbitAngle, 361) << "the orbit-point fill leaves it one past the table";
  }
}

TEST_F(ScenarioTest, SameButtonTwiceGivesTheSameLabelsAndTables) {
  press(3);
  const QString speed = form->Label4.caption();
  const auto steps = form->StepTimeTable;
  const auto points = form->OrbitTable;
  press(3);
  EXPECT_EQ(form->Label4.caption(), speed);
  for (int k = 1; k <= 360; ++k) {
    ASSERT_EQ(form->StepTimeTable(k), steps(k));
    ASSERT_EQ(form->OrbitTable(k, 1), points(k, 1));
    ASSERT_EQ(form->OrbitTable(k, 2), points(k, 2));
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
