#include <cmath>
#include <limits>
#include <stdexcept>

#include <gtest/gtest.h>

#include "core/ephemeris.h"

namespace kepler {
namespace {

TEST(JulianDate, MatchesJ2000AndMeeusExamples) {
  EXPECT_DOUBLE_EQ(JulianDate(CalendarMinute{2000, 1, 1, 12, 0}), kJulianDateJ2000);
  // Meeus, Astronomical Algorithms, 2nd ed., Examples 7.a and 7.b and the table of ch. 7.
  EXPECT_NEAR(JulianDate(1957, 10, 4.81), 2436116.31, 1e-9);  // Sputnik 1
  EXPECT_DOUBLE_EQ(JulianDate(333, 1, 27.5), 1842713.0);      // Julian calendar
  EXPECT_DOUBLE_EQ(JulianDate(1987, 1, 27.0), 2446822.5);
  EXPECT_DOUBLE_EQ(JulianDate(1988, 6, 19.5), 2447332.0);
  EXPECT_DOUBLE_EQ(JulianDate(1900, 1, 1.0), 2415020.5);
  EXPECT_DOUBLE_EQ(JulianDate(1600, 12, 31.0), 2305812.5);
  // The Gregorian reform: 1582 October 4 (Julian) was followed by October 15.
  EXPECT_DOUBLE_EQ(JulianDate(1582, 10, 15.0) - JulianDate(1582, 10, 4.0), 1.0);
}

TEST(CalendarDate, InvertsMeeusExamples) {
  const CalendarDate sputnik = CalendarDateOf(2436116.31);  // Meeus Example 7.c
  EXPECT_EQ(sputnik.year, 1957);
  EXPECT_EQ(sputnik.month, 10);
  EXPECT_NEAR(sputnik.day, 4.81, 1e-6);
  const CalendarDate julian = CalendarDateOf(1842713.0);
  EXPECT_EQ(julian.year, 333);
  EXPECT_EQ(julian.month, 1);
  EXPECT_NEAR(julian.day, 27.5, 1e-9);
  EXPECT_THROW(CalendarDateOf(-1.0), std::invalid_argument);
}

TEST(CalendarDate, RoundTripsEveryFewWeeksFrom1800To2050) {
  for (double jd = JulianDate(1800, 1, 1.0); jd < JulianDate(2051, 1, 1.0); jd += 37.25) {
    const CalendarDate date = CalendarDateOf(jd);
    EXPECT_NEAR(JulianDate(date.year, date.month, date.day), jd, 1e-8);
    const CalendarMinute minute = NearestMinute(jd);
    EXPECT_NEAR(JulianDate(minute), jd, 0.5 / 1440.0);
    EXPECT_EQ(NearestMinute(JulianDate(minute)), minute);
  }
}

TEST(NearestMinute, RoundsHalfMinutesAndCarriesIntoTheNextDay) {
  const double second = 1.0 / 86400.0;
  EXPECT_EQ(NearestMinute(kJulianDateJ2000), (CalendarMinute{2000, 1, 1, 12, 0}));
  EXPECT_EQ(NearestMinute(kJulianDateJ2000 + 29 * second), (CalendarMinute{2000, 1, 1, 12, 0}));
  EXPECT_EQ(NearestMinute(kJulianDateJ2000 + 31 * second), (CalendarMinute{2000, 1, 1, 12, 1}));
  // 2000-02-28 23:59:40 rounds into the leap day.
  EXPECT_EQ(NearestMinute(JulianDate(2000, 2, 29.0) - 20 * second),
            (CalendarMinute{2000, 2, 29, 0, 0}));
  // Before MJD 0 (1858-11-17) the minute count is negative.
  EXPECT_EQ(NearestMinute(JulianDate(1800, 1, 1.0) + 0.2), (CalendarMinute{1800, 1, 1, 4, 48}));
}

TEST(ParseInstant, AcceptsRealDatesWithOrWithoutTheMinute) {
  EXPECT_EQ(ParseInstant("2026-08-29"), (CalendarMinute{2026, 8, 29, 0, 0}));
  EXPECT_EQ(ParseInstant("2026-08-29T13:05"), (CalendarMinute{2026, 8, 29, 13, 5}));
  EXPECT_EQ(ParseInstant("2024-02-29"), (CalendarMinute{2024, 2, 29, 0, 0}));
  EXPECT_EQ(ParseInstant("2000-02-29T23:59"), (CalendarMinute{2000, 2, 29, 23, 59}));
  const char* bad[] = {"",
                       "2026-8-29",
                       "2026-08-29T",
                       "2026-08-29 13:05",
                       "2026-08-29T13:5",
                       "2026-08-29T24:00",
                       "2026-08-29T12:60",
                       "2026-02-30",
                       "2025-02-29",
                       "1900-02-29",
                       "2026-13-01",
                       "2026-00-10",
                       "2026-08-00",
                       "+026-08-29",
                       "1500-01-01",
                       "2026-08-29T1305x"};
  for (const char* text : bad) EXPECT_FALSE(ParseInstant(text).has_value()) << text;
}

TEST(FormatRecord, WritesQuotedMinuteFourAndThreeDecimals) {
  const CalendarMinute instant{2026, 8, 29, 0, 0};
  EXPECT_EQ(FormatRecord(instant, 123.45671, 201.2344), "\"2026-08-29T00:00\",123.4567,201.234");
  EXPECT_EQ(FormatRecord({2027, 2, 9, 4, 48}, 5.0, 73.8), "\"2027-02-09T04:48\",5.0000,73.800");
  // Longitudes are brought into [0, 360), also after rounding.
  EXPECT_EQ(FormatRecord(instant, -1.0, 1.0), "\"2026-08-29T00:00\",359.0000,1.000");
  EXPECT_EQ(FormatRecord(instant, 359.99996, 1.0), "\"2026-08-29T00:00\",0.0000,1.000");
  EXPECT_EQ(FormatRecord(instant, -0.0, 1.0), "\"2026-08-29T00:00\",0.0000,1.000");
  EXPECT_EQ(FormatRecord(instant, 725.5, 1.0), "\"2026-08-29T00:00\",5.5000,1.000");
  EXPECT_THROW(FormatRecord(instant, std::numeric_limits<double>::quiet_NaN(), 1.0),
               std::invalid_argument);
  EXPECT_THROW(FormatRecord(instant, 1.0, std::numeric_limits<double>::infinity()),
               std::invalid_argument);
}

}  // namespace
}  // namespace kepler
