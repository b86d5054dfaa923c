// The old runtime's number conversions, which every caption and wait goes through. The figures the
// buttons show are pinned by the golden traces; here are the edges no button reaches.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>
#include <utility>

#include "core/legacy_number.h"
#include "core/runtime_error.h"

using namespace kepler;

// Str writes a blank or minus, then at most fifteen significant digits with no zero before the
// point (15 digits hide 0.1 + 0.2's binary error). FormatOneDecimal rounds the decimal value half
// away from zero and always writes the point (1.15 is stored slightly below; the runtime rounds the
// 15-digit value).
TEST(Text, StrAndFormatOneDecimalWriteAsTheOldRuntime) {
  // clang-format off
  const std::pair<double, const char*> str[] = {
      {1.21, " 1.21"}, {0, " 0"}, {-1370, "-1370"}, {0.1 + 0.2, " .3"}, {0.0001, " .0001"},
      {1.0 / 3.0, " .333333333333333"}, {2.0 / 3.0 * 1000, " 666.666666666667"},
      {123456789012345.0, " 123456789012345"}, {1e15, " 1E+15"}, {-1.5e-7, "-1.5E-07"}};
  const std::pair<double, const char*> oneDecimal[] = {
      {10000, "10000."}, {21.959, "22."}, {0.25, "0.3"}, {1.15, "1.2"}, {0.05, "0.1"},
      {-0.05, "-0.1"}, {-1.25, "-1.3"}, {9.96, "10."}, {0.04, "0."}, {-0.04, "0."}};
  // clang-format on
  for (const auto& [x, text] : str) EXPECT_EQ(Str(x), text) << x;
  for (const auto& [x, text] : oneDecimal) EXPECT_EQ(FormatOneDecimal(x), text) << x;
}

TEST(Conversions, IntAndCutDecimalsFloorToInt32RoundsTiesToEvenAndBothOverflowsAreRunTimeErrors) {
  EXPECT_EQ(std::pair(Int(2.9), Int(-2.1)), std::pair(2.0, -3.0));
  EXPECT_EQ(CutDecimals(253.49, 1), 253.4);
  EXPECT_EQ(CutDecimals(-0.01, 1), -0.1) << "cutting floors, it does not truncate towards zero";
  // clang-format off
  const std::pair<double, int> cases[] = {{50.5, 50}, {51.5, 52}, {-0.5, 0}, {-1.5, -2},
                                          {2147483647.4, 2147483647}, {-2147483648.0, INT32_MIN}};
  // clang-format on
  for (const auto& [x, n] : cases) EXPECT_EQ(ToInt32(x), n) << x;
  for (const double x : {2147483647.5, -2147483649.0, std::nan(""), HUGE_VAL}) {
    EXPECT_THROW(ToInt32(x), RuntimeError) << x;
  }
  EXPECT_EQ(ToSingle(135.02219), 135.02219f);
  EXPECT_EQ(ToSingle(3.40282356e38), 3.4028235e38f) << "rounds down to the largest single";
  for (const double x : {3.4028236e38, -1.14e308, HUGE_VAL, std::nan("")}) {
    EXPECT_THROW(ToSingle(x), RuntimeError) << x;
  }
}
