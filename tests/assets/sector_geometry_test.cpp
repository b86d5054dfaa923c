#include "sector_geometry.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <stdexcept>
#include <vector>

namespace kepler::assets {
namespace {

constexpr double kPi = std::numbers::pi;

// Shoelace formula for the area of a closed polygon.
double PolygonArea(const std::vector<Point>& outline) {
  double twice = 0.0;
  for (std::size_t i = 0; i < outline.size(); ++i) {
    const Point& a = outline[i];
    const Point& b = outline[(i + 1) % outline.size()];
    twice += a.x * b.y - b.x * a.y;
  }
  return std::abs(twice) / 2.0;
}

double AngleFromSun(const Ellipse& ellipse, Point p) {
  return std::atan2(p.y, p.x - ellipse.SunFocus().x);
}

TEST(KeplerEquationForSectors, CircularOrbitReturnsTheMeanAnomaly) {
  for (const double m : {-3.0, -0.5, 0.0, 1.0, 2.5}) {
    EXPECT_NEAR(SolveKepler(m, 0.0).eccentric_anomaly, m, 1e-15);
  }
}

TEST(KeplerEquationForSectors, QuarterTurnAtHalfEccentricity) {
  // E = pi/2, e = 0.5: M = pi/2 - 0.5 sin(pi/2) = pi/2 - 0.5.
  const KeplerSolution s = SolveKepler(kPi / 2.0 - 0.5, 0.5);
  EXPECT_TRUE(s.converged);
  EXPECT_NEAR(s.eccentric_anomaly, kPi / 2.0, 1e-12);
}

TEST(KeplerEquationForSectors, ResidualIsTinyUpToHalleysEccentricity) {
  for (const double e : {0.0, 0.1, 0.3, 0.5, 0.7, 0.9, 0.95, 0.967}) {
    for (double m = -kPi; m <= kPi + 1e-9; m += kPi / 90.0) {
      for (const double shifted : {m, m + 1e-7, m + 20.0 * kPi}) {
        const KeplerSolution s = SolveKepler(shifted, e);
        ASSERT_TRUE(s.converged) << "e=" << e << " M=" << shifted;
        EXPECT_LE(s.iterations, kKeplerMaxIterations);
        const double residual = s.eccentric_anomaly - e * std::sin(s.eccentric_anomaly) - shifted;
        EXPECT_LT(std::abs(residual), 1e-11) << "e=" << e << " M=" << shifted;
      }
    }
  }
}

TEST(KeplerEquationForSectors, StaysInTheSameRevolution) {
  const double once = SolveKepler(1.2, 0.6).eccentric_anomaly;
  EXPECT_NEAR(SolveKepler(1.2 + 2.0 * kPi, 0.6).eccentric_anomaly, once + 2.0 * kPi, 1e-12);
  EXPECT_NEAR(SolveKepler(1.2 - 4.0 * kPi, 0.6).eccentric_anomaly, once - 4.0 * kPi, 1e-12);
}

TEST(KeplerEquationForSectors, RejectsOpenOrbitsAndNonFiniteInput) {
  EXPECT_THROW(SolveKepler(1.0, 1.0), std::invalid_argument);
  EXPECT_THROW(SolveKepler(1.0, -0.1), std::invalid_argument);
  EXPECT_THROW(SolveKepler(1.0, std::nan("")), std::invalid_argument);
  EXPECT_THROW(SolveKepler(INFINITY, 0.5), std::invalid_argument);
}

TEST(SweptSector, EqualTimesSweepEqualAreas) {
  for (const double e : {0.2, 0.5, 0.9}) {
    const Ellipse ellipse{132.0, e};
    const double span = 2.0 * kPi / 16.0;
    // Kepler's second law: the area swept in a time span is (a b / 2) times the mean-anomaly span.
    const double expected = 132.0 * ellipse.SemiMinor() / 2.0 * span;
    for (const double centre : {0.0, kPi, 1.0, 4.0}) {
      const double area = PolygonArea(SweptSector(ellipse, centre, span, 400).outline);
      EXPECT_NEAR(area / expected, 1.0, 0.005) << "e=" << e << " centre=" << centre;
    }
  }
}

TEST(SweptSector, PerihelionFanIsNineTimesWiderAtHalfEccentricity) {
  // Angular speed goes as 1/r^2, so the fans' angles compare as (r_aphelion / r_perihelion)^2 =
  // ((1 + e) / (1 - e))^2 = 9 for e = 0.5 and a short span.
  const Ellipse ellipse{1.0, 0.5};
  const Sector near_sun = SweptSector(ellipse, 0.0, 0.001, 2);
  const Sector far_away = SweptSector(ellipse, kPi, 0.001, 2);
  const double near_angle =
      AngleFromSun(ellipse, near_sun.outline[2]) - AngleFromSun(ellipse, near_sun.outline[1]);
  const double far_angle = std::remainder(
      AngleFromSun(ellipse, far_away.outline[2]) - AngleFromSun(ellipse, far_away.outline[1]),
      2.0 * kPi);
  EXPECT_GT(far_angle, 0.0);
  EXPECT_NEAR(near_angle / far_angle, 9.0, 0.01);
}

TEST(SweptSector, OutlineRunsFromTheSunAlongTheOrbit) {
  const Ellipse ellipse{2.0, 0.6};  // b = 1.6, Sun focus at (1.2, 0)
  const Sector s = SweptSector(ellipse, 0.3, 0.5, 5);
  ASSERT_EQ(s.outline.size(), 6u);
  EXPECT_DOUBLE_EQ(s.outline[0].x, 1.2);
  EXPECT_DOUBLE_EQ(s.outline[0].y, 0.0);
  for (std::size_t i = 1; i < s.outline.size(); ++i) {
    const Point p = s.outline[i];
    EXPECT_NEAR(p.x * p.x / 4.0 + p.y * p.y / 2.56, 1.0, 1e-12);
  }
  EXPECT_LT(s.start_anomaly, s.end_anomaly);
}

TEST(SweptSector, RejectsBadSpansOrbitsAndPointCounts) {
  const Ellipse ok{1.0, 0.5};
  EXPECT_THROW(SweptSector(ok, 0.0, 0.0, 10), std::invalid_argument);
  EXPECT_THROW(SweptSector(ok, 0.0, 2.0 * kPi, 10), std::invalid_argument);
  EXPECT_THROW(SweptSector(ok, 0.0, 0.5, 1), std::invalid_argument);
  EXPECT_THROW(SweptSector(Ellipse{0.0, 0.5}, 0.0, 0.5, 10), std::invalid_argument);
  EXPECT_THROW(SweptSector(Ellipse{1.0, 1.0}, 0.0, 0.5, 10), std::invalid_argument);
}

}  // namespace
}  // namespace kepler::assets
