// The tools' shared library: Kepler's equation, calendar date <-> Julian Date, the record text, and
// the positions against the independent VSOP87 theory.
#include "ephemeris.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <numbers>
#include <stdexcept>
#include <tuple>

namespace kepler {
namespace {

constexpr double kPi = std::numbers::pi;

TEST(KeplerEquation, ConvergesUpToHalleysEccentricityAlsoNearZeroAndPi) {
  // Meeus, Astronomical Algorithms, 2nd ed., Example 30.a: e = 0.1, M = 5 deg, E = 5.554589 deg.
  EXPECT_NEAR(SolveKepler(5.0 * kPi / 180.0, 0.1).eccentricAnomaly * 180.0 / kPi, 5.554589, 1e-6);
  // Near 0 and near pi the start value and the derivative 1 - e cos E are at their worst.
  for (double e : {0.0, 0.0934, 0.2056, 0.5, 0.9, 0.967}) {
    for (double m : {0.0, 1e-9, -1e-4, 0.3, 2.0, kPi - 1e-9, kPi, -kPi, 7.5, -40.0}) {
      const KeplerSolution s = SolveKepler(m, e);
      EXPECT_TRUE(s.converged) << "e=" << e << " M=" << m;
      const double residual = s.eccentricAnomaly - e * std::sin(s.eccentricAnomaly) - m;
      EXPECT_LE(std::fabs(residual), kKeplerTolerance) << "e=" << e << " M=" << m;
    }
  }
  // The answer keeps M's revolution.
  EXPECT_NEAR(SolveKepler(2.0 - 20.0 * kPi, 0.967).eccentricAnomaly + 20.0 * kPi,
              SolveKepler(2.0, 0.967).eccentricAnomaly, 1e-12);
  EXPECT_THROW(SolveKepler(1.0, 1.0), std::invalid_argument);
  EXPECT_THROW(SolveKepler(1.0, -0.1), std::invalid_argument);
  EXPECT_THROW(SolveKepler(std::numeric_limits<double>::quiet_NaN(), 0.1), std::invalid_argument);
}

TEST(JulianDate, MatchesJ2000AndMeeusExamplesBothWaysAndRoundTripsToTheMinuteFrom1800To2050) {
  EXPECT_DOUBLE_EQ(JulianDate(CalendarMinute{2000, 1, 1, 12, 0}), kJulianDateJ2000);
  // Meeus, Astronomical Algorithms, 2nd ed., Examples 7.a to 7.c.
  EXPECT_NEAR(JulianDate(1957, 10, 4.81), 2436116.31, 1e-9);  // Sputnik 1
  EXPECT_DOUBLE_EQ(JulianDate(333, 1, 27.5), 1842713.0);      // Julian calendar
  EXPECT_DOUBLE_EQ(JulianDate(1900, 1, 1.0), 2415020.5);      // the century correction
  const CalendarDate sputnik = CalendarDateOf(2436116.31);
  EXPECT_EQ(std::pair(sputnik.year, sputnik.month), std::pair(1957, 10));
  EXPECT_NEAR(sputnik.day, 4.81, 1e-6);
  for (double jd = JulianDate(1800, 1, 1.0); jd < JulianDate(2051, 1, 1.0); jd += 37.25) {
    const CalendarDate date = CalendarDateOf(jd);
    EXPECT_NEAR(JulianDate(date.year, date.month, date.day), jd, 1e-8);
    EXPECT_NEAR(JulianDate(NearestMinute(jd)), jd, 0.5 / 1440.0);
  }
  const double second = 1.0 / 86400.0;
  EXPECT_EQ(NearestMinute(kJulianDateJ2000 + 29 * second), (CalendarMinute{2000, 1, 1, 12, 0}));
  EXPECT_EQ(NearestMinute(kJulianDateJ2000 + 31 * second), (CalendarMinute{2000, 1, 1, 12, 1}));
  // Before MJD 0 (1858-11-17) the minute count is negative.
  EXPECT_EQ(NearestMinute(JulianDate(1800, 1, 1.0) + 0.2), (CalendarMinute{1800, 1, 1, 4, 48}));
  // 2000-02-28 23:59:40 rounds into the leap day.
  EXPECT_EQ(NearestMinute(JulianDate(2000, 2, 29.0) - 20 * second),
            (CalendarMinute{2000, 2, 29, 0, 0}));
}

TEST(ParseInstant, AcceptsRealGregorianDatesOnlyAndFormatRecordWritesFourAndThreeDecimals) {
  EXPECT_EQ(ParseInstant("2026-08-29"), (CalendarMinute{2026, 8, 29, 0, 0}));
  EXPECT_EQ(ParseInstant("2000-02-29T23:59"), (CalendarMinute{2000, 2, 29, 23, 59}));
  for (const char* text :
       {"2026-8-29", "2026-08-29 13:05", "2026-08-29T24:00", "2026-02-30", "1900-02-29",
        "2026-13-01", "+026-08-29", "1500-01-01", "2026-08-29T1305x"}) {
    EXPECT_FALSE(ParseInstant(text).has_value()) << text;
  }
  const CalendarMinute instant{2026, 8, 29, 0, 0};
  EXPECT_EQ(FormatRecord(instant, 123.45671, 201.2344), "\"2026-08-29T00:00\",123.4567,201.234");
  EXPECT_EQ(FormatRecord(instant, 1.0, 0.30919504, 7), "\"2026-08-29T00:00\",1.0000,0.3091950");
  // Longitudes are brought into [0, 360), also after rounding, and never written as -0.
  EXPECT_EQ(FormatRecord(instant, -1.0, 5.0), "\"2026-08-29T00:00\",359.0000,5.000");
  EXPECT_EQ(FormatRecord(instant, 359.99996, 1.0), "\"2026-08-29T00:00\",0.0000,1.000");
  EXPECT_EQ(FormatRecord(instant, -0.0, 1.0), "\"2026-08-29T00:00\",0.0000,1.000");
  EXPECT_THROW(FormatRecord(instant, std::nan(""), 1.0), std::invalid_argument);
}

// Heliocentric rectangular coordinates from VSOP87 version A (P. Bretagnon and G. Francou,
// Astron. Astrophys. 202, 309 (1988)) as printed in vsop87.chk of its distribution: mean ecliptic
// and equinox of J2000, AU, TDB (= TT to 2 ms), at JD 2451545.0, 2415020.0 and 2378495.0
// (2000-01-01, 1899-12-31 and 1799-12-30 at 12:00; the elements still hold two days early).
// JPL's nominal errors for Venus are 20" and 4000 km, for the Earth-Moon barycentre 20" and
// 6000 km; VSOP87A gives the barycentre at J2000 and the Earth itself (within 4700 km of it) for
// 1899.
TEST(Position, EachPlanetWithinItsToleranceOfVsop87) {
  // The planet, the JD, x, y and z [AU], then the tolerances in degrees and AU.
  const std::tuple<Planet, double, double, double, double, double, double> points[] = {
      {Planet::Mercury, 2451545.0, -0.1300934115, -0.4472876716, -0.0245983802, 0.015, 3e-5},
      {Planet::Mercury, 2415020.0, -0.3897246931, -0.1502242199, +0.0236199373, 0.015, 3e-5},
      {Planet::Mercury, 2378495.0, -0.1683565237, +0.2735108157, +0.0378103630, 0.015, 3e-5},
      {Planet::Mars, 2451545.0, +1.3907159264, -0.0134157043, -0.0344677967, 0.03, 5e-4},
      {Planet::Mars, 2415020.0, +0.4284332474, -1.3552354250, -0.0389650205, 0.03, 5e-4},
      {Planet::Mars, 2378495.0, -1.1119219621, -1.0963263014, +0.0049208507, 0.03, 5e-4},
      {Planet::Venus, 2415020.0, +0.6971428331, -0.2033631151, -0.0430201136, 0.01, 1e-4},
      {Planet::Earth, 2451545.0, -0.1771591440, +0.9672192891, -0.0000009536, 0.01, 1e-4},
      {Planet::Earth, 2415020.0, -0.1883079649, +0.9650688844, +0.0002150325, 0.01, 1e-4},
  };
  for (const auto& [planet, jd, x, y, z, degrees, au] : points) {
    SCOPED_TRACE(testing::Message() << static_cast<int>(planet) << " at " << jd);
    const HeliocentricPosition pos = PositionAt(planet, jd);
    const double r = std::sqrt(x * x + y * y + z * z);
    EXPECT_LE(std::fabs(std::remainder(pos.longitude - std::atan2(y, x) * 180.0 / kPi, 360.0)),
              degrees);
    EXPECT_NEAR(pos.latitude, std::asin(z / r) * 180.0 / kPi, degrees);
    EXPECT_NEAR(pos.distance, r, au);
  }
}

}  // namespace
}  // namespace kepler
