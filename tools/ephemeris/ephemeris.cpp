#include "ephemeris.h"

#include <fmt/format.h>

#include <array>
#include <charconv>
#include <cmath>
#include <numbers>
#include <stdexcept>
#include <system_error>

namespace kepler {
namespace {

constexpr double kPi = std::numbers::pi;
constexpr double kDegreesPerRadian = 180.0 / kPi;
constexpr double kDaysPerJulianCentury = 36525.0;

double Radians(double degrees) {
  return degrees / kDegreesPerRadian;
}
double Degrees(double radians) {
  return radians * kDegreesPerRadian;
}

// E. M. Standish, "Keplerian Elements for Approximate Positions of the Major Planets"
// (JPL Solar System Dynamics, https://ssd.jpl.nasa.gov/planets/approx_pos.html), Table 1:
// elements and their rates per Julian century, referred to the mean ecliptic and equinox of
// J2000, valid for the time-interval 1800 AD - 2050 AD. Nominal errors over that interval:
// Mercury 15" in longitude and 1000 km in distance, Venus 20" / 4000 km, EM Bary 20" / 6000 km,
// Mars 40" / 25000 km. The extra mean-anomaly terms b, c, s, f are zero for these four planets.
struct ElementRow {
  KeplerianElements base;  // at J2000.0
  KeplerianElements rate;  // per Julian century [AU/Cy, 1/Cy, deg/Cy]
};

//                a [AU]      e            I [deg]       L [deg]          varpi [deg]   Omega [deg]
constexpr std::array<ElementRow, 4> kTable1 = {{
    // Mercury
    {{0.38709927, 0.20563593, 7.00497902, 252.25032350, 77.45779628, 48.33076593},
     {0.00000037, 0.00001906, -0.00594749, 149472.67411175, 0.16047689, -0.12534081}},
    // Venus
    {{0.72333566, 0.00677672, 3.39467605, 181.97909950, 131.60246718, 76.67984255},
     {0.00000390, -0.00004107, -0.00078890, 58517.81538729, 0.00268329, -0.27769418}},
    // Earth-Moon barycentre
    {{1.00000261, 0.01671123, -0.00001531, 100.46457166, 102.93768193, 0.0},
     {0.00000562, -0.00004392, -0.01294668, 35999.37244981, 0.32327364, 0.0}},
    // Mars
    {{1.52371034, 0.09339410, 1.84969142, -4.55343205, -23.94362959, 49.55953891},
     {0.00001847, 0.00007882, -0.00813131, 19140.30268499, 0.44441088, -0.29257343}},
}};

const ElementRow& RowOf(Planet planet) {
  switch (planet) {
    case Planet::Mercury:
      return kTable1[0];
    case Planet::Venus:
      return kTable1[1];
    case Planet::Earth:
      return kTable1[2];
    case Planet::Mars:
      return kTable1[3];
  }
  throw std::invalid_argument("unknown planet");
}

bool IsLeapYear(int year) {
  return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

int DaysInMonth(int year, int month) {
  constexpr std::array<int, 12> kDays = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  return month == 2 && IsLeapYear(year) ? 29 : kDays[month - 1];
}

// Reads exactly `digits` decimal digits at text[pos].
std::optional<int> ReadDigits(std::string_view text, std::size_t pos, std::size_t digits) {
  if (pos + digits > text.size()) return std::nullopt;
  int value = 0;
  for (std::size_t i = pos; i < pos + digits; ++i) {
    if (text[i] < '0' || text[i] > '9') return std::nullopt;
    value = value * 10 + (text[i] - '0');
  }
  return value;
}

void AppendPadded(std::string& out, int value, int width) {
  std::array<char, 16> buffer{};
  auto [end, ec] = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value);
  const int length = static_cast<int>(end - buffer.data());
  out.append(static_cast<std::size_t>(width > length ? width - length : 0), '0');
  out.append(buffer.data(), end);
}

}  // namespace

// Step 1 of the JPL document: each element is a = a0 + adot * T, with T the number of Julian
// centuries past J2000.0, T = (T_eph - 2451545.0) / 36525.
KeplerianElements ElementsAt(Planet planet, double jdTt) {
  const ElementRow& row = RowOf(planet);
  const double t = (jdTt - kJulianDateJ2000) / kDaysPerJulianCentury;
  return {row.base.semiMajorAxis + row.rate.semiMajorAxis * t,
          row.base.eccentricity + row.rate.eccentricity * t,
          row.base.inclination + row.rate.inclination * t,
          row.base.meanLongitude + row.rate.meanLongitude * t,
          row.base.perihelionLongitude + row.rate.perihelionLongitude * t,
          row.base.nodeLongitude + row.rate.nodeLongitude * t};
}

// The JPL document's steps 2 to 5, Kepler's equation (step 3) solved by SolveKepler:
//   omega = varpi - Omega,  M = L - varpi;
//   in the orbital plane x' = a (cos E - e),  y' = a sqrt(1 - e^2) sin E,  z' = 0;
//   on the J2000 ecliptic
//     x = (cos w cos O - sin w sin O cos I) x' + (-sin w cos O - cos w sin O cos I) y'
//     y = (cos w sin O + sin w cos O cos I) x' + (-sin w sin O + cos w cos O cos I) y'
//     z = (sin w sin I) x' + (cos w sin I) y'
// and from these lambda = atan2(y, x), beta = asin(z / r), r = sqrt(x^2 + y^2 + z^2).
HeliocentricPosition PositionAt(Planet planet, double jdTt) {
  const KeplerianElements el = ElementsAt(planet, jdTt);
  const double w = Radians(el.perihelionLongitude - el.nodeLongitude);
  const double node = Radians(el.nodeLongitude);
  const double incl = Radians(el.inclination);
  const double meanAnomaly = Radians(el.meanLongitude - el.perihelionLongitude);
  const KeplerSolution kepler = SolveKepler(meanAnomaly, el.eccentricity);
  if (!kepler.converged) throw std::runtime_error("Kepler's equation did not converge");

  const double e = el.eccentricity;
  const double xp = el.semiMajorAxis * (std::cos(kepler.eccentricAnomaly) - e);
  const double yp = el.semiMajorAxis * std::sqrt(1.0 - e * e) * std::sin(kepler.eccentricAnomaly);

  const double cw = std::cos(w), sw = std::sin(w);
  const double cn = std::cos(node), sn = std::sin(node);
  const double ci = std::cos(incl), si = std::sin(incl);
  const double x = (cw * cn - sw * sn * ci) * xp + (-sw * cn - cw * sn * ci) * yp;
  const double y = (cw * sn + sw * cn * ci) * xp + (-sw * sn + cw * cn * ci) * yp;
  const double z = (sw * si) * xp + (cw * si) * yp;

  const double r = std::sqrt(x * x + y * y + z * z);
  return {NormalizeDegrees(Degrees(std::atan2(y, x))), Degrees(std::asin(z / r)), r};
}

double LongitudeFromPerihelion(Planet planet, double jdTt) {
  return NormalizeDegrees(PositionAt(planet, jdTt).longitude -
                          ElementsAt(planet, jdTt).perihelionLongitude);
}

double NormalizeDegrees(double degrees) {
  double r = std::fmod(degrees, 360.0);
  if (r < 0.0) r += 360.0;
  if (r >= 360.0) r -= 360.0;  // a tiny negative angle plus 360 rounds to 360
  return r + 0.0;              // turns -0 into +0
}

// Meeus, Astronomical Algorithms, 2nd ed., formula 7.1: with January and February counted as
// months 13 and 14 of the year before,
//   JD = INT(365.25 (Y + 4716)) + INT(30.6001 (M + 1)) + D + B - 1524.5,
// where B = 2 - A + INT(A / 4), A = INT(Y / 100) in the Gregorian calendar and B = 0 in the
// Julian one. Meeus's INT, the greatest integer not above its argument, is std::floor.
double JulianDate(int year, int month, double day) {
  const bool gregorian =
      year > 1582 || (year == 1582 && (month > 10 || (month == 10 && day >= 15.0)));
  if (month <= 2) {
    year -= 1;
    month += 12;
  }
  double b = 0.0;
  if (gregorian) {
    const double a = std::floor(year / 100.0);
    b = 2.0 - a + std::floor(a / 4.0);
  }
  return std::floor(365.25 * (year + 4716)) + std::floor(30.6001 * (month + 1)) + day + b - 1524.5;
}

// Meeus ch. 7, the calendar date from the JD: Z = INT(JD + 0.5), F its fraction;
// A = Z below 2299161, else A = Z + 1 + alpha - INT(alpha / 4) with
// alpha = INT((Z - 1867216.25) / 36524.25); B = A + 1524, C = INT((B - 122.1) / 365.25),
// D = INT(365.25 C), E = INT((B - D) / 30.6001); day = B - D - INT(30.6001 E) + F,
// month = E - 1 (E < 14) or E - 13, year = C - 4716 (month > 2) or C - 4715.
CalendarDate CalendarDateOf(double jd) {
  if (!(jd >= 0.0) || !std::isfinite(jd)) throw std::invalid_argument("negative Julian Date");
  const double z = std::floor(jd + 0.5);
  const double f = jd + 0.5 - z;
  double a = z;
  if (z >= 2299161.0) {
    const double alpha = std::floor((z - 1867216.25) / 36524.25);
    a = z + 1.0 + alpha - std::floor(alpha / 4.0);
  }
  const double b = a + 1524.0;
  const double c = std::floor((b - 122.1) / 365.25);
  const double d = std::floor(365.25 * c);
  const double e = std::floor((b - d) / 30.6001);
  const double day = b - d - std::floor(30.6001 * e) + f;
  const int month = static_cast<int>(e < 14.0 ? e - 1.0 : e - 13.0);
  const int year = static_cast<int>(month > 2 ? c - 4716.0 : c - 4715.0);
  return {year, month, day};
}

double JulianDate(const CalendarMinute& instant) {
  return JulianDate(instant.year, instant.month,
                    instant.day + (instant.hour * 60 + instant.minute) / 1440.0);
}

// Counting whole minutes from MJD 0 (JD 2400000.5) keeps the rounding exact: a date near 2026 is
// some 9e7 minutes, far inside a double's exact integers.
CalendarMinute NearestMinute(double jd) {
  constexpr double kMjdZero = 2400000.5;
  if (!(jd >= 2299160.5) || !std::isfinite(jd)) {
    throw std::invalid_argument("instant before the Gregorian calendar");
  }
  const long long minutes = std::llround((jd - kMjdZero) * 1440.0);
  long long days = minutes / 1440;
  if (days * 1440 > minutes) --days;  // floor, for instants before 1858
  const int minuteOfDay = static_cast<int>(minutes - days * 1440);
  const CalendarDate date = CalendarDateOf(kMjdZero + static_cast<double>(days));
  return {date.year, date.month, static_cast<int>(date.day), minuteOfDay / 60, minuteOfDay % 60};
}

std::optional<CalendarMinute> ParseInstant(std::string_view text) {
  if (text.size() != 10 && text.size() != 16) return std::nullopt;
  if (text[4] != '-' || text[7] != '-') return std::nullopt;
  const auto year = ReadDigits(text, 0, 4);
  const auto month = ReadDigits(text, 5, 2);
  const auto day = ReadDigits(text, 8, 2);
  if (!year || !month || !day) return std::nullopt;
  CalendarMinute instant{*year, *month, *day, 0, 0};
  if (text.size() == 16) {
    if (text[10] != 'T' || text[13] != ':') return std::nullopt;
    const auto hour = ReadDigits(text, 11, 2);
    const auto minute = ReadDigits(text, 14, 2);
    if (!hour || !minute || *hour > 23 || *minute > 59) return std::nullopt;
    instant.hour = *hour;
    instant.minute = *minute;
  }
  if (instant.year < 1583 || instant.month < 1 || instant.month > 12 || instant.day < 1 ||
      instant.day > DaysInMonth(instant.year, instant.month)) {
    return std::nullopt;
  }
  return instant;
}

std::string FormatInstant(const CalendarMinute& instant) {
  std::string out;
  out.reserve(16);
  AppendPadded(out, instant.year, 4);
  out += '-';
  AppendPadded(out, instant.month, 2);
  out += '-';
  AppendPadded(out, instant.day, 2);
  out += 'T';
  AppendPadded(out, instant.hour, 2);
  out += ':';
  AppendPadded(out, instant.minute, 2);
  return out;
}

std::string FormatFixed(double x, int decimals) {
  if (!std::isfinite(x)) throw std::invalid_argument("number is not finite");
  // fmt's fixed form is the exact binary value rounded to `decimals` places, like printf's "%.*f".
  std::array<char, 64> buffer{};
  const auto written = fmt::format_to_n(buffer.data(), buffer.size(), "{:.{}f}", x, decimals);
  if (written.size > buffer.size()) throw std::invalid_argument("number too large to write");
  return std::string(buffer.data(), written.size);
}

std::string FormatRecord(const CalendarMinute& instant, double longitude, double distance,
                         int distanceDecimals) {
  std::string lon = FormatFixed(NormalizeDegrees(longitude), 4);
  if (lon == "360.0000") lon = "0.0000";  // 359.99995 and above round to a full turn
  std::string out = "\"" + FormatInstant(instant) + "\",";
  out += lon;
  out += ',';
  out += FormatFixed(distance, distanceDecimals);
  return out;
}

// The Earth's longitude gains about 1 degree a day, so lambda_E - varpi (brought into [0, 360))
// grows day by day except on the day it passes varpi, when it wraps back towards 0.
double FirstMidnightEarthReachesPerihelion(Planet planet, double fromJdMidnight) {
  constexpr int kMaxDays = 400;
  auto pastPerihelion = [planet](double jd) {
    return NormalizeDegrees(PositionAt(Planet::Earth, jd).longitude -
                            ElementsAt(planet, jd).perihelionLongitude);
  };
  double before = pastPerihelion(fromJdMidnight - 1.0);
  for (int day = 0; day < kMaxDays; ++day) {
    const double jd = fromJdMidnight + day;
    const double now = pastPerihelion(jd);
    if (now < before) return jd;
    before = now;
  }
  throw std::runtime_error("the Earth did not reach the longitude of perihelion");
}

}  // namespace kepler
