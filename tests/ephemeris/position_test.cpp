#include <cmath>
#include <numbers>

#include <gtest/gtest.h>

#include "core/ephemeris.h"

namespace kepler {
namespace {

// Heliocentric rectangular coordinates from the VSOP87 theory, version A (P. Bretagnon and
// G. Francou, Astron. Astrophys. 202, 309 (1988)), as printed in the check file vsop87.chk of the
// VSOP87 distribution (Bureau des Longitudes / IMCCE): mean ecliptic and dynamical equinox of
// J2000, AU, instants in TDB (= TT to 2 ms). Three of the file's dates fall in 1800-2050:
// JD 2451545.0 = 2000-01-01T12:00, JD 2415020.0 = 1899-12-31T12:00 and JD 2378495.0 =
// 1799-12-30T12:00, two days before the elements' interval, which they still hold.
struct Vsop87Point {
  double jd;
  double x, y, z;  // [AU]
};

constexpr Vsop87Point kMercury[] = {
    {2451545.0, -0.1300934115, -0.4472876716, -0.0245983802},
    {2415020.0, -0.3897246931, -0.1502242199, +0.0236199373},
    {2378495.0, -0.1683565237, +0.2735108157, +0.0378103630},
};
constexpr Vsop87Point kMars[] = {
    {2451545.0, +1.3907159264, -0.0134157043, -0.0344677967},
    {2415020.0, +0.4284332474, -1.3552354250, -0.0389650205},
    {2378495.0, -1.1119219621, -1.0963263014, +0.0049208507},
};
constexpr Vsop87Point kVenus[] = {
    {2451545.0, -0.7183022797, -0.0326546017, +0.0410142975},
    {2415020.0, +0.6971428331, -0.2033631151, -0.0430201136},
    {2378495.0, -0.5983535208, +0.3958502156, +0.0398238141},
};
// The Earth-Moon barycentre at J2000 (VSOP87A "EMB"); the Earth itself for the older dates,
// which sits at most 4700 km (3e-5 AU, 7") from the barycentre.
constexpr Vsop87Point kEarth[] = {
    {2451545.0, -0.1771591440, +0.9672192891, -0.0000009536},
    {2415020.0, -0.1883079649, +0.9650688844, +0.0002150325},
    {2378495.0, -0.1993918002, +0.9627974368, +0.0004307602},
};

double LongitudeDeg(const Vsop87Point& p) {
  return NormalizeDegrees(std::atan2(p.y, p.x) * 180.0 / std::numbers::pi);
}
double Distance(const Vsop87Point& p) {
  return std::sqrt(p.x * p.x + p.y * p.y + p.z * p.z);
}
double AngleBetween(double a, double b) {
  return std::fabs(std::remainder(a - b, 360.0));
}

template <std::size_t N>
void ExpectWithin(Planet planet, const Vsop87Point (&points)[N], double longitude_deg,
                  double distance_au) {
  for (const Vsop87Point& p : points) {
    const HeliocentricPosition pos = PositionAt(planet, p.jd);
    EXPECT_LE(AngleBetween(pos.longitude, LongitudeDeg(p)), longitude_deg) << "JD " << p.jd;
    EXPECT_NEAR(pos.distance, Distance(p), distance_au) << "JD " << p.jd;
  }
}

TEST(Position, MercuryWithinFifteenThousandthsOfADegreeOfVsop87) {
  ExpectWithin(Planet::kMercury, kMercury, 0.015, 3e-5);
}

TEST(Position, MarsWithinThreeHundredthsOfADegreeOfVsop87) {
  ExpectWithin(Planet::kMars, kMars, 0.03, 5e-4);
  // Latitude at J2000: asin(-0.0344678 / 1.3912077) = -1.4197 deg.
  EXPECT_NEAR(PositionAt(Planet::kMars, kJulianDateJ2000).latitude, -1.4197, 0.01);
}

TEST(Position, VenusAndEarthWithinTheirTableErrorsOfVsop87) {
  // JPL's nominal errors: Venus 20" and 4000 km, EM barycentre 20" and 6000 km.
  ExpectWithin(Planet::kVenus, kVenus, 0.01, 1e-4);
  ExpectWithin(Planet::kEarth, kEarth, 0.01, 1e-4);
}

TEST(Position, PerihelionFrameIsZeroWhereMarsComesClosest) {
  double closest_jd = 0.0;
  double closest = 10.0;
  for (double jd = JulianDate(2026, 6, 1.0); jd < JulianDate(2026, 6, 1.0) + 687.0; jd += 0.25) {
    const double r = PositionAt(Planet::kMars, jd).distance;
    if (r < closest) {
      closest = r;
      closest_jd = jd;
    }
  }
  // Mars moves about 0.6 degree a day near perihelion.
  EXPECT_LE(AngleBetween(LongitudeFromPerihelion(Planet::kMars, closest_jd), 0.0), 0.3);
  // a (1 - e) = 1.5237 x (1 - 0.0934) = 1.3814 AU.
  EXPECT_NEAR(closest, 1.3814, 1e-3);
}

TEST(FirstMidnight, EarthPassesThePerihelionLongitudeOnThatDay) {
  const double from = JulianDate(2026, 6, 1.0);
  for (Planet planet : {Planet::kMercury, Planet::kVenus, Planet::kEarth, Planet::kMars}) {
    const double jd = FirstMidnightEarthReachesPerihelion(planet, from);
    EXPECT_GE(jd, from);
    EXPECT_LT(jd, from + 366.0);
    EXPECT_DOUBLE_EQ(jd + 0.5, std::floor(jd + 0.5));  // a midnight
    const double varpi = ElementsAt(planet, jd).perihelion_longitude;
    const double after = std::remainder(PositionAt(Planet::kEarth, jd).longitude - varpi, 360.0);
    const double before =
        std::remainder(PositionAt(Planet::kEarth, jd - 1.0).longitude - varpi, 360.0);
    EXPECT_GE(after, 0.0);
    EXPECT_LT(after, 1.1);
    EXPECT_LT(before, 0.0);
  }
}

}  // namespace
}  // namespace kepler
