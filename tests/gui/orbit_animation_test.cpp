// The single-orbit demonstrations frame by frame, read off the window at each wait, and what a
// scenario clicked inside one of their waits leaves them to continue with.
#include <cmath>

#include "core/comet_pacing.h"
#include "core/orbit.h"
#include "frame_log.h"

namespace {

struct CometStep {
  int degree;
  bool slow;
  std::int32_t wait;
};

// The tests' reference model of an uninterrupted comet run over degrees 160 to 200 of the next
// turn: the frames and sub-frames it plays, written out here from the pacing rules themselves (not
// through the program's functions), to hold the animation against.
//   s <= 50       fast: one frame waiting s ms, then Int(25 / s) + 2 degrees more are skipped;
//   50 < s < 500  medium: one frame waiting s / 5 ms;
//   s >= 500      slow: Int(sqrt(s / 50)) sub-frames waiting s / 25 ms each.
// Waits are rounded to the nearest integer, ties to even (the default rounding mode).
std::vector<CometStep> PlanCometRun(const std::array<double, 361>& stepTimes) {
  std::vector<CometStep> plan;
  for (int j = 160; j <= 560; ++j) {
    const int degree = j > 360 ? j - 360 : j;
    const double s = stepTimes[static_cast<std::size_t>(degree)];
    const auto wait = static_cast<std::int32_t>(std::nearbyint(s / (s <= 50   ? 1
                                                                    : s < 500 ? 5
                                                                              : 25)));
    const int frames = s >= 500 ? static_cast<int>(std::floor(std::sqrt(s / 50))) : 1;
    for (int k = 0; k < frames; ++k) plan.push_back({degree, s >= 500, wait});
    if (s <= 50) j += static_cast<int>(std::floor(25 / s)) + 2;
  }
  return plan;
}

using OrbitAnimationTest = WindowTest;

// The frame of the clicked demonstration in whose wait a nested demonstration ran: the first that
// is followed by a wait of a deeper run.
std::size_t interrupted(const FrameLog& log) {
  std::size_t outer = 0;
  for (std::size_t i = 0; i + 1 < log.samples.size(); ++i) {
    if (log.samples[i + 1].depth > 1) return outer;
    if (log.samples[i].depth == 1) ++outer;
  }
  return log.samples.size();
}

}  // namespace

TEST_F(OrbitAnimationTest, RunsLastTheirWholeTimeAndTheCometFollowsItsPlan) {
  // Each frame's position and read-out are in the buttons' traces, a run's time as the sum of its
  // waits in lesson_test; here, the comet's frames and waits against a plan made straight from its
  // rules, and the virtual time its run takes.
  const auto start = clock.elapsed();
  FrameLog log(clock, *form);
  click(5);
  const std::vector<Frame> frames = log.frames();
  EXPECT_EQ(clock.elapsed() - start, 40210u);
  const auto plan = PlanCometRun(kepler::StepTimes(300, 0.967));
  ASSERT_EQ(frames.size(), plan.size());
  for (std::size_t f = 0; f < plan.size(); ++f) {
    ASSERT_EQ(frames[f].wait, plan[f].wait) << f;
    if (!plan[f].slow) {
      // The body's picture is 30 px square, placed by its centre on the orbit.
      ASSERT_EQ(frames[f].left, static_cast<float>(form->OrbitTable(plan[f].degree, 1) - 15)) << f;
      ASSERT_EQ(frames[f].top, static_cast<float>(form->OrbitTable(plan[f].degree, 2) - 15)) << f;
    }
  }
  EXPECT_EQ(form->OrbitAngle, 200);
}

// ---- Clicks during a demonstration ----

// A circle clicked inside a wait of the planet (at 1025 ms) or of the comet (at 100 ms: degree 161
// is slow, its first sub-frame wait begins after the 95 ms of degree 160) runs nested, and the
// outer run goes on from what the circle left: OrbitAngle 270, a = 200, e = 0, focus (300, 250).
TEST_F(OrbitAnimationTest, ACircleClickedInsideAWaitRunsNestedAndTheOuterGoesOnWithItsState) {
  for (const auto& [outerButton, delay] : {std::pair{4, 1025u}, std::pair{5, 100u}}) {
    SCOPED_TRACE(outerButton);
    restart();
    FrameLog log(clock, *form);
    clickLater(delay, 0);
    click(outerButton);
    const std::vector<Frame> outer = log.frames(1);
    const std::size_t f = interrupted(log);
    ASSERT_LT(f, outer.size());
    EXPECT_FALSE(form->ending());
    if (outerButton == 4) {
      EXPECT_EQ(outer.size(), 541u) << "the outer run plays all its frames";
      // The interrupted frame shows degree 270 from the circle's tables; the following frames
      // wait by the circle's table and factor: 50 ms each.
      EXPECT_EQ(outer[f].readOut, "10000.");
      EXPECT_EQ(outer[f].left, 300.4f - 15);
      for (std::size_t g = f + 1; g < outer.size(); ++g) ASSERT_EQ(outer[g].wait, 50) << g;
      continue;
    }
    ASSERT_EQ(f, 1u) << "the first sub-frame of degree 161";
    // The interrupted degree's sub-frames interpolate after 270 on the circle.
    const int count = kepler::SubFrameCount(kepler::StepTimes(300, 0.967)[161]);
    for (int k = 1; k <= count; ++k) {
      const auto expected = kepler::SubFramePosition(270, k, count, 200, 0, 300, 250);
      SCOPED_TRACE(k);
      EXPECT_EQ(outer[f + k - 1].left, static_cast<float>(expected.point.x - 15));
      EXPECT_EQ(outer[f + k - 1].top, static_cast<float>(expected.point.y - 15));
    }
  }
}
