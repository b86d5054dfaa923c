// The trace's float text: shortest round-trip digits laid out as the plain std::to_chars(float).
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <limits>
#include <string>

#include "core/shortest_float.h"

#if !defined(__EMSCRIPTEN__)
#include <charconv>  // the toolchain the browser build uses has no float to_chars
#endif

using kepler::ShortestFloat;

namespace {

float FromBits(std::uint32_t bits) {
  float value;
  std::memcpy(&value, &bits, sizeof value);
  return value;
}

}  // namespace

TEST(ShortestFloat, WritesTheFewestDigitsThatReadBackAsTheSameFloat) {
  EXPECT_EQ(ShortestFloat(602.22f), "602.22");
  EXPECT_EQ(ShortestFloat(135.02219f), "135.02219");
  EXPECT_EQ(ShortestFloat(0.995662f), "0.995662");
  EXPECT_EQ(ShortestFloat(0.1f), "0.1");
  EXPECT_EQ(ShortestFloat(16777216.0f), "16777216");
  EXPECT_EQ(ShortestFloat(-0.5f), "-0.5");
  EXPECT_EQ(ShortestFloat(285.4f - 15), "270.4");
}

TEST(ShortestFloat, ChoosesTheShorterFormAndFixedOnATie) {
  EXPECT_EQ(ShortestFloat(1e10f), "1e+10");
  EXPECT_EQ(ShortestFloat(100000.0f), "1e+05");  // 6 characters against 5
  EXPECT_EQ(ShortestFloat(10000.0f), "10000");   // a tie at 5
  EXPECT_EQ(ShortestFloat(1500000.0f), "1500000");
  EXPECT_EQ(ShortestFloat(15000000.0f), "1.5e+07");
  EXPECT_EQ(ShortestFloat(0.001f), "0.001");  // a tie at 5
  EXPECT_EQ(ShortestFloat(0.0001f), "1e-04");
  EXPECT_EQ(ShortestFloat(0.00012f), "0.00012");  // a tie at 7
  EXPECT_EQ(ShortestFloat(-1.25e-5f), "-1.25e-05");
}

TEST(ShortestFloat, WritesAFixedFormIntegerExactlyNotAsRoundedDigits) {
  EXPECT_EQ(ShortestFloat(8589934592.0f), "8589934592");  // 2^33, shortest digits 8589935
  EXPECT_EQ(ShortestFloat(-8589934592.0f), "-8589934592");
  EXPECT_EQ(ShortestFloat(1e13f), "1e+13");  // 9999999827968 exactly, but exponent form is shorter
}

TEST(ShortestFloat, HandlesTheEndsOfTheRangeAndTheValuesThatAreNoNumber) {
  EXPECT_EQ(ShortestFloat(0.0f), "0");
  EXPECT_EQ(ShortestFloat(-0.0f), "-0");
  EXPECT_EQ(ShortestFloat(std::numeric_limits<float>::denorm_min()), "1e-45");
  EXPECT_EQ(ShortestFloat(std::numeric_limits<float>::min()), "1.1754944e-38");
  EXPECT_EQ(ShortestFloat(std::numeric_limits<float>::max()), "3.4028235e+38");
  EXPECT_EQ(ShortestFloat(-std::numeric_limits<float>::infinity()), "-inf");
  EXPECT_EQ(ShortestFloat(std::numeric_limits<float>::quiet_NaN()), "nan");
  EXPECT_EQ(ShortestFloat(FromBits(0xFFC00000u)), "-nan");
}

#if !defined(__EMSCRIPTEN__)
// Every 65,537th bit pattern (a prime stride, so every exponent and many mantissa endings are
// visited) against the standard library; the whole range was compared once by hand.
TEST(ShortestFloat, AgreesWithTheStandardLibraryAcrossTheBitPatterns) {
  int mismatches = 0;
  for (std::uint64_t bits = 0; bits <= 0xFFFFFFFFu; bits += 65537) {
    const float value = FromBits(static_cast<std::uint32_t>(bits));
    char buffer[64];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    const std::string expected(buffer, result.ptr);
    if (ShortestFloat(value) != expected && ++mismatches <= 5) {
      ADD_FAILURE() << "bits " << bits << ": expected " << expected << ", got "
                    << ShortestFloat(value);
    }
  }
  EXPECT_EQ(mismatches, 0);
}
#endif
