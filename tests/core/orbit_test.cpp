// The orbit model's figures: sweep measures and the comet's regime boundaries. The step times,
// read-outs, points and waits of each button's run are pinned by the golden traces.
#include <gtest/gtest.h>

#include "core/comet_pacing.h"
#include "core/data_demo.h"
#include "core/orbit.h"

using namespace kepler;

TEST(Sweep, MatchesTheReferenceRadiiAndMeasures) {
  // a, e; radius and sweep measure at perihelion, then at aphelion.
  const std::array<double, 6> cases[] = {
      {200, 0, 200, 348.884465, 200, 348.884465},
      {200, 0.0167, 196.660016, 337.329137, 203.339996, 360.634343},
      {200, 0.5, 100.000169, 87.221709, 299.999620, 784.969101},
      {300, 0.967, 9.900025, 0.854863, 590.078070, 3034.823316}};
  for (const auto& c : cases) {
    const Sweep peri = SweepAt(c[0], c[1], kTurn), aph = SweepAt(c[0], c[1], kHalfTurn);
    const double got[] = {peri.radius, peri.measure, aph.radius, aph.measure};
    for (int i = 0; i < 4; ++i) EXPECT_NEAR(got[i], c[2 + i], 5e-7) << c[1] << ": " << i;
  }
}

// Figures worked out by hand from the formulas (a calculator's sin, cos and floor), so that a
// wrong rule fails with the number rather than only with a golden trace's digest.
TEST(DemonstrationArithmetic, HandCheckedFigures) {
  // e = 0.5: aphelion is (1 + e) / (1 - e) = 3 times as far, its sweep about 9 times the
  // perihelion's; 6.28 for the turn leaves it at 8.9996 once cut to four decimals.
  const std::array<double, 361> steps = StepTimes(200, 0.5);
  EXPECT_EQ((std::array{steps[180], steps[90], steps[360]}), (std::array{8.9996, 2.258, 1.0}));
  EXPECT_EQ(GaugeEnd(SpeedValue(1)), 780);  // 580 + 10000 / 50
  EXPECT_EQ(GaugeEnd(SpeedValue(8.9996)), 580 + 10000 / 8.9996 / 50);

  // The comet's regimes: fast up to 50, slow from 500; fast jumps of 2 down to 25.0001.
  EXPECT_EQ(RegimeOf(50), CometRegime::Fast);
  EXPECT_EQ(RegimeOf(50.0001), CometRegime::Medium);
  EXPECT_EQ(RegimeOf(499.9999), CometRegime::Medium);
  EXPECT_EQ(RegimeOf(500), CometRegime::Slow);
  EXPECT_EQ(FastJump(50), 2) << "the next frame is three degrees on";
  EXPECT_EQ(FastJump(25.0001), 2);
  EXPECT_EQ(FastJump(25), 3);
  EXPECT_EQ(SubFrameCount(500), 3);
  // The comet's waits, ties to even: s, s / 5 and s / 25 per sub-frame.
  EXPECT_EQ(FrameWait(CometRegime::Fast, 2.5, 1), 2);
  EXPECT_EQ(FrameWait(CometRegime::Fast, 12.5, 2), 25);
  EXPECT_EQ(FrameWait(CometRegime::Medium, 100, 1), 20);
  EXPECT_EQ(FrameWait(CometRegime::Medium, 2.5, 1), 0);
  EXPECT_EQ(FrameWait(CometRegime::Slow, 3550, 1), 142);
  EXPECT_EQ(SubFrameCount(3550), 8);  // Int(sqrt(71))
  EXPECT_EQ(FastJump(1), 27);         // Int(25 / 1) + 2
  // Sub-frame 1 of 3 in degree 180 of a = 300, e = 0.967 around (590, 250): 180 1/3 degrees is
  // just past aphelion, r = 589.9459, so x = 590 + 589.9 and y a little above the focus.
  const SubFrame sub = SubFramePosition(180, 1, 3, 300, 0.967, 590, 250);
  EXPECT_NEAR(sub.radius, 589.94591381, 1e-8);
  EXPECT_EQ(std::pair(sub.point.x, sub.point.y), std::pair(1179.9, 247.5));

  // The data demonstrations: Mars's 686 records play again from the first on day 687, Mercury's
  // 439 from the first on frame 440; a record at longitude 90 degrees, 1.5 AU, 100 px an AU lies
  // below the Sun (300, 250), a little left of it since 6.28 falls short of the turn.
  EXPECT_EQ(std::tuple(MarsRow(686), MarsRow(687), MercuryRow(440)), std::tuple(686, 1, 1));
  const PlotPoint mars = RecordPoint(90, 1.5, 100);
  EXPECT_NEAR(mars.x, 299.880551, 1e-6);
  EXPECT_NEAR(mars.y, 399.999952, 1e-6);
  EXPECT_EQ(DayReadOut(687), "　　　　　　　　　　　　 687　日経過");
}
