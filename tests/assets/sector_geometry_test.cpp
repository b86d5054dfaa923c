// Kepler's equation and the equal-area sectors of the second-law picture.
#include "sector_geometry.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <stdexcept>
#include <vector>

#include "diagram.h"

namespace kepler::assets {
namespace {

constexpr double kPi = std::numbers::pi;

TEST(KeplerEquationForSectors, IsSolvedUpToHalleysEccentricityInAnyRevolution) {
  // E = pi/2, e = 0.5: M = pi/2 - 0.5 sin(pi/2) = pi/2 - 0.5.
  EXPECT_NEAR(SolveKepler(kPi / 2.0 - 0.5, 0.5).eccentricAnomaly, kPi / 2.0, 1e-12);
  for (const double e : {0.0, 0.3, 0.7, 0.9, 0.967}) {
    for (double m = -kPi; m <= kPi + 1e-9; m += kPi / 45.0) {
      for (const double shifted : {m, m + 1e-7, m - 20.0 * kPi}) {
        const KeplerSolution s = SolveKepler(shifted, e);
        EXPECT_TRUE(s.converged) << "e=" << e << " M=" << shifted;
        const double residual = s.eccentricAnomaly - e * std::sin(s.eccentricAnomaly) - shifted;
        EXPECT_LT(std::abs(residual), 1e-11) << "e=" << e << " M=" << shifted;
      }
    }
  }
}

// Shoelace formula for the area of a closed polygon.
double Area(const std::vector<Point>& outline) {
  double twice = 0.0;
  for (std::size_t i = 0; i < outline.size(); ++i) {
    const Point& a = outline[i];
    const Point& b = outline[(i + 1) % outline.size()];
    twice += a.x * b.y - b.x * a.y;
  }
  return std::abs(twice) / 2.0;
}

TEST(SweptSector, EqualTimesSweepEqualAreasAtPerihelionAndAphelion) {
  for (const double e : {kDiagramEccentricity, 0.9}) {
    const Ellipse ellipse{132.0, e};
    // Kepler's second law: the area swept in a mean-anomaly span is (a b / 2) times the span.
    const double expected = 132.0 * ellipse.SemiMinor() / 2.0 * kDiagramSectorSpan;
    for (const double centre : {0.0, kPi, 1.0}) {
      const Sector sector = SweptSector(ellipse, centre, kDiagramSectorSpan, 400);
      EXPECT_NEAR(Area(sector.outline) / expected, 1.0, 0.005) << "e=" << e << " at " << centre;
    }
  }
}

TEST(SectorGeometry, RejectsOpenOrbitsBadSpansAndNonFiniteInput) {
  const Ellipse ok{1.0, 0.5};
  EXPECT_THROW(SolveKepler(1.0, 1.0), std::invalid_argument);
  EXPECT_THROW(SolveKepler(1.0, -0.1), std::invalid_argument);
  EXPECT_THROW(SolveKepler(INFINITY, 0.5), std::invalid_argument);
  EXPECT_THROW(SweptSector(Ellipse{1.0, 1.0}, 0.0, 0.5, 10), std::invalid_argument);
  EXPECT_THROW(SweptSector(ok, 0.0, 0.0, 10), std::invalid_argument);
  EXPECT_THROW(SweptSector(ok, 0.0, 2.0 * kPi, 10), std::invalid_argument);
  EXPECT_THROW(SweptSector(ok, 0.0, 0.5, 1), std::invalid_argument);
}

}  // namespace
}  // namespace kepler::assets
