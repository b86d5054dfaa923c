#include "data_table.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <string_view>
#include <system_error>

#include "core/data_files.h"

namespace kepler::data {
namespace {

constexpr int kMaxRecords = 1'000'000;
constexpr double kMaxStepDays = 36525.0;  // one Julian century [day]
constexpr double kMinUnitsPerAu = 1.0e-6;
constexpr double kMaxUnitsPerAu = 1.0e12;

// The instant from which the default start is searched.
constexpr CalendarMinute kSearchFrom{2026, 6, 1, 0, 0};
// The elements hold from 1800-01-01 to the end of 2050.
constexpr CalendarMinute kValidFrom{1800, 1, 1, 0, 0};
constexpr CalendarMinute kValidUntil{2051, 1, 1, 0, 0};

struct BodyDefaults {
  int records;
  double stepDays;    // [day]
  double unitsPerAu;  // distance units per AU
};

// Mars and Mercury take the figures the program plays their files with (core/data_files.h).
BodyDefaults DefaultsFor(Planet body) {
  switch (body) {
    case Planet::Mercury:
      return {kRecordedMercury.records, kRecordedMercury.stepDays, kRecordedMercury.unitsPerAu()};
    case Planet::Venus:
      return {225, 1.0, 1.0};
    case Planet::Earth:
      return {365, 1.0, 1.0};
    case Planet::Mars:
      return {kRecordedMars.records, kRecordedMars.stepDays, kRecordedMars.unitsPerAu()};
  }
  return {1, 1.0, 1.0};
}

const char* NameOf(Planet body) {
  switch (body) {
    case Planet::Mercury:
      return "Mercury";
    case Planet::Venus:
      return "Venus";
    case Planet::Earth:
      return "the Earth-Moon barycentre";
    case Planet::Mars:
      return "Mars";
  }
  return "?";
}

std::optional<Planet> ParseBody(std::string_view text) {
  if (text == "mercury") return Planet::Mercury;
  if (text == "venus") return Planet::Venus;
  if (text == "earth") return Planet::Earth;
  if (text == "mars") return Planet::Mars;
  return std::nullopt;
}

std::optional<Frame> ParseFrame(std::string_view text) {
  if (text == "perihelion") return Frame::Perihelion;
  if (text == "ecliptic") return Frame::Ecliptic;
  return std::nullopt;
}

// The whole text must be the number; from_chars reads the same in every locale.
std::optional<int> ParseInt(std::string_view text) {
  int value = 0;
  const char* end = text.data() + text.size();
  auto [ptr, ec] = std::from_chars(text.data(), end, value);
  if (ec != std::errc() || ptr != end) return std::nullopt;
  return value;
}

std::optional<double> ParseDouble(std::string_view text) {
  double value = 0.0;
  const char* end = text.data() + text.size();
  auto [ptr, ec] = std::from_chars(text.data(), end, value);
  if (ec != std::errc() || ptr != end || !std::isfinite(value)) return std::nullopt;
  return value;
}

// Shortest text that reads back as x ("0.2", "131.57894736842107").
std::string Shortest(double x) {
  std::array<char, 64> buffer{};
  auto [end, ec] = std::to_chars(buffer.data(), buffer.data() + buffer.size(), x);
  return std::string(buffer.data(), end);
}

// Decimals that give the distance at least 7 significant digits all along the table: enough for
// the nearest the body comes to the Sun, its perihelion a (1 - e) at the start, less 1 % for the
// slow drift of the elements over the years the table may span.
int SevenDigitDecimals(Planet body, double jd, double unitsPerAu) {
  const KeplerianElements elements = ElementsAt(body, jd);
  const double nearest = 0.99 * elements.semiMajorAxis * (1.0 - elements.eccentricity) * unitsPerAu;
  return std::max(3, 6 - static_cast<int>(std::floor(std::log10(nearest))));
}

// Options as given on the command line, before the defaults.
struct Given {
  std::optional<Planet> body;
  std::optional<CalendarMinute> start;
  std::optional<int> records;
  std::optional<double> stepDays;
  std::optional<Frame> frame;
  std::optional<double> unitsPerAu;
  std::optional<std::string> outputPath;
  bool comments = false;
};

ParsedCommandLine Fail(std::string message) {
  ParsedCommandLine result;
  result.error = std::move(message);
  return result;
}

// Stores one option's value; returns an error text, empty when the value is good.
std::string Apply(Given& given, std::string_view name, std::string_view value) {
  const std::string quoted = "'" + std::string(value) + "'";
  if (name == "--body") {
    if (given.body) return "--body given twice";
    given.body = ParseBody(value);
    if (!given.body) return "--body must be mercury, venus, earth or mars, not " + quoted;
  } else if (name == "--start") {
    if (given.start) return "--start given twice";
    given.start = ParseInstant(value);
    if (!given.start) return "--start must be a date YYYY-MM-DD or YYYY-MM-DDTHH:MM, not " + quoted;
  } else if (name == "--records") {
    if (given.records) return "--records given twice";
    given.records = ParseInt(value);
    if (!given.records || *given.records < 1 || *given.records > kMaxRecords) {
      return "--records must be a whole number from 1 to " + std::to_string(kMaxRecords) +
             ", not " + quoted;
    }
  } else if (name == "--step-days") {
    if (given.stepDays) return "--step-days given twice";
    given.stepDays = ParseDouble(value);
    if (!given.stepDays || !(*given.stepDays > 0.0) || *given.stepDays > kMaxStepDays) {
      return "--step-days must be a number of days above 0 and at most 36525, not " + quoted;
    }
  } else if (name == "--frame") {
    if (given.frame) return "--frame given twice";
    given.frame = ParseFrame(value);
    if (!given.frame) return "--frame must be perihelion or ecliptic, not " + quoted;
  } else if (name == "--units-per-au") {
    if (given.unitsPerAu) return "--units-per-au given twice";
    given.unitsPerAu = ParseDouble(value);
    if (!given.unitsPerAu || !(*given.unitsPerAu >= kMinUnitsPerAu) ||
        *given.unitsPerAu > kMaxUnitsPerAu) {
      return "--units-per-au must be a number from 1e-6 to 1e12, not " + quoted;
    }
  } else if (name == "-o") {
    if (given.outputPath) return "-o given twice";
    if (value.empty()) return "-o needs a file name";
    given.outputPath = std::string(value);
  }
  return {};
}

bool TakesValue(std::string_view name) {
  return name == "--body" || name == "--start" || name == "--records" || name == "--step-days" ||
         name == "--frame" || name == "--units-per-au" || name == "-o";
}

// "686 records of 1 day at 150/1.14 units per AU".
std::string ProgramFileDefaults(const RecordedPlanet& planet) {
  return std::to_string(planet.records) + " records of " + Shortest(planet.stepDays) + " day at " +
         Shortest(planet.earthRadius) + "/" + Shortest(planet.factor) + " units per AU";
}

}  // namespace

std::string UsageText() {
  return "usage: kepler-data [--body mercury|venus|earth|mars] [--start YYYY-MM-DD[THH:MM]]\n"
         "                   [--records N] [--step-days X] [--frame perihelion|ecliptic]\n"
         "                   [--units-per-au U] [--comments] [-o FILE]\n"
         "Writes heliocentric positions of a planet, one record per line:\n"
         "  \"YYYY-MM-DDTHH:MM\",longitude [deg],distance [units]\n"
         "record n (n = 1 ... N) at start + n * step, in TT, from JPL's Keplerian elements\n"
         "(Approximate Positions of the Planets, Table 1, 1800-2050). Defaults: body mars,\n"
         "frame perihelion, start the first midnight on or after 2026-06-01 when the Earth's\n"
         "longitude reaches the body's longitude of perihelion;\nmars " +
         ProgramFileDefaults(kRecordedMars) + ",\nmercury " +
         ProgramFileDefaults(kRecordedMercury) +
         ",\n"
         "venus 225 and earth 365 records of 1 day in AU; standard output. The distance has\n"
         "3 decimals at the mars and mercury defaults, else at least 7 significant digits.\n"
         "--comments adds '#' lines after the records saying how the file was made.\n";
}

ParsedCommandLine ParseCommandLine(const std::vector<std::string>& args) {
  Given given;
  for (std::size_t i = 0; i < args.size(); ++i) {
    std::string_view arg = args[i];
    if (arg == "--help" || arg == "-h") {
      ParsedCommandLine result;
      result.help = true;
      return result;
    }
    if (arg == "--comments") {
      if (given.comments) return Fail("--comments given twice");
      given.comments = true;
      continue;
    }
    std::string_view name = arg;
    std::string_view value;
    bool has_value = false;
    if (const auto eq = arg.find('='); arg.starts_with("--") && eq != std::string_view::npos) {
      name = arg.substr(0, eq);
      value = arg.substr(eq + 1);
      has_value = true;
    }
    if (!TakesValue(name)) return Fail("unknown option '" + std::string(arg) + "'");
    if (!has_value) {
      if (i + 1 >= args.size()) return Fail(std::string(name) + " needs a value");
      value = args[++i];
    }
    if (std::string error = Apply(given, name, value); !error.empty()) return Fail(error);
  }

  TableOptions options;
  options.body = given.body.value_or(Planet::Mars);
  const BodyDefaults defaults = DefaultsFor(options.body);
  options.records = given.records.value_or(defaults.records);
  options.stepDays = given.stepDays.value_or(defaults.stepDays);
  options.frame = given.frame.value_or(Frame::Perihelion);
  options.unitsPerAu = given.unitsPerAu.value_or(defaults.unitsPerAu);
  options.outputPath = given.outputPath.value_or(std::string());
  options.comments = given.comments;
  options.start = given.start ? *given.start
                              : NearestMinute(FirstMidnightEarthReachesPerihelion(
                                    options.body, JulianDate(kSearchFrom)));

  const double first = JulianDate(options.start) + options.stepDays;
  const double last = JulianDate(options.start) + options.records * options.stepDays;
  if (first < JulianDate(kValidFrom) || last >= JulianDate(kValidUntil)) {
    return Fail("the records would run outside 1800-2050, where the elements hold");
  }
  const bool programFile =
      !given.unitsPerAu && (options.body == Planet::Mars || options.body == Planet::Mercury);
  options.distanceDecimals =
      programFile ? 3 : SevenDigitDecimals(options.body, first, options.unitsPerAu);
  ParsedCommandLine result;
  result.options = options;
  return result;
}

void WriteTable(const TableOptions& options, std::ostream& out) {
  const double start = JulianDate(options.start);
  for (int n = 1; n <= options.records; ++n) {
    const double jd = start + n * options.stepDays;
    const HeliocentricPosition position = PositionAt(options.body, jd);
    const double longitude = options.frame == Frame::Perihelion
                                 ? LongitudeFromPerihelion(options.body, jd)
                                 : position.longitude;
    out << FormatRecord(NearestMinute(jd), longitude, position.distance * options.unitsPerAu,
                        options.distanceDecimals)
        << '\n';
  }
  if (!options.comments) return;
  out << "# kepler-data: heliocentric positions of " << NameOf(options.body)
      << "; record: \"instant (TT)\",longitude [deg],distance\n"
      << "# elements: JPL Approximate Positions of the Planets (E. M. Standish), Table 1, "
         "1800 AD - 2050 AD, mean ecliptic and equinox of J2000\n";
  if (options.frame == Frame::Perihelion) {
    out << "# frame: perihelion (ecliptic longitude minus the longitude of perihelion at the "
           "same instant)\n";
  } else {
    out << "# frame: ecliptic (longitude on the mean ecliptic and equinox of J2000)\n";
  }
  out << "# start: " << FormatInstant(options.start) << " TT; " << options.records
      << " records, record n at start + n * " << Shortest(options.stepDays) << " day\n"
      << "# units: longitude in degrees; distance in units of which 1 AU holds "
      << Shortest(options.unitsPerAu) << "\n";
}

}  // namespace kepler::data
