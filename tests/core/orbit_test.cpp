// The orbit model's figures: sweep measures, step times, table points and the comet's pacing.
#include <gtest/gtest.h>

#include <cmath>
#include <numeric>

#include "comet_reference.h"
#include "core/comet_pacing.h"
#include "core/legacy_number.h"
#include "core/orbit.h"

using namespace kepler;
using testing_support::CometStep;
using testing_support::PlanCometRun;

namespace {

double perihelionSweep(double a, double e) {
  return SweepAt(a, e, kTurn).measure;
}

// Waits of the planet animation's 541 frames: degrees 90..360, then 1..270.
std::int64_t planetRunWait(double e, int factor) {
  const auto table = StepTimes(200, e);
  std::int64_t total = 0;
  for (int j = 90; j <= 630; ++j) total += ToInt32(table[j > 360 ? j - 360 : j] * factor);
  return total;
}

}  // namespace

TEST(Sweep, MatchesTheReferenceRadiiAndMeasures) {
  struct Case {
    double a, e, rPeri, rAph, sPeri, sAph;
  };
  for (const Case c : {Case{200, 0, 200, 200, 348.884465, 348.884465},
                       Case{200, 0.0167, 196.660016, 203.339996, 337.329137, 360.634343},
                       Case{200, 0.5, 100.000169, 299.999620, 87.221709, 784.969101},
                       Case{300, 0.967, 9.900025, 590.078070, 0.854863, 3034.823316}}) {
    SCOPED_TRACE(c.e);
    const Sweep peri = SweepAt(c.a, c.e, kTurn);
    const Sweep aph = SweepAt(c.a, c.e, kHalfTurn);
    EXPECT_NEAR(peri.radius, c.rPeri, 5e-7);
    EXPECT_NEAR(aph.radius, c.rAph, 5e-7);
    EXPECT_NEAR(peri.measure, c.sPeri, 5e-7);
    EXPECT_NEAR(aph.measure, c.sAph, 5e-7);
  }
}

TEST(Sweep, DegreeThreeSixtyIsExactlyThePerihelionAngle) {
  EXPECT_EQ(DegreeAngle(360), kTurn);
  EXPECT_EQ(SweepAt(300, 0.967, DegreeAngle(360)).measure, perihelionSweep(300, 0.967));
}

TEST(Sweep, MeasuresScaleWithTheSquareOfTheAxisAndRatiosDoNot) {
  for (const double e : {0.0167, 0.5}) {
    EXPECT_NEAR(perihelionSweep(300, e) / perihelionSweep(200, e), 2.25, 1e-12);
    EXPECT_NEAR(SweepAt(300, e, 2.0).measure / SweepAt(200, e, 2.0).measure, 2.25, 1e-12);
  }
  const auto a200 = StepTimes(200, 0.5);
  const auto a300 = StepTimes(300, 0.5);
  int differing = 0;
  for (int k = 1; k <= 360; ++k) differing += a200[k] != a300[k];
  EXPECT_LE(differing, 2) << "only a cut at a fourth-decimal boundary may differ";
}

TEST(StepTimes, CircleIsExactlyOneEverywhere) {
  const auto table = StepTimes(200, 0);
  for (int k = 1; k <= 360; ++k) ASSERT_EQ(table[k], 1.0) << k;
  EXPECT_EQ(SweepRatio(SweepAt(200, 0, kHalfTurn).measure, perihelionSweep(200, 0)), 1.0);
}

TEST(StepTimes, EccentricOrbitsAreCutToFourDecimals) {
  const auto comet = StepTimes(300, 0.967);
  EXPECT_EQ(comet[90], 3.8959);
  EXPECT_EQ(comet[180], 3550.0708);
  EXPECT_EQ(comet[270], 3.8544);
  EXPECT_EQ(comet[360], 1.0);
  EXPECT_EQ(comet[160], 474.0261);
  EXPECT_EQ(comet[222], 48.3351);
  EXPECT_EQ(comet[346], 1.0295);
  EXPECT_EQ(StepTimes(200, 0.5)[180], 8.9996);
  EXPECT_EQ(StepTimes(200, 0.0167)[180], 1.069);
}

TEST(StepTimes, ReadOutRatiosAreCutToOneDecimal) {
  const auto ratio = [](double a, double e) {
    return SweepRatio(SweepAt(a, e, kHalfTurn).measure, perihelionSweep(a, e));
  };
  EXPECT_EQ(ratio(200, 0.0167), 1.0) << "1.069 shows as 1, not 1.1";
  EXPECT_EQ(ratio(200, 0.093), 1.4);
  EXPECT_EQ(ratio(200, 0.206), 2.3);
  EXPECT_EQ(ratio(200, 0.5), 8.9);
  EXPECT_EQ(ratio(300, 0.967), 3550.0);
}

TEST(OrbitPoints, AreCutToTenthsAndTheCircleFallsShortOfAFullTurn) {
  const double cometFocus = 350 - 300 * 0.967;
  const struct {
    double a, e, focusX;
    int degree;
    double x, y;  // [px]
  } rows[] = {
      {200, 0, 300, 1, 100, 253.4},
      {200, 0, 300, 90, 299.8, 449.9},
      {200, 0, 300, 180, 499.9, 250.3},
      {200, 0, 300, 270, 300.4, 50},
      {200, 0, 300, 360, 100, 249.3},
      {300, 0.967, cometFocus, 1, 50, 250.1},
      {300, 0.967, cometFocus, 180, 649.9, 250.9},
      {300, 0.967, cometFocus, 360, 50, 249.9},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(testing::Message() << "e " << row.e << " degree " << row.degree);
    const double theta = DegreeAngle(row.degree);
    const PlotPoint point = OrbitPoint(row.focusX, 250, FocalRadius(row.a, row.e, theta), theta);
    EXPECT_EQ(point.x, row.x);
    EXPECT_EQ(point.y, row.y) << "degree 360 is 6.28 rad, short of a full turn";
  }
}

TEST(PlanetRun, WaitsAddUpToTheDocumentedTotals) {
  EXPECT_EQ(planetRunWait(0, 50), 27050);
  EXPECT_EQ(planetRunWait(0.5, 20), 45058);
  EXPECT_EQ(ToInt32(8.9996 * 20), 180);
  EXPECT_EQ(FormatOneDecimal(SpeedValue(8.9996)), "1111.2");
  EXPECT_NEAR(GaugeEnd(SpeedValue(8.9996)), 602.22, 5e-3);
  EXPECT_EQ(GaugeEnd(SpeedValue(1)), 780);
}

TEST(CometRegimes, BoundariesAreFastAtFiftyAndSlowAtFiveHundred) {
  EXPECT_EQ(RegimeOf(50), CometRegime::Fast);
  EXPECT_EQ(RegimeOf(50.0001), CometRegime::Medium);
  EXPECT_EQ(RegimeOf(499.9999), CometRegime::Medium);
  EXPECT_EQ(RegimeOf(500), CometRegime::Slow);
  EXPECT_EQ(FastJump(50), 2) << "the next frame is three degrees on";
  EXPECT_EQ(FastJump(1), 27) << "28 degrees at perihelion";
  EXPECT_EQ(FastJump(25.0001), 2);
  EXPECT_EQ(FastJump(25), 3);
  EXPECT_EQ(SubFrameCount(500), 3);
  EXPECT_EQ(SubFrameCount(3550.0708), 8);
  EXPECT_EQ(FrameWait(CometRegime::Slow, 3550.0708, 1), 142);
  EXPECT_EQ(FrameWait(CometRegime::Medium, 474.0261, 1), 95);
  EXPECT_EQ(FrameWait(CometRegime::Fast, 1.0295, 1), 1);
}

TEST(CometRun, PlaysTheDocumentedFramesAndWaits) {
  const auto plan = PlanCometRun(StepTimes(300, 0.967), 1);
  int frames = 0;
  int subFrames = 0;
  std::int64_t total = 0;
  for (const CometStep& step : plan) {
    (step.regime == CometRegime::Slow ? subFrames : frames) += 1;
    total += step.wait;
  }
  EXPECT_EQ(frames, 77);
  EXPECT_EQ(subFrames, 424);
  EXPECT_EQ(total, 40210);
  EXPECT_EQ(plan.front().degree, 160);
  EXPECT_EQ(plan.front().regime, CometRegime::Medium);
  EXPECT_EQ(plan.front().wait, 95);
  EXPECT_EQ(plan.back().degree, 200);
  EXPECT_EQ(plan.back().regime, CometRegime::Medium);
  int fast = 0;
  int largestJump = 0;
  for (std::size_t i = 0; i + 1 < plan.size(); ++i) {
    if (plan[i].regime == CometRegime::Fast) ++fast;
    const int forward = (plan[i + 1].degree - plan[i].degree + 360) % 360;
    ASSERT_LT(forward, 180) << "never backwards, frame " << i;
    largestJump = std::max(largestJump, forward);
    if (plan[i].degree == 346) {
      EXPECT_EQ(plan[i + 1].degree, 13);
    }
  }
  EXPECT_EQ(fast, 31);
  EXPECT_LE(largestJump, 28) << "through perihelion it leaps up to 28 degrees a frame";
  EXPECT_GE(largestJump, 25);
}

TEST(CometRun, TheLastSubFrameOfADegreeLandsOnTheNextTablePoint) {
  const double focusX = 350 - 300 * 0.967;
  const SubFrame last = SubFramePosition(180, 8, 8, 300, 0.967, focusX, 250);
  const PlotPoint table =
      OrbitPoint(focusX, 250, FocalRadius(300, 0.967, DegreeAngle(181)), DegreeAngle(181));
  EXPECT_EQ(last.point.x, table.x);
  EXPECT_EQ(last.point.y, table.y);
  EXPECT_EQ(FormatOneDecimal(SpeedValue(3550.0708)), "2.8");
  EXPECT_EQ(SlowGaugeSpeed(SpeedValue(3550.0708)), 100);
  EXPECT_EQ(FormatOneDecimal(SpeedValue(StepTimes(300, 0.967)[200])), "22.");
}
