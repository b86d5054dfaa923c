// The second law's sectors: areas against the integral of r^2 / 2 and hand cases, polygons
// rasterised to their areas with no pixel shared, and one turn cut into slices of equal time.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <numbers>
#include <numeric>
#include <set>
#include <utility>

#include "core/comet_pacing.h"
#include "core/legacy_number.h"
#include "core/outline_raster.h"
#include "core/swept_sectors.h"

using namespace kepler;

namespace {

constexpr double kPi = std::numbers::pi;

// Simpson's rule on r^2 / 2 over the angle, independent of the closed form.
double Integrated(double a, double e, double from, double to) {
  constexpr int kSteps = 20000;
  const double h = (to - from) / kSteps;
  double sum = 0;
  for (int i = 0; i <= kSteps; ++i) {
    const double r = FocalRadius(a, e, from + i * h);
    sum += (i == 0 || i == kSteps ? 1 : i % 2 ? 4 : 2) * r * r / 2;
  }
  return sum * h / 3;
}

// Adds the spans' pixels to `into` and tells how many the spans held, any held twice counted twice.
std::size_t AddPixels(const std::vector<Span>& spans, std::set<std::pair<int, int>>& into) {
  std::size_t n = 0;
  for (const Span& s : spans) {
    for (int x = s.x0; x < s.x1; ++x, ++n) into.insert({x, s.y});
  }
  return n;
}

}  // namespace

TEST(SweptArea, MatchesTheIntegralAlsoOnACircleAndOverWholeTurns) {
  for (const auto& [a, e] :
       {std::pair{200.0, 0.0}, {200.0, 0.5}, {300.0, 0.967}, {228.53, 0.093}}) {
    for (const auto& [from, to] : {std::pair{0.3, 2.9}, {2.5, 4.0}, {5.9, 6.6}, {-1.0, 0.2}}) {
      EXPECT_NEAR(SweptArea(a, e, from, to), Integrated(a, e, from, to), 1e-7 * EllipseArea(a, e))
          << a << ' ' << e << ' ' << from << ' ' << to;
    }
    // Whole turns, from anywhere.
    EXPECT_NEAR(SweptArea(a, e, 2.0, 2.0 + 4 * kPi), 2 * EllipseArea(a, e), 1e-6);
  }
}

TEST(PolygonSpans, CoverTheAreaAndNeighboursShareNoPixel) {
  std::set<std::pair<int, int>> seen;
  // A 10 x 4 box with corners on pixel centres: the left and top rows are in, the others out.
  EXPECT_EQ(AddPixels(PolygonSpans({{2, 3}, {12, 3}, {12, 7}, {2, 7}}, 100, 100), seen), 40u);
  EXPECT_TRUE(PolygonSpans({{-5e300, 0}, {5e300, 0}, {0, 1e300}}, 10, 10).size() <= 10u);
  // Sectors of the comet's orbit, side by side: each within 2 % of its area (less the thin ones'
  // edge pixels), together a partition of their union.
  const double fx = 350 - 300 * 0.967;
  const double cuts[] = {0.1, 0.6, 2.0, 3.0, 3.14, 3.3, 4.5, 6.0};
  seen.clear();
  for (std::size_t i = 0; i + 1 < std::size(cuts); ++i) {
    const std::size_t before = seen.size();
    const std::size_t pixels = AddPixels(
        PolygonSpans(SectorOutline(fx, 250, 300, 0.967, cuts[i], cuts[i + 1]), 800, 500), seen);
    EXPECT_EQ(seen.size() - before, pixels) << "pixels shared, " << i;
    const double area = SweptArea(300, 0.967, cuts[i], cuts[i + 1]);
    if (area > 2000) {
      EXPECT_NEAR(static_cast<double>(pixels), area, 0.02 * area) << i;
    }
  }
  // Two triangles that share a slanted edge cover exactly the quadrilateral they make.
  std::set<std::pair<int, int>> halves, whole;
  std::size_t both = 0;
  for (const auto& triangle : {std::vector<PlotPoint>{{0.4, 0.2}, {37.3, 5.2}, {11.7, 29.9}},
                               {{37.3, 5.2}, {41.1, 33.3}, {11.7, 29.9}}}) {
    both += AddPixels(PolygonSpans(triangle, 100, 100), halves);
  }
  EXPECT_EQ(halves.size(), both);
  AddPixels(PolygonSpans({{0.4, 0.2}, {37.3, 5.2}, {41.1, 33.3}, {11.7, 29.9}}, 100, 100), whole);
  EXPECT_EQ(whole, halves);
}

TEST(SectorSweep, EqualTimesSweepEqualAreasButForTheWaitsThreeQuartersOfADegreeAheadCometFrom160) {
  // e = 0.5 as the animation plays it: degree k after a wait of its step time x 20, rounded. That
  // wait is the sweep measure from degree k on, half a degree's triangle twice, so it times the
  // degree ahead of the body, about 3/4 degree later than the one the body crosses: slices come
  // out up to 3 % apart. Timed as the waits are, the areas agree within 0.5 %.
  const auto steps = StepTimes(200, 0.5);
  const double turn = PlanetTurnTime(steps, 20);
  for (const double lead : {0.0, 0.75}) {
    SectorSweep sweep(200, 0.5, turn / 12);
    for (int j = 90; j <= 630; ++j) {
      const int k = j > 360 ? j - 360 : j;
      const auto frame =
          sweep.advance(ToInt32(steps[static_cast<std::size_t>(k)] * 20), DegreeAngle(k + lead));
      EXPECT_EQ(frame.freshTurn, j == 451) << j;
    }
    const std::vector<double>& areas = sweep.lastTurnAreas();
    ASSERT_EQ(areas.size(), 12u);
    const auto [least, most] = std::minmax_element(areas.begin(), areas.end());
    EXPECT_LT(*most / *least - 1, lead > 0 ? 0.005 : 0.031) << lead;
    EXPECT_GT(*most / *least - 1, lead > 0 ? 0 : 0.029) << lead;
    EXPECT_NEAR(std::accumulate(areas.begin(), areas.end(), 0.0), EllipseArea(200, 0.5), 1e-6);
  }

  // Days on a circle that a turn does not divide: the last, short slice is no completed one,
  // and the motion past the turn's end opens the next.
  SectorSweep days(150, 0, 30);
  for (int day = 1; day <= 400; ++day) days.advance(1, day * 0.0172002);
  ASSERT_EQ(days.lastTurnAreas().size(), 12u);
  EXPECT_NEAR(days.lastTurnAreas()[0], days.lastTurnAreas()[11], 1e-6);
  EXPECT_EQ(days.completedAreas().size(), 1u);

  // 40210 ms for the whole run, of which the second pass from 160 to 200 (the slow crawl through
  // aphelion, and its medium first frame's 95 ms) lies beyond the turn.
  const auto comet = StepTimes(300, 0.967);
  double second = 0;
  for (int k = 161; k <= 200; ++k) {
    const double s = comet[static_cast<std::size_t>(k)];
    const auto regime = RegimeOf(s);
    second += regime == CometRegime::Slow ? SubFrameCount(s) * FrameWait(regime, s, 1)
                                          : FrameWait(regime, s, 1);
  }
  EXPECT_EQ(CometTurnTime(comet, 1), 40210 - 95 - second);
  EXPECT_EQ(PercentText(8.3349) + " " + PercentText(12.5), "8.33 12.50");
}
