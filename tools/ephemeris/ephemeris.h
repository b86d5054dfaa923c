#pragma once
// Heliocentric positions of Mercury, Venus, the Earth-Moon barycentre and Mars from JPL's mean
// Keplerian elements (valid 1800-2050), calendar date <-> Julian Date, and the
// text record of one position as the planet files hold it. Pure functions: no files, no toolkit;
// the kepler-data tool decides what to compute and where to write it.

#include <optional>
#include <string>
#include <string_view>

#include "kepler_equation.h"

namespace kepler {

enum class Planet { Mercury, Venus, Earth, Mars };

// The six elements of one planet at one instant, mean ecliptic and equinox of J2000.
struct KeplerianElements {
  double semiMajorAxis;        // a [AU]
  double eccentricity;         // e
  double inclination;          // I [deg]
  double meanLongitude;        // L [deg]
  double perihelionLongitude;  // varpi, longitude of perihelion [deg]
  double nodeLongitude;        // Omega, longitude of the ascending node [deg]
};

// Elements at the Julian Date jdTt (TT; the tables' TDB differs by < 2 ms): base value plus
// rate times Julian centuries from J2000. Meaningful for 1800-2050, computed for any date.
KeplerianElements ElementsAt(Planet planet, double jdTt);

struct HeliocentricPosition {
  double longitude;  // ecliptic longitude lambda [deg], in [0, 360)
  double latitude;   // ecliptic latitude beta [deg]
  double distance;   // from the Sun [AU]
};

// Position on the mean ecliptic and equinox of J2000 at jdTt. Throws std::runtime_error if
// Kepler's equation does not converge (it does for every planet here).
HeliocentricPosition PositionAt(Planet planet, double jdTt);

// Longitude reckoned from the planet's own longitude of perihelion at the same instant,
// lambda - varpi, in [0, 360) [deg]: 0 at perihelion.
double LongitudeFromPerihelion(Planet planet, double jdTt);

// An angle brought into [0, 360) [deg]; never -0.
double NormalizeDegrees(double degrees);

inline constexpr double kJulianDateJ2000 = 2451545.0;  // 2000-01-01T12:00 TT

// Julian Date of a calendar date whose day may carry a fraction (Meeus, Astronomical Algorithms,
// 2nd ed., ch. 7): Gregorian calendar from 1582 October 15, Julian calendar before.
double JulianDate(int year, int month, double day);

struct CalendarDate {
  int year;
  int month;
  double day;  // with the fraction of the day
};

// The inverse (Meeus ch. 7), for jd >= 0 (throws std::invalid_argument otherwise).
CalendarDate CalendarDateOf(double jd);

// A calendar instant to the minute, Gregorian calendar.
struct CalendarMinute {
  int year;
  int month;
  int day;
  int hour;
  int minute;
  friend bool operator==(const CalendarMinute&, const CalendarMinute&) = default;
};

double JulianDate(const CalendarMinute& instant);

// The instant nearest to jd (half a minute rounds up), for jd >= 2299160.5 (1582-10-15).
CalendarMinute NearestMinute(double jd);

// "YYYY-MM-DD" (midnight) or "YYYY-MM-DDTHH:MM", a real Gregorian date from year 1583 on;
// nothing for anything else.
std::optional<CalendarMinute> ParseInstant(std::string_view text);

// "YYYY-MM-DDTHH:MM".
std::string FormatInstant(const CalendarMinute& instant);

// One record of a planet file, without the line end: the quoted instant, the longitude [deg]
// with 4 decimals in [0, 360) and the distance with `distanceDecimals` decimals (0 to 30),
// comma-separated: "2026-08-29T00:00",123.4567,201.234 . Throws std::invalid_argument for a
// non-finite number.
std::string FormatRecord(const CalendarMinute& instant, double longitude, double distance,
                         int distanceDecimals = 3);

// Fixed-point text of x with the given decimals, the same on every machine and locale.
std::string FormatFixed(double x, int decimals);

// The first midnight (00:00 TT) at or after fromJdMidnight whose Earth longitude has reached
// the planet's longitude of perihelion: the first day at or past it when the day before was
// still short of it. Searches at most 400 days; throws std::runtime_error if none is found.
double FirstMidnightEarthReachesPerihelion(Planet planet, double fromJdMidnight);

}  // namespace kepler
