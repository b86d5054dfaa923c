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

// The lines of a text, which must end in LF only.
std::vector<std::string> Lines(const std::string& text) {
  EXPECT_EQ(text.find('\r'), std::string::npos);
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

// The digits of a record's distance field, without the point and leading zeros.
int SignificantDigits(const std::string& line) {
  std::string digits = line.substr(line.rfind(',') + 1);
  std::erase(digits, '.');
  return static_cast<int>(digits.size() - std::min(digits.find_first_not_of('0'), digits.size()));
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
  const std::vector<std::string> lines = Lines(out.str());
  ASSERT_EQ(lines.size(), 7u) << out.str();
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
      for (const std::string& line : Lines(out.str())) {
        ASSERT_GE(SignificantDigits(line), 7) << body << " at " << units << ": " << line;
      }
    }
  }
}

}  // namespace
}  // namespace kepler::data
