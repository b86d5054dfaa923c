// The scenario buttons' set-up: ratios, step-time tables, orbit outline and points, as the
// dispatcher leaves them for the animation.
#include <cmath>

#include "core/orbit.h"
#include "forms/qt/access.h"
#include "forms/qt/colour.h"
#include "window/colours.h"
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

TEST_F(ScenarioTest, TablesHoldTheOrbitModelsStepTimesAndPointsOfTheScenarioPressed) {
  // The figures themselves are the core's tests; here, that each button fills the tables from its
  // own orbit, and that the Sun is drawn at the focus the orbit put it.
  const struct {
    int index;
    double a, e, centreX;
  } rows[] = {{0, 200, 0, 300}, {5, 300, 0.967, 350}, {2, 200, 0.093, 300}};
  for (const auto& row : rows) {
    SCOPED_TRACE(row.index);
    press(row.index);
    const auto stepTimes = kepler::StepTimes(row.a, row.e);
    const double focusX = row.centreX - row.a * row.e;
    for (int k = 1; k <= 360; ++k) {
      ASSERT_EQ(form->StepTimeTable(k), stepTimes[k]) << k;
      const double theta = kepler::DegreeAngle(k);
      const kepler::PlotPoint p =
          kepler::OrbitPoint(focusX, 250, kepler::FocalRadius(row.a, row.e, theta), theta);
      ASSERT_EQ(form->OrbitTable(k, 1), p.x) << k;
      ASSERT_EQ(form->OrbitTable(k, 2), p.y) << k;
    }
    EXPECT_EQ(form->StepTimeTable(0), 0.0) << "cell 0 stays empty";
    EXPECT_EQ(form->FocusX, focusX);
    const QRgb sun = forms::qt::ToQRgb(colours::kSun);
    EXPECT_EQ(forms::qt::ImageOf(form->Picture1).pixel(static_cast<int>(std::lround(focusX)), 250),
              sun);
  }
  EXPECT_EQ(form->OrbitAngle, 270) << "the planet's last frame";
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

TEST_F(ScenarioTest, ATableIndexOutOfRangeTouchesNothing) {
  form->StepTimeTable(1) = 2;
  EXPECT_THROW(form->StepTimeTable(361), kepler::RuntimeError);
  EXPECT_THROW(form->OrbitTable(-1, 1), kepler::RuntimeError);
  EXPECT_THROW(form->OrbitTable(1, 3), kepler::RuntimeError);
  EXPECT_THROW(form->LongitudeTable(1001, 1), kepler::RuntimeError);
  EXPECT_EQ(form->StepTimeTable(1), 2);
  EXPECT_EQ(form->OrbitAngle, 0);
}
