// The second law's sectors: areas against the integral of r^2 / 2 and hand cases, polygons
// rasterised to their areas with no pixel shared, and one turn cut into slices of equal time.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <numbers>
#include <set>
#include <utility>

#include "core/comet_pacing.h"
#include "core/legacy_number.h"
#include "core/outline_raster.h"
#include "core/swept_sectors.h"

namespace {

constexpr double kPi = std::numbers::pi;

// Simpson's rule on r^2 / 2 over the angle, independent of the closed form.
double Integrated(double a, double e, double from, double to) {
  constexpr int kSteps = 20000;
  const double h = (to - from) / kSteps;
  double sum = 0;
  for (int i = 0; i <= kSteps; ++i) {
    const double r = kepler::FocalRadius(a, e, from + i * h);
    sum += (i == 0 || i == kSteps ? 1 : i % 2 ? 4 : 2) * r * r / 2;
  }
  return sum * h / 3;
}

std::size_t PixelCount(const std::vector<kepler::Span>& spans) {
  std::size_t n = 0;
  for (const kepler::Span& s : spans) n += static_cast<std::size_t>(s.x1 - s.x0);
  return n;
}

}  // namespace

TEST(SweptArea, MatchesTheIntegralAndTheHandCases) {
  // A circle: a^2 dtheta / 2, so a twelfth of a turn is pi a^2 / 12.
  EXPECT_NEAR(kepler::SweptArea(200, 0, 1, 1 + 2 * kPi / 12), kPi * 200 * 200 / 12, 1e-9);
  // e = 0.5 from perihelion to nu = 90 degrees: E = 2 atan(sqrt(1/3)) = 60 degrees, so the area
  // is (a b / 2)(pi / 3 - 0.5 sin 60 degrees).
  const double b = 200 * std::sqrt(0.75);
  EXPECT_NEAR(kepler::SweptArea(200, 0.5, 0, kPi / 2),
              200 * b / 2 * (kPi / 3 - 0.5 * std::sin(kPi / 3)), 1e-9);
  for (const auto& [a, e] : {std::pair{200.0, 0.5}, {300.0, 0.967}, {228.53, 0.093}}) {
    for (const auto& [from, to] : {std::pair{0.3, 2.9}, {2.5, 4.0}, {5.9, 6.6}, {-1.0, 0.2}}) {
      EXPECT_NEAR(kepler::SweptArea(a, e, from, to), Integrated(a, e, from, to),
                  1e-7 * kepler::EllipseArea(a, e))
          << a << ' ' << e << ' ' << from << ' ' << to;
    }
    // Whole turns, from anywhere.
    EXPECT_NEAR(kepler::SweptArea(a, e, 2.0, 2.0 + 4 * kPi), 2 * kepler::EllipseArea(a, e), 1e-6);
  }
}

TEST(PolygonSpans, CoverTheAreaAndNeighboursShareNoPixel) {
  // A 10 x 4 box with corners on pixel centres: the left and top rows are in, the others out.
  EXPECT_EQ(PixelCount(kepler::PolygonSpans({{2, 3}, {12, 3}, {12, 7}, {2, 7}}, 100, 100)), 40u);
  EXPECT_TRUE(kepler::PolygonSpans({{-5e300, 0}, {5e300, 0}, {0, 1e300}}, 10, 10).size() <= 10u);
  // Sectors of the comet's orbit, side by side: each within 2 % of its area (less the thin ones'
  // edge pixels), together a partition of their union.
  const double fx = 350 - 300 * 0.967;
  const double cuts[] = {0.1, 0.6, 2.0, 3.0, 3.14, 3.3, 4.5, 6.0};
  std::set<std::pair<int, int>> seen;
  for (std::size_t i = 0; i + 1 < std::size(cuts); ++i) {
    const auto spans = kepler::PolygonSpans(
        kepler::SectorOutline(fx, 250, 300, 0.967, cuts[i], cuts[i + 1]), 800, 500);
    const double area = kepler::SweptArea(300, 0.967, cuts[i], cuts[i + 1]);
    if (area > 2000) EXPECT_NEAR(static_cast<double>(PixelCount(spans)), area, 0.02 * area) << i;
    for (const kepler::Span& s : spans) {
      for (int x = s.x0; x < s.x1; ++x)
        EXPECT_TRUE(seen.insert({x, s.y}).second) << x << ' ' << s.y;
    }
  }
  // Two triangles that share a slanted edge cover exactly the quadrilateral they make.
  std::set<std::pair<int, int>> halves;
  const std::vector<kepler::PlotPoint> a{{0.4, 0.2}, {37.3, 5.2}, {11.7, 29.9}};
  const std::vector<kepler::PlotPoint> b{{37.3, 5.2}, {41.1, 33.3}, {11.7, 29.9}};
  std::size_t both = 0;
  for (const auto& triangle : {a, b}) {
    const auto spans = kepler::PolygonSpans(triangle, 100, 100);
    both += PixelCount(spans);
    for (const kepler::Span& s : spans) {
      for (int x = s.x0; x < s.x1; ++x) halves.insert({x, s.y});
    }
  }
  EXPECT_EQ(halves.size(), both);
  EXPECT_EQ(both, PixelCount(kepler::PolygonSpans(
                      {{0.4, 0.2}, {37.3, 5.2}, {41.1, 33.3}, {11.7, 29.9}}, 100, 100)));
}

TEST(SectorSweep, OneTurnOfEqualTimesSweepsEqualAreasButForTheWaitsThreeQuartersOfADegreeAhead) {
  // e = 0.5 as the animation plays it: degree k after a wait of its step time x 20, rounded. That
  // wait is the sweep measure from degree k on, half a degree's triangle twice, so it times the
  // degree ahead of the body, about 3/4 degree later than the one the body crosses: slices come
  // out up to 3 % apart. Timed as the waits are, the areas agree within 0.5 %.
  const auto steps = kepler::StepTimes(200, 0.5);
  const double turn = kepler::PlanetTurnTime(steps, 20);
  for (const double lead : {0.0, 0.75}) {
    kepler::SectorSweep sweep(200, 0.5, turn / 12);
    for (int j = 90; j <= 630; ++j) {
      const int k = j > 360 ? j - 360 : j;
      const auto frame = sweep.advance(kepler::ToInt32(steps[static_cast<std::size_t>(k)] * 20),
                                       kepler::DegreeAngle(k + lead));
      EXPECT_EQ(frame.freshTurn, j == 451) << j;
    }
    const std::vector<double>& areas = sweep.lastTurnAreas();
    ASSERT_EQ(areas.size(), 12u);
    const auto [least, most] = std::minmax_element(areas.begin(), areas.end());
    EXPECT_LT(*most / *least - 1, lead > 0 ? 0.005 : 0.031) << lead;
    EXPECT_GT(*most / *least - 1, lead > 0 ? 0 : 0.029) << lead;
    double sum = 0;
    for (double area : areas) sum += area;
    EXPECT_NEAR(sum, kepler::EllipseArea(200, 0.5), 1e-6);
  }

  // Days on a circle that a turn does not divide: the last, short slice is no completed one,
  // and the motion past the turn's end opens the next.
  kepler::SectorSweep days(150, 0, 30);
  for (int day = 1; day <= 400; ++day) days.advance(1, day * 0.0172002);
  ASSERT_EQ(days.lastTurnAreas().size(), 12u);
  EXPECT_NEAR(days.lastTurnAreas()[0], days.lastTurnAreas()[11], 1e-6);
  EXPECT_EQ(days.completedAreas().size(), 1u);
}

TEST(SectorSweep, TheCometsTurnIsTheTimeOfItsFramesFromDegree160Round) {
  // 40210 ms for the whole run, of which the second pass from 160 to 200 (the slow crawl through
  // aphelion, and its medium first frame's 95 ms) lies beyond the turn.
  const auto steps = kepler::StepTimes(300, 0.967);
  double second = 0;
  for (int k = 161; k <= 200; ++k) {
    const double s = steps[static_cast<std::size_t>(k)];
    const auto regime = kepler::RegimeOf(s);
    second += regime == kepler::CometRegime::Slow
                  ? kepler::SubFrameCount(s) * kepler::FrameWait(regime, s, 1)
                  : kepler::FrameWait(regime, s, 1);
  }
  EXPECT_EQ(kepler::CometTurnTime(steps, 1), 40210 - 95 - second);
  EXPECT_EQ(kepler::PercentText(8.3349), "8.33");
  EXPECT_EQ(kepler::PercentText(12.5), "12.50");
}
