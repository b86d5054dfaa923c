// The old runtime's number conversions, which every caption and wait goes through.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <utility>

#include "core/legacy_number.h"
#include "core/runtime_error.h"

using kepler::CutDecimals;
using kepler::FormatOneDecimal;
using kepler::Int;
using kepler::Str;
using kepler::ToInt32;

TEST(Str, WritesALeadingBlankForNonNegativeNumbersAndAMinusOtherwise) {
  const std::pair<double, const char*> cases[] = {{1.4, " 1.4"},   {1.21, " 1.21"}, {59.9, " 59.9"},
                                                  {3550, " 3550"}, {0, " 0"},       {-2.5, "-2.5"},
                                                  {-1370, "-1370"}};
  for (const auto& [x, text] : cases) EXPECT_EQ(Str(x), text) << x;
}

TEST(Str, KeepsAtMostFifteenSignificantDigitsAndNoPointForWholeValues) {
  EXPECT_EQ(Str(1370), " 1370");
  EXPECT_EQ(Str(0.1 + 0.2), " .3") << "15 digits hide the binary error; no zero before the point";
  EXPECT_EQ(Str(1.0 / 3.0), " .333333333333333");
  EXPECT_EQ(Str(2.0 / 3.0 * 1000), " 666.666666666667");
  EXPECT_EQ(Str(123456789012345.0), " 123456789012345");
  EXPECT_EQ(Str(1e15), " 1E+15");
  EXPECT_EQ(Str(-1.5e-7), "-1.5E-07");
  EXPECT_EQ(Str(0.0001), " .0001");
}

TEST(FormatOneDecimal, RoundsHalfAwayFromZeroAndAlwaysWritesThePoint) {
  EXPECT_EQ(FormatOneDecimal(10000), "10000.");
  EXPECT_EQ(FormatOneDecimal(10000 / 8.9996), "1111.2");
  EXPECT_EQ(FormatOneDecimal(10000 / 474.0261), "21.1");
  EXPECT_EQ(FormatOneDecimal(10000 / 1.0295), "9713.5");
  EXPECT_EQ(FormatOneDecimal(10000 / 3550.0708), "2.8");
  EXPECT_EQ(FormatOneDecimal(21.959), "22.");
  EXPECT_EQ(FormatOneDecimal(0.25), "0.3") << "the pattern keeps one integer digit";
}

TEST(FormatOneDecimal, DecidesTiesOnTheDecimalValueNotTheBinaryOne) {
  // 1.15 and 2.675 are stored slightly below; the runtime rounds the 15-digit value.
  EXPECT_EQ(FormatOneDecimal(1.15), "1.2");
  EXPECT_EQ(FormatOneDecimal(0.05), "0.1");
  EXPECT_EQ(FormatOneDecimal(-0.05), "-0.1");
  EXPECT_EQ(FormatOneDecimal(-1.25), "-1.3");
  EXPECT_EQ(FormatOneDecimal(9.96), "10.");
  EXPECT_EQ(FormatOneDecimal(0.04), "0.");
  EXPECT_EQ(FormatOneDecimal(-0.04), "0.");
  EXPECT_EQ(FormatOneDecimal(0), "0.");
}

TEST(Int, IsTheFloor) {
  EXPECT_EQ(Int(2.9), 2);
  EXPECT_EQ(Int(-2.1), -3);
  EXPECT_EQ(Int(-3), -3);
  EXPECT_EQ(CutDecimals(1.06906, 4), 1.069);
  EXPECT_EQ(CutDecimals(253.49, 1), 253.4);
  EXPECT_EQ(CutDecimals(-0.01, 1), -0.1) << "cutting floors, it does not truncate towards zero";
}

TEST(ToInt32, RoundsTiesToEven) {
  EXPECT_EQ(ToInt32(50.5), 50);
  EXPECT_EQ(ToInt32(51.5), 52);
  EXPECT_EQ(ToInt32(-0.5), 0);
  EXPECT_EQ(ToInt32(-1.5), -2);
  EXPECT_EQ(ToInt32(179.992), 180);
  EXPECT_EQ(ToInt32(94.80522), 95);
  EXPECT_EQ(ToInt32(2147483647.4), 2147483647);
  EXPECT_EQ(ToInt32(-2147483648.0), -2147483647 - 1);
}

TEST(ToInt32, OverflowIsARunTimeError) {
  EXPECT_THROW(ToInt32(2147483647.5), kepler::RuntimeError);
  EXPECT_THROW(ToInt32(-2147483649.0), kepler::RuntimeError);
  EXPECT_THROW(ToInt32(std::numeric_limits<double>::quiet_NaN()), kepler::RuntimeError);
  EXPECT_THROW(ToInt32(std::numeric_limits<double>::infinity()), kepler::RuntimeError);
}

TEST(ToSingle, KeepsWhatASingleHoldsAndOverflowsBeyondIt) {
  EXPECT_EQ(kepler::ToSingle(135.02219), 135.02219f);
  EXPECT_EQ(kepler::ToSingle(-3.4028234e38), -3.4028234e38f);
  EXPECT_EQ(kepler::ToSingle(3.40282356e38), 3.4028235e38f) << "rounds down to the largest single";
  for (const double x : {3.4028236e38, -1.14e308, 1e308, 2e300, HUGE_VAL, std::nan("")}) {
    EXPECT_THROW(kepler::ToSingle(x), kepler::RuntimeError) << x;
  }
}
