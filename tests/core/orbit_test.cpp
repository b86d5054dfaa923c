// The orbit model's figures: sweep measures and the comet's regime boundaries. The step times,
// read-outs, points and waits of each button's run are pinned by the golden traces.
#include <gtest/gtest.h>

#include "core/comet_pacing.h"
#include "core/orbit.h"

using namespace kepler;

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

TEST(CometRegimes, BoundariesAreFastAtFiftyAndSlowAtFiveHundred) {
  EXPECT_EQ(RegimeOf(50), CometRegime::Fast);
  EXPECT_EQ(RegimeOf(50.0001), CometRegime::Medium);
  EXPECT_EQ(RegimeOf(499.9999), CometRegime::Medium);
  EXPECT_EQ(RegimeOf(500), CometRegime::Slow);
  EXPECT_EQ(FastJump(50), 2) << "the next frame is three degrees on";
  EXPECT_EQ(FastJump(25.0001), 2);
  EXPECT_EQ(FastJump(25), 3);
  EXPECT_EQ(SubFrameCount(500), 3);
}
