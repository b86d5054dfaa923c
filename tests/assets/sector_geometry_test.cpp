// The equal-area sectors of the second-law picture (Kepler's equation is the ephemeris tests').
#include "sector_geometry.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <vector>

#include "diagram.h"

namespace kepler::assets {
namespace {

constexpr double kPi = std::numbers::pi;

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

}  // namespace
}  // namespace kepler::assets
