#include <sys/wait.h>

#include <cstdlib>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "data_table.h"
#include "record_line.h"

namespace kepler::data {
namespace {

ParsedCommandLine Parse(std::vector<std::string> args) {
  return ParseCommandLine(args);
}

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

TEST(CommandLine, MarsDefaultsMatchTheDemonstration) {
  const ParsedCommandLine parsed = Parse({"--body", "mars"});
  ASSERT_TRUE(parsed.options) << parsed.error;
  EXPECT_EQ(parsed.options->records, 686);
  EXPECT_EQ(parsed.options->step_days, 1.0);
  EXPECT_EQ(parsed.options->frame, Frame::kPerihelion);
  EXPECT_DOUBLE_EQ(parsed.options->units_per_au, 150.0 / 1.14);
  EXPECT_TRUE(parsed.options->output_path.empty());
  // The Earth reaches Mars's perihelion longitude (336.17 deg) at the end of August 2026.
  EXPECT_EQ(parsed.options->start, (CalendarMinute{2026, 8, 30, 0, 0}));
}

TEST(CommandLine, MercuryDefaultsMatchTheDemonstration) {
  const ParsedCommandLine parsed = Parse({"--body=mercury", "-o", "out.dat"});
  ASSERT_TRUE(parsed.options) << parsed.error;
  EXPECT_EQ(parsed.options->records, 439);
  EXPECT_EQ(parsed.options->step_days, 0.2);
  EXPECT_DOUBLE_EQ(parsed.options->units_per_au, 240.0 / 0.4645);
  EXPECT_EQ(parsed.options->output_path, "out.dat");
  // ... and Mercury's (77.50 deg) in December 2026.
  EXPECT_EQ(parsed.options->start.year, 2026);
  EXPECT_EQ(parsed.options->start.month, 12);
}

TEST(CommandLine, TakesEveryOptionInBothSpellings) {
  const ParsedCommandLine parsed =
      Parse({"--body", "venus", "--start=1999-12-31T06:30", "--records", "3", "--step-days=0.5",
             "--frame", "ecliptic", "--units-per-au", "100"});
  ASSERT_TRUE(parsed.options) << parsed.error;
  EXPECT_EQ(parsed.options->body, Planet::kVenus);
  EXPECT_EQ(parsed.options->start, (CalendarMinute{1999, 12, 31, 6, 30}));
  EXPECT_EQ(parsed.options->records, 3);
  EXPECT_EQ(parsed.options->step_days, 0.5);
  EXPECT_EQ(parsed.options->frame, Frame::kEcliptic);
  EXPECT_EQ(parsed.options->units_per_au, 100.0);
  EXPECT_TRUE(Parse({"-h"}).help);
}

TEST(CommandLine, RejectsUnknownMissingMalformedAndRepeatedOptions) {
  const std::vector<std::vector<std::string>> bad = {
      {"--bogus"},
      {"mars"},
      {"--records"},
      {"--records", "12x"},
      {"--records", "0"},
      {"--records", "-5"},
      {"--step-days", "-1"},
      {"--step-days", "nan"},
      {"--step-days", "1,5"},
      {"--units-per-au", "0"},
      {"--body", "pluto"},
      {"--frame", "galactic"},
      {"--start", "2026-13-01"},
      {"--start", "29.08.2026"},
      {"-o", ""},
      {"--body", "mars", "--body", "mercury"},
      {"--start", "2049-06-01", "--records", "686"},  // runs past 2050
      {"--start", "1799-12-30"},                      // first record 1799-12-31
  };
  for (const auto& args : bad) {
    const ParsedCommandLine parsed = Parse(args);
    EXPECT_FALSE(parsed.options.has_value()) << args[0];
    EXPECT_FALSE(parsed.error.empty()) << args[0];
  }
}

TEST(KeplerDataTool, ExitsWithStatusTwoOnAMalformedOption) {
  const std::string tool = std::string("'") + KEPLER_DATA_TOOL + "'";
  const int bad = std::system((tool + " --records abc >/dev/null 2>&1").c_str());
  ASSERT_TRUE(WIFEXITED(bad));
  EXPECT_EQ(WEXITSTATUS(bad), 2);
  const int help = std::system((tool + " --help >/dev/null 2>&1").c_str());
  ASSERT_TRUE(WIFEXITED(help));
  EXPECT_EQ(WEXITSTATUS(help), 0);
}

TEST(WriteTable, RecordsStepFromTheStartAndRoundToTheMinute) {
  const ParsedCommandLine parsed =
      Parse({"--body", "mercury", "--start", "2026-12-10", "--records", "5"});
  ASSERT_TRUE(parsed.options) << parsed.error;
  std::ostringstream out;
  WriteTable(*parsed.options, out);
  const std::vector<std::string> lines = Lines(out.str());
  ASSERT_GE(lines.size(), 5u);
  // 0.2 day = 4 h 48 min; record n is n steps after the start.
  const char* leads[] = {"\"2026-12-10T04:48\",", "\"2026-12-10T09:36\",", "\"2026-12-10T14:24\",",
                         "\"2026-12-10T19:12\",", "\"2026-12-11T00:00\","};
  for (int n = 0; n < 5; ++n) {
    EXPECT_TRUE(lines[n].starts_with(leads[n])) << lines[n];
    EXPECT_TRUE(ReadRecordLine(lines[n]).has_value()) << lines[n];
  }
}

TEST(WriteTable, EclipticFrameInAuMatchesVsop87AtJ2000) {
  const ParsedCommandLine parsed =
      Parse({"--body", "mars", "--frame", "ecliptic", "--start", "2000-01-01", "--records", "1",
             "--step-days", "0.5", "--units-per-au", "1"});
  ASSERT_TRUE(parsed.options) << parsed.error;
  std::ostringstream out;
  WriteTable(*parsed.options, out);
  const std::vector<std::string> lines = Lines(out.str());
  ASSERT_GE(lines.size(), 2u);
  // VSOP87A, 2000-01-01T12:00: lambda = 359.4473 deg, r = 1.3912 AU (see position_test.cpp).
  const auto record = ReadRecordLine(lines[0]);
  ASSERT_TRUE(record.has_value()) << lines[0];
  EXPECT_EQ(record->instant, (CalendarMinute{2000, 1, 1, 12, 0}));
  EXPECT_NEAR(record->longitude, 359.4473, 0.03);
  EXPECT_NEAR(record->distance, 1.391, 0.0015);
}

TEST(WriteTable, TrailerSaysHowTheFileWasMade) {
  const ParsedCommandLine parsed = Parse({"--body", "mars", "--records", "2"});
  ASSERT_TRUE(parsed.options) << parsed.error;
  std::ostringstream out;
  WriteTable(*parsed.options, out);
  const std::string text = out.str();
  EXPECT_EQ(text.find('\r'), std::string::npos);
  ASSERT_FALSE(text.empty());
  EXPECT_EQ(text.back(), '\n');
  const std::vector<std::string> lines = Lines(text);
  ASSERT_GT(lines.size(), 2u);
  std::string trailer;
  for (std::size_t i = 2; i < lines.size(); ++i) {
    EXPECT_TRUE(lines[i].starts_with("# ")) << lines[i];
    trailer += lines[i] + "\n";
  }
  EXPECT_NE(trailer.find("kepler-data"), std::string::npos);
  EXPECT_NE(trailer.find("Approximate Positions of the Planets"), std::string::npos);
  EXPECT_NE(trailer.find("Table 1"), std::string::npos);
  EXPECT_NE(trailer.find("frame: perihelion"), std::string::npos);
  EXPECT_NE(trailer.find("start: 2026-08-30T00:00 TT"), std::string::npos);
  EXPECT_NE(trailer.find("131.57894736842"), std::string::npos);  // 150 / 1.14 per AU
}

}  // namespace
}  // namespace kepler::data
