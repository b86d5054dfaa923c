// The kepler-data tool: its command line, the text it writes, and the two planet files the build
// made with it, played back the way the program draws them.
#include <sys/wait.h>

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "data_table.h"

namespace kepler::data {
namespace {

struct Record {
  CalendarMinute instant;
  double longitude;  // [deg]
  double distance;   // [file units]
};

// Reads one record strictly, "YYYY-MM-DDTHH:MM",L.LLLL,D.DDD (with `decimals` distance decimals)
// and nothing else: FormatRecord's text (checked digit by digit in ephemeris_test.cpp), not the
// program's looser format.
std::optional<Record> ReadRecord(const std::string& line, int decimals) {
  char lead[17] = {};
  Record r{};
  const bool scanned =
      std::sscanf(line.c_str(), "\"%16[-0-9T:]\",%lf,%lf", lead, &r.longitude, &r.distance) == 3;
  const std::optional<CalendarMinute> instant = ParseInstant(lead);
  if (!scanned || !instant || FormatRecord(*instant, r.longitude, r.distance, decimals) != line) {
    return {};
  }
  r.instant = *instant;
  return r;
}

// The records, then any trailer lines, which must all begin with "# "; LF line ends only.
struct Table {
  std::vector<Record> records;
  std::vector<std::string> trailer;
};

Table Split(const std::string& text, int decimals = 3) {
  Table table;
  EXPECT_EQ(text.find('\r'), std::string::npos);
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) {
    if (!table.trailer.empty() || line.starts_with("#")) {
      EXPECT_TRUE(line.starts_with("# ")) << line;
      table.trailer.push_back(line);
    } else if (const std::optional<Record> record = ReadRecord(line, decimals)) {
      table.records.push_back(*record);
    } else {
      ADD_FAILURE() << "not a record: " << line;
    }
  }
  return table;
}

// The digits of a record's distance field, without the point and leading zeros.
int SignificantDigits(const std::string& line) {
  const std::string distance = line.substr(line.rfind(',') + 1);
  int digits = 0;
  bool leading = true;
  for (const char c : distance) {
    if (c == '.' || (leading && c == '0')) continue;
    leading = false;
    ++digits;
  }
  return digits;
}

// The arguments of a command line written with single spaces.
std::vector<std::string> Args(const std::string& line) {
  std::vector<std::string> args;
  std::istringstream in(line);
  for (std::string arg; in >> arg;) args.push_back(arg);
  return args;
}

TEST(CommandLine, RejectsUnknownMissingMalformedAndRepeatedOptions) {
  for (const char* line : {"--bogus", "mars", "--records", "--records 12x", "--records 0",
                           "--step-days 0", "--units-per-au -1", "--body pluto", "--frame galactic",
                           "--start 29.08.2026", "--body mars --body mars",
                           "--start 2049-06-01 --records 686",  // runs past 2050
                           "--start 1799-12-30"}) {             // first record 1799-12-31
    const ParsedCommandLine parsed = ParseCommandLine(Args(line));
    EXPECT_FALSE(parsed.options.has_value()) << line;
    EXPECT_FALSE(parsed.error.empty()) << line;
  }
}

TEST(KeplerDataTool, ExitsWithStatusTwoOnAMalformedOption) {
  const int status = std::system("'" KEPLER_DATA_TOOL "' --records abc >/dev/null 2>&1");
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 2);
}

TEST(WriteTable, WritesTheRecordsAndTheCommentsTheOptionsAskFor) {
  const ParsedCommandLine parsed = ParseCommandLine(
      Args("--body=earth --frame ecliptic --start=2000-01-01 --records 2 --step-days=0.5 -o x "
           "--units-per-au 1 --comments"));
  ASSERT_TRUE(parsed.options) << parsed.error;
  EXPECT_EQ(parsed.options->outputPath, "x");
  std::ostringstream out;
  WriteTable(*parsed.options, out);
  const Table table = Split(out.str(), parsed.options->distanceDecimals);
  EXPECT_EQ(table.trailer.size(), 5u);
  ASSERT_EQ(table.records.size(), 2u);
  // Record n lies n steps after the start. VSOP87A has the Earth-Moon barycentre at J2000 at
  // atan2(0.9672193, -0.1771591) = 100.3794 deg and 0.98331 AU (see ephemeris_test.cpp).
  EXPECT_EQ(table.records[0].instant, (CalendarMinute{2000, 1, 1, 12, 0}));
  EXPECT_NEAR(table.records[0].longitude, 100.3794, 0.01);
  EXPECT_NEAR(table.records[0].distance, 0.983, 0.0015);
  EXPECT_EQ(table.records[1].instant, (CalendarMinute{2000, 1, 2, 0, 0}));
  EXPECT_NE(out.str().find("\n# frame: ecliptic"), std::string::npos) << out.str();
  EXPECT_NE(out.str().find("\n# start: 2000-01-01T00:00 TT"), std::string::npos) << out.str();
}

TEST(WriteTable, GivesTheDistanceSevenSignificantDigitsAtAnyScale) {
  // Mercury comes to 0.3075 AU of the Sun; at 1 unit per AU three decimals would keep 3 digits.
  for (const char* units : {"1e-6", "0.01", "1", "131.578947", "1000", "1e12"}) {
    for (const char* body : {"mercury", "mars"}) {
      const ParsedCommandLine parsed = ParseCommandLine(
          Args(std::string("--body ") + body + " --records 120 --units-per-au " + units));
      ASSERT_TRUE(parsed.options) << parsed.error;
      std::ostringstream out;
      WriteTable(*parsed.options, out);
      std::istringstream lines(out.str());
      for (std::string line; std::getline(lines, line);) {
        ASSERT_GE(SignificantDigits(line), 7) << body << " at " << units << ": " << line;
      }
    }
  }
}

Table Load(const std::string& name) {
  std::ifstream in(KEPLER_ASSET_DIR "/" + name, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  Table table = Split(text.str());
  EXPECT_TRUE(table.trailer.empty()) << name << " holds records only";
  return table;
}

// Records one step apart, played the way the program plays record n in frame n:
// theta = L / 360 x 6.28 (its full turn), the planet at x = 300 - d cos(theta) f,
// y = 250 + d sin(theta) f [px]. It draws the orbit as an ellipse centred at (300 + e a, 250) with
// semi-axes a and b = a sqrt(1 - e^2) [px], the Sun in its left focus. A point's distance from it
// is |F| / |grad F| for F = u^2 + v^2 - 1, exact to first order.
void ExpectStepsOnTheDrawnOrbit(const Table& file, double stepDays, double f, double a, double e) {
  const double b = a * std::sqrt(1.0 - e * e);
  for (std::size_t i = 0; i < file.records.size(); ++i) {
    const Record& r = file.records[i];
    const double theta = r.longitude / 360.0 * 6.28;
    const double u = (300.0 - r.distance * std::cos(theta) * f - (300.0 + e * a)) / a;
    const double v = (250.0 + r.distance * std::sin(theta) * f - 250.0) / b;
    EXPECT_LE(std::fabs(u * u + v * v - 1.0) / std::hypot(2.0 * u / a, 2.0 * v / b), 1.0)
        << FormatInstant(r.instant);
    if (i > 0) {
      EXPECT_NEAR(JulianDate(r.instant) - JulianDate(file.records[i - 1].instant), stepDays,
                  1.0 / 1440.0);
    }
  }
}

TEST(MarsFile, Holds686DailyRecordsOnTheDrawnOrbit) {
  const Table file = Load("kasei-kouten-Koukei.dat");
  ASSERT_EQ(file.records.size(), 686u);
  // The Earth reaches Mars's longitude of perihelion (336.17 deg) on 2026-08-30.
  EXPECT_EQ(file.records[0].instant, (CalendarMinute{2026, 8, 31, 0, 0}));
  // 228.53 px semi-major axis, e = 0.093; perihelion 207.28 px, aphelion 249.78 px.
  ExpectStepsOnTheDrawnOrbit(file, 1.0, 1.14, 228.53, 0.093);
  // Opposition on 2027-02-19, record 173: Mars lies on the line from the Sun through the
  // program's uniform Earth, which turns 0.986 deg a frame.
  EXPECT_EQ(file.records[172].instant, (CalendarMinute{2027, 2, 19, 0, 0}));
  EXPECT_LE(std::fabs(std::remainder(file.records[172].longitude - 173 * 0.986, 360.0)), 4.0);
}

TEST(MercuryFile, Holds439RecordsAFifthOfADayApartOnTheDrawnOrbit) {
  const Table file = Load("Suisei-kouten-Koukei.dat");
  ASSERT_EQ(file.records.size(), 439u);
  // The Earth reaches Mercury's longitude of perihelion (77.50 deg) on 2026-12-10.
  EXPECT_EQ(file.records[0].instant, (CalendarMinute{2026, 12, 10, 4, 48}));
  // 92.78 px semi-major axis, e = 0.20563069; nearest 73.70 px, farthest 111.86 px.
  ExpectStepsOnTheDrawnOrbit(file, 0.2, 0.4645, 92.78, 0.20563069);
}

}  // namespace
}  // namespace kepler::data
