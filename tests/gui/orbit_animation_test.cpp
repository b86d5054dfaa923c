// The single-orbit demonstrations frame by frame, read off the window at each wait, and what a
// scenario clicked inside one of their waits leaves them to continue with.
#include "comet_reference.h"
#include "core/comet_pacing.h"
#include "core/orbit.h"
#include "frame_log.h"
#include "post_click.h"
#include "window_fixture.h"

using testing_support::FrameLog;
using testing_support::TracedFrame;
using testing_support::WindowTest;

namespace {

class OrbitAnimationTest : public WindowTest {
 protected:
  float placeX(int degree) const { return static_cast<float>(form->OrbitTable(degree, 1) - 15); }
  float placeY(int degree) const { return static_cast<float>(form->OrbitTable(degree, 2) - 15); }
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

TEST_F(OrbitAnimationTest, RunsLastTheirWholeTimeAndTheCometFollowsItsPlan) {
  // Each frame's position and read-out are in the buttons' traces, a run's time as the sum of its
  // waits in lesson_test; here, the comet's frames and waits against a plan made straight from its
  // rules, and the virtual time its run takes.
  const auto start = clock.elapsed();
  FrameLog log(clock, *form);
  click(form->Command1(5));
  const std::vector<TracedFrame> frames = log.frames();
  EXPECT_EQ(clock.elapsed() - start, 40210u);
  const auto plan = testing_support::PlanCometRun(kepler::StepTimes(300, 0.967), 1);
  ASSERT_EQ(frames.size(), plan.size());
  for (std::size_t f = 0; f < plan.size(); ++f) {
    ASSERT_EQ(frames[f].wait, plan[f].wait) << f;
    if (!plan[f].slow) {
      ASSERT_EQ(frames[f].after.left, placeX(plan[f].degree)) << f;
      ASSERT_EQ(frames[f].after.top, placeY(plan[f].degree)) << f;
    }
  }
  EXPECT_EQ(form->OrbitAngle, 200);
}

// ---- Clicks during a demonstration ----

TEST_F(OrbitAnimationTest, PlanetClickedInsideAPlanetWaitRunsNestedAndTheOuterGoesOnWithItsState) {
  FrameLog log(clock, *form);
  clock.after(1025, [this] { testing_support::PostClick(form->Command1(0)); });
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
  clock.after(100, [this] { testing_support::PostClick(form->Command1(0)); });
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
