// The single-orbit demonstrations frame by frame, read off the window at each wait, and what a
// scenario clicked inside one of their waits leaves them to continue with.
#include "comet_reference.h"
#include "core/legacy_number.h"
#include "core/orbit.h"
#include "forms/qt/access.h"
#include "forms/qt/colour.h"
#include "frame_log.h"
#include "window_fixture.h"

using testing_support::FrameLog;
using testing_support::TracedFrame;
using testing_support::WindowTest;

namespace {

class OrbitAnimationTest : public WindowTest {
 protected:
  // Plays a demonstration to its end and returns its frames.
  std::vector<TracedFrame> play(int index) {
    FrameLog log(clock, *form);
    click(form->Command1(index));
    return log.outerFrames();
  }
  float placeX(int degree) const { return static_cast<float>(form->OrbitTable(degree, 1) - 15); }
  float placeY(int degree) const { return static_cast<float>(form->OrbitTable(degree, 2) - 15); }
  static int planetDegree(std::size_t frame) {
    const int j = 90 + static_cast<int>(frame);
    return j > 360 ? j - 360 : j;
  }
};

// The frame of `frames` in whose wait a nested demonstration ran: the first that is followed by a
// wait of a deeper run.
std::size_t interrupted(const FrameLog& log) {
  const auto& samples = log.samples();
  std::size_t outer = 0;
  for (std::size_t i = 0; i + 1 < samples.size(); ++i) {
    if (samples[i + 1].depth > 1) return outer;
    if (samples[i].depth == 1) ++outer;
  }
  return samples.size();
}

}  // namespace

TEST_F(OrbitAnimationTest, PlanetsPlayOneAndAHalfTurnsWaitingByTheStepTimeTable) {
  const auto start = clock.elapsed();
  const std::vector<TracedFrame> circle = play(0);
  EXPECT_EQ(clock.elapsed() - start, 27050u);
  ASSERT_EQ(circle.size(), 541u);
  for (std::size_t f = 0; f < circle.size(); ++f) {
    SCOPED_TRACE(f);
    ASSERT_EQ(circle[f].wait, 50);
    ASSERT_EQ(circle[f].after.readOut, "10000.");
    ASSERT_EQ(circle[f].after.gaugeEnd, 780) << "the whole gauge is yellow";
    ASSERT_EQ(circle[f].after.left, placeX(planetDegree(f)));
    ASSERT_EQ(circle[f].after.top, placeY(planetDegree(f)));
  }
  EXPECT_EQ(circle[0].after.left, 299.8f - 15) << "first frame straight below the Sun";
  EXPECT_EQ(circle[540].after.top, 50.0f - 15) << "last frame straight above the Sun";
  EXPECT_EQ(form->Label7.caption(), "公転速度　");
  EXPECT_EQ(form->OrbitAngle, 270);

  const std::vector<TracedFrame> half = play(4);
  ASSERT_EQ(half.size(), 541u);
  for (std::size_t f = 0; f < half.size(); ++f) {
    const int degree = planetDegree(f);
    ASSERT_EQ(half[f].wait, kepler::ToInt32(form->StepTimeTable(degree) * 20)) << f;
    ASSERT_EQ(half[f].after.left, placeX(degree)) << f;
  }
  const TracedFrame& aphelion = half[90];  // degree 180
  EXPECT_EQ(aphelion.wait, 180);
  EXPECT_EQ(aphelion.after.readOut, "1111.2");
  EXPECT_EQ(aphelion.after.gaugeEnd, 602) << "the bar ends at 602.22";
}

TEST_F(OrbitAnimationTest, CometFollowsItsThreeRegimes) {
  const auto start = clock.elapsed();
  FrameLog log(clock, *form);
  click(form->Command1(5));
  const std::vector<TracedFrame> frames = log.frames();
  EXPECT_EQ(clock.elapsed() - start, 40210u);
  const auto plan = testing_support::PlanCometRun(kepler::StepTimes(300, 0.967), 1);
  ASSERT_EQ(frames.size(), plan.size());
  for (std::size_t f = 0; f < plan.size(); ++f) {
    ASSERT_EQ(frames[f].wait, plan[f].wait) << f;
    if (plan[f].regime != kepler::CometRegime::Slow) {
      ASSERT_EQ(frames[f].after.left, placeX(plan[f].degree)) << f;
      ASSERT_EQ(frames[f].after.top, placeY(plan[f].degree)) << f;
    }
  }
  // While degree 180's eight sub-frames wait 142 ms each, the read-out shows its speed and the
  // slow regime's gauge at least 100 (582); the eighth lands on the table point of degree 181.
  std::size_t first180 = 0;
  while (plan[first180].degree != 180) ++first180;
  for (std::size_t f = first180; f < first180 + 8; ++f) {
    const auto& during = log.samples()[f];
    EXPECT_EQ(during.wait, 142);
    EXPECT_EQ(during.shown.readOut, "2.8");
    EXPECT_EQ(during.shown.gaugeEnd, 582);
  }
  EXPECT_EQ(frames[first180 + 7].after.left, placeX(181));
  EXPECT_EQ(frames[first180 + 7].after.top, placeY(181));
  // The last frame, degree 200, medium: a whole value keeps its point, a bar under 1 px is none.
  EXPECT_EQ(frames.back().after.readOut, "22.");
  EXPECT_EQ(frames.back().after.gaugeEnd, 580);
  EXPECT_EQ(form->OrbitAngle, 200);
}

// ---- Clicks during a demonstration ----

TEST_F(OrbitAnimationTest, PlanetClickedInsideAPlanetWaitRunsNestedAndTheOuterGoesOnWithItsState) {
  FrameLog log(clock, *form);
  clock.after(1025, [this] { form->Command1(0).postClick(); });
  click(form->Command1(4));
  const std::vector<TracedFrame> outer = log.outerFrames();
  const std::size_t f = interrupted(log);
  ASSERT_LT(f, outer.size());
  EXPECT_EQ(outer.size(), 541u) << "the outer run plays all its frames";
  // The interrupted frame shows the degree the nested circle left (270), from its tables.
  EXPECT_EQ(outer[f].after.readOut, "10000.");
  EXPECT_EQ(outer[f].after.left, 300.4f - 15);
  // The following frames wait by the circle's table and factor: 50 ms each.
  for (std::size_t g = f + 1; g < outer.size(); ++g) ASSERT_EQ(outer[g].wait, 50) << g;
  EXPECT_FALSE(form->ending());
}

TEST_F(OrbitAnimationTest, SlowCometSubFramesReadTheAngleAgainAfterANestedRun) {
  // Degree 161 is slow: its first sub-frame wait begins after the 95 ms of degree 160.
  FrameLog log(clock, *form);
  clock.after(100, [this] { form->Command1(0).postClick(); });
  click(form->Command1(5));
  const std::vector<TracedFrame> outer = log.outerFrames();
  const std::size_t f = interrupted(log);
  ASSERT_EQ(f, 1u) << "the first sub-frame of degree 161";
  // The nested circle left OrbitAngle 270, a = 200, e = 0 and the focus (300, 250): the
  // interrupted degree's sub-frames interpolate after 270 on that circle.
  const int count = kepler::SubFrameCount(kepler::StepTimes(300, 0.967)[161]);
  for (int k = 1; k <= count; ++k) {
    const auto expected = kepler::SubFramePosition(270, k, count, 200, 0, 300, 250);
    SCOPED_TRACE(k);
    EXPECT_EQ(outer[f + k - 1].after.left, static_cast<float>(expected.point.x - 15));
    EXPECT_EQ(outer[f + k - 1].after.top, static_cast<float>(expected.point.y - 15));
  }
  EXPECT_FALSE(form->ending());
}

TEST_F(OrbitAnimationTest, DataScenarioInsideAPlanetWaitNeverIndexesOutsideTheTables) {
  FrameLog log(clock, *form);
  clock.after(1025, [this] { form->Command1(7).postClick(); });
  click(form->Command1(0));
  EXPECT_FALSE(form->ending()) << "no table was read out of range";
  // The interrupted frame, the 21st (degree 110), falls back on its own degree.
  const std::size_t f = interrupted(log);
  ASSERT_EQ(f, 20u);
  EXPECT_EQ(log.outerFrames()[f].after.left, static_cast<float>(form->OrbitTable(110, 1) - 15));
}
