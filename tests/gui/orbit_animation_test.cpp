// The single-orbit demonstrations frame by frame, read back from the trace, and what a scenario
// clicked inside one of their waits leaves them to continue with.
#include "comet_reference.h"
#include "core/legacy_number.h"
#include "core/orbit.h"
#include "forms/trace.h"
#include "frame_log.h"
#include "window_fixture.h"

using testing_support::TracedFrame;
using testing_support::TracedFrames;
using testing_support::TraceRecorder;
using testing_support::WindowTest;

namespace {

class OrbitAnimationTest : public WindowTest {
 protected:
  void press(int index) { click(form->Command1(index)); }
  float placeX(int degree) const { return static_cast<float>(form->OrbitTable(degree, 1) - 15); }
  float placeY(int degree) const { return static_cast<float>(form->OrbitTable(degree, 2) - 15); }
  int planetDegree(std::size_t frame) const {
    const int j = 90 + static_cast<int>(frame);
    return j > 360 ? j - 360 : j;
  }
};

}  // namespace

TEST_F(OrbitAnimationTest, CirclePlaysOneAndAHalfTurnsAtFiftyMillisecondsADegree) {
  TraceRecorder trace;
  const auto start = clock.elapsed();
  press(0);
  EXPECT_EQ(clock.elapsed() - start, 27050u);
  const std::vector<TracedFrame> frames = TracedFrames(trace.lines());
  ASSERT_EQ(frames.size(), 541u);
  for (std::size_t f = 0; f < frames.size(); ++f) {
    SCOPED_TRACE(f);
    ASSERT_EQ(frames[f].wait, 50);
    ASSERT_EQ(frames[f].readOut, "10000.");
    ASSERT_EQ(frames[f].gaugeEnd, 780.0f);
    ASSERT_EQ(frames[f].left, placeX(planetDegree(f)));
    ASSERT_EQ(frames[f].top, placeY(planetDegree(f)));
  }
  EXPECT_EQ(frames[0].left, 299.8f - 15) << "first frame straight below the Sun";
  EXPECT_EQ(frames[270].left, 100.0f - 15) << "frame 271 at perihelion, left of the Sun";
  EXPECT_EQ(frames[540].top, 50.0f - 15) << "last frame straight above the Sun";
  EXPECT_EQ(form->Label7.caption(), "公転速度　");
  EXPECT_EQ(form->OrbitAngle, 270);
}

TEST_F(OrbitAnimationTest, EccentricityHalfWaitsByTheStepTimeTable) {
  TraceRecorder trace;
  const auto start = clock.elapsed();
  press(4);
  EXPECT_EQ(clock.elapsed() - start, 45058u);
  const std::vector<TracedFrame> frames = TracedFrames(trace.lines());
  ASSERT_EQ(frames.size(), 541u);
  for (std::size_t f = 0; f < frames.size(); ++f) {
    const int degree = planetDegree(f);
    ASSERT_EQ(frames[f].wait, kepler::ToInt32(form->StepTimeTable(degree) * 20)) << f;
    ASSERT_EQ(frames[f].left, placeX(degree)) << f;
  }
  const TracedFrame& aphelion = frames[90];  // degree 180
  EXPECT_EQ(aphelion.wait, 180);
  EXPECT_EQ(aphelion.readOut, "1111.2");
  EXPECT_NEAR(aphelion.gaugeEnd, 602.22f, 0.005f);
  EXPECT_EQ(frames[270].readOut, "10000.");
}

TEST_F(OrbitAnimationTest, CometFollowsItsThreeRegimes) {
  TraceRecorder trace;
  const auto start = clock.elapsed();
  press(5);
  EXPECT_EQ(clock.elapsed() - start, 40210u);
  const auto plan = testing_support::PlanCometRun(kepler::StepTimes(300, 0.967), 1);
  const std::vector<TracedFrame> frames = TracedFrames(trace.lines());
  ASSERT_EQ(frames.size(), plan.size());
  for (std::size_t f = 0; f < plan.size(); ++f) {
    ASSERT_EQ(frames[f].wait, plan[f].wait) << f;
    if (plan[f].regime != kepler::CometRegime::Slow) {
      ASSERT_EQ(frames[f].left, placeX(plan[f].degree)) << f;
      ASSERT_EQ(frames[f].top, placeY(plan[f].degree)) << f;
    }
  }
  // The first frame: degree 160, medium.
  EXPECT_EQ(frames[0].wait, 95);
  EXPECT_EQ(frames[0].readOut, "21.1");
  EXPECT_NEAR(frames[0].gaugeEnd, 580.42f, 0.005f);
  // Degree 180: eight sub-frames of 142 ms; the eighth on the table point of degree 181.
  std::vector<std::size_t> at180;
  for (std::size_t f = 0; f < plan.size(); ++f) {
    if (plan[f].degree == 180 && at180.size() < 8) at180.push_back(f);
  }
  ASSERT_EQ(at180.size(), 8u);
  for (const std::size_t f : at180) {
    EXPECT_EQ(frames[f].wait, 142);
    EXPECT_EQ(frames[f].readOut, "2.8");
    EXPECT_EQ(frames[f].gaugeEnd, 582.0f) << "the slow regime's gauge shows at least 100";
  }
  EXPECT_EQ(frames[at180.back()].left, placeX(181));
  EXPECT_EQ(frames[at180.back()].top, placeY(181));
  // Degree 346 jumps to 13; degree 200 shows a whole value with its point.
  for (std::size_t f = 0; f + 1 < plan.size(); ++f) {
    if (plan[f].degree == 346) {
      EXPECT_EQ(frames[f].readOut, "9713.5");
      EXPECT_EQ(frames[f].wait, 1);
      EXPECT_EQ(plan[f + 1].degree, 13);
    }
  }
  EXPECT_EQ(frames.back().readOut, "22.");
  EXPECT_EQ(form->OrbitAngle, 200);
}

// ---- Clicks during a demonstration ----

TEST_F(OrbitAnimationTest, PlanetClickedInsideAPlanetWaitRunsNestedAndTheOuterGoesOnWithItsState) {
  TraceRecorder trace;
  clock.after(1025, [this] { form->Command1(0).postClick(); });
  press(4);
  const QStringList& lines = trace.lines();
  const auto nestedStart = trace.find("Form1 Click Command1(0)");
  const auto nestedEnd = trace.find("Form1 Return Command1(0)");
  ASSERT_GT(nestedStart, 0);
  ASSERT_GT(nestedEnd, nestedStart);
  EXPECT_LT(nestedEnd, trace.find("Form1 Return Command1(4)")) << "nested inside the first run";
  // The interrupted frame shows the degree the nested run left (270), from the nested tables.
  const std::vector<TracedFrame> after = TracedFrames(lines.mid(nestedEnd));
  ASSERT_FALSE(after.empty());
  EXPECT_EQ(lines[nestedEnd + 1], "Label11 Caption \"10000.\"");
  EXPECT_EQ(lines[nestedEnd + 4], QStringLiteral("Image1 Left ") + forms::number(300.4f - 15));
  // The following frames wait by the circle's table and factor: 50 ms each.
  for (const TracedFrame& frame : after) ASSERT_EQ(frame.wait, 50);
  EXPECT_FALSE(form->ending());
}

TEST_F(OrbitAnimationTest, SlowCometSubFramesReadTheAngleAgainAfterANestedRun) {
  // Degree 161 is slow: its first sub-frame wait begins after the 95 ms of degree 160.
  TraceRecorder trace;
  clock.after(100, [this] { form->Command1(0).postClick(); });
  press(5);
  const QStringList& lines = trace.lines();
  const auto nestedEnd = trace.find("Form1 Return Command1(0)");
  ASSERT_GT(nestedEnd, 0);
  // The nested circle left OrbitAngle 270, a = 200, e = 0 and the focus (300, 250): the
  // interrupted degree's remaining sub-frames interpolate after 270 on that circle.
  const int count = kepler::SubFrameCount(kepler::StepTimes(300, 0.967)[161]);
  const QStringList places = lines.mid(nestedEnd).filter(QRegularExpression("^Image1 (Left|Top) "));
  ASSERT_GE(places.size(), 2 * count);
  for (int k = 1; k <= count; ++k) {
    const auto expected = kepler::SubFramePosition(270, k, count, 200, 0, 300, 250);
    SCOPED_TRACE(k);
    EXPECT_EQ(places[2 * k - 2],
              "Image1 Left " + forms::number(static_cast<float>(expected.point.x - 15)));
    EXPECT_EQ(places[2 * k - 1],
              "Image1 Top " + forms::number(static_cast<float>(expected.point.y - 15)));
  }
  EXPECT_FALSE(form->ending());
}

TEST_F(OrbitAnimationTest, DataScenarioInsideAPlanetWaitNeverIndexesOutsideTheTables) {
  TraceRecorder trace;
  clock.after(1025, [this] { form->Command1(7).postClick(); });
  press(0);
  EXPECT_FALSE(form->ending()) << "no table was read out of range";
  const auto nestedEnd = trace.find("Form1 Return Command1(7)");
  ASSERT_GT(nestedEnd, 0);
  // The interrupted frame falls back on its own degree (the 21st frame, degree 110).
  const QStringList& lines = trace.lines();
  ASSERT_TRUE(lines[nestedEnd + 4].startsWith("Image1 Left "));
  EXPECT_EQ(lines[nestedEnd + 4],
            QStringLiteral("Image1 Left ") +
                forms::number(static_cast<float>(form->OrbitTable(110, 1) - 15)));
}
