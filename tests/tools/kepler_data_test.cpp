// The kepler-data tool: its command line and the text it writes. What the two planet files the
// build writes hold is pinned by the golden traces of the buttons that play them.
#include <sys/wait.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <sstream>
#include <string>
#include <vector>

#include "data_table.h"

namespace kepler::data {
namespace {

// The command line written with single spaces, parsed.
ParsedCommandLine Parse(const std::string& line) {
  std::vector<std::string> args;
  std::istringstream in(line);
  for (std::string arg; in >> arg;) args.push_back(arg);
  return ParseCommandLine(args);
}

// The lines of the table written for a command line; they must end in LF only.
std::vector<std::string> Table(const std::string& line) {
  const ParsedCommandLine parsed = Parse(line);
  std::ostringstream out;
  if (parsed.options) WriteTable(*parsed.options, out);
  EXPECT_TRUE(parsed.options) << line << ": " << parsed.error;
  EXPECT_EQ(out.str().find('\r'), std::string::npos);
  std::vector<std::string> lines;
  std::istringstream in(out.str());
  for (std::string text; std::getline(in, text);) lines.push_back(text);
  return lines;
}

TEST(CommandLine, RejectsUnknownMissingMalformedAndRepeatedOptionsTheToolWithStatusTwo) {
  for (const char* line : {"--bogus", "mars", "--records", "--records 12x", "--records 0",
                           "--step-days 0", "--units-per-au -1", "--body pluto", "--frame galactic",
                           "--start 29.08.2026", "--body mars --body mars",
                           "--start 2049-06-01 --records 686",  // runs past 2050
                           "--start 1799-12-30"}) {             // first record 1799-12-31
    const ParsedCommandLine parsed = Parse(line);
    EXPECT_FALSE(parsed.options.has_value()) << line;
    EXPECT_FALSE(parsed.error.empty()) << line;
  }
  const int status = std::system("'" KEPLER_DATA_TOOL "' --records abc >/dev/null 2>&1");
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 2);
  EXPECT_EQ(Parse("--body=mars -o x").options.value().outputPath, "x");
}

TEST(WriteTable, WritesTheRecordsAndCommentsAskedForAndSevenSignificantDigitsAtAnyScale) {
  const std::vector<std::string> lines = Table(
      "--body=earth --frame ecliptic --start=2000-01-01 --records 2 --step-days=0.5 "
      "--units-per-au 1 --comments");
  ASSERT_EQ(lines.size(), 7u);
  // Record n lies n steps after the start (the record's text is FormatRecord's). VSOP87A has the
  // Earth-Moon barycentre at J2000 at atan2(0.9672193, -0.1771591) = 100.3794 deg and 0.98331 AU
  // (see ephemeris_test.cpp).
  double longitude = 0, distance = 0;
  ASSERT_EQ(std::sscanf(lines[0].c_str(), "\"2000-01-01T12:00\",%lf,%lf", &longitude, &distance), 2)
      << lines[0];
  EXPECT_NEAR(longitude, 100.3794, 0.01);
  EXPECT_NEAR(distance, 0.983, 0.0015);
  EXPECT_TRUE(lines[1].starts_with("\"2000-01-02T00:00\",")) << lines[1];
  for (std::size_t i = 2; i < lines.size(); ++i) EXPECT_TRUE(lines[i].starts_with("# ")) << i;
  EXPECT_TRUE(lines[4].starts_with("# frame: ecliptic")) << lines[4];
  EXPECT_TRUE(lines[5].starts_with("# start: 2000-01-01T00:00 TT")) << lines[5];
  // Mercury comes to 0.3075 AU of the Sun; at 1 unit per AU three decimals would keep 3 digits.
  for (const char* units : {"1e-6", "0.01", "1", "131.578947", "1000", "1e12"}) {
    for (const std::string body : {"mercury", "mars"}) {
      for (const std::string& line :
           Table("--body " + body + " --records 120 --units-per-au " + units)) {
        // The distance's digits, without the point and leading zeros.
        std::string digits = line.substr(line.rfind(',') + 1);
        std::erase(digits, '.');
        ASSERT_GE(digits.size() - std::min(digits.find_first_not_of('0'), digits.size()), 7u)
            << body << " at " << units << ": " << line;
      }
    }
  }
}

}  // namespace
}  // namespace kepler::data
