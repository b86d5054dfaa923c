// The trace's float text: shortest round-trip digits laid out as the plain std::to_chars(float).
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <limits>
#include <string>
#include <utility>

#include "core/shortest_float.h"

#if !defined(__EMSCRIPTEN__)
#include <charconv>  // the toolchain the browser build uses has no float to_chars
#endif

using kepler::ShortestFloat;

// (The browser build's library has no std::bit_cast.)
static float FromBits(std::uint32_t bits) {
  float value;
  std::memcpy(&value, &bits, sizeof value);
  return value;
}

// The browser build has no to_chars to compare with, so these stand for the sweep below there:
// 1e+05 is shorter than 100000, 10000 and 0.00012 are ties kept fixed, and 2^33 is written
// exactly although its shortest digits are 8589935.
TEST(ShortestFloat, WritesTheShorterOfFixedAndExponentFormFixedOnATie) {
  using Limits = std::numeric_limits<float>;
  // clang-format off
  const std::pair<float, const char*> cases[] = {
      {135.02219f, "135.02219"}, {0.1f, "0.1"}, {-0.5f, "-0.5"}, {285.4f - 15, "270.4"},
      {100000.0f, "1e+05"}, {10000.0f, "10000"}, {15000000.0f, "1.5e+07"}, {0.0001f, "1e-04"},
      {0.00012f, "0.00012"}, {-1.25e-5f, "-1.25e-05"}, {8589934592.0f, "8589934592"},
      {1e13f, "1e+13"}, {-0.0f, "-0"}, {Limits::denorm_min(), "1e-45"},
      {Limits::max(), "3.4028235e+38"}, {-Limits::infinity(), "-inf"},
      {Limits::quiet_NaN(), "nan"}, {FromBits(0xFFC00000u), "-nan"}};
  // clang-format on
  for (const auto& [value, text] : cases) EXPECT_EQ(ShortestFloat(value), text) << text;
}

#if !defined(__EMSCRIPTEN__)
// Every 65,537th bit pattern (a prime stride, so every exponent and many mantissa endings are
// visited) against the standard library, up to the first that differs; the whole range was
// compared once by hand.
TEST(ShortestFloat, AgreesWithTheStandardLibraryAcrossTheBitPatterns) {
  for (std::uint64_t bits = 0; bits <= 0xFFFFFFFFu; bits += 65537) {
    const float value = FromBits(static_cast<std::uint32_t>(bits));
    char buffer[64];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    ASSERT_EQ(ShortestFloat(value), std::string(buffer, result.ptr)) << "bits " << bits;
  }
}
#endif
