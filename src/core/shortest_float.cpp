#include "core/shortest_float.h"

#include <fmt/format.h>

#include <cmath>
#include <cstdint>
#include <string_view>

namespace kepler {

namespace {

// A finite, non-zero magnitude as D * 10^exponent, D the shortest round-trip digits.
struct ShortestDigits {
  std::string digits;  // no leading or trailing zeros
  int exponent = 0;    // of the last digit
};

// fmt's "{}" writes the shortest round-trip digits (Dragonbox) but chooses between fixed and
// exponent form by rules of its own ("10000000000", "8589935000"), so only the digits and where
// they stand are taken from it: "1.5e+10", "0.00125" and "8589935000" all read alike.
ShortestDigits SplitShortest(float magnitude) {
  char buffer[64];
  const auto written = fmt::format_to_n(buffer, sizeof buffer, "{}", magnitude);
  const std::string_view text(buffer, written.size);
  const std::size_t e = text.find('e');
  const std::string_view mantissa = text.substr(0, e);

  ShortestDigits out;
  int digitsBeforePoint = -1;
  for (const char c : mantissa) {
    if (c == '.') {
      digitsBeforePoint = static_cast<int>(out.digits.size());
    } else {
      out.digits += c;
    }
  }
  if (digitsBeforePoint < 0) digitsBeforePoint = static_cast<int>(out.digits.size());
  // The mantissa's digits read as an integer, times 10^(places after the point, negated), times
  // the written power of ten.
  out.exponent = digitsBeforePoint - static_cast<int>(out.digits.size());
  if (e != std::string_view::npos) out.exponent += std::stoi(std::string(text.substr(e + 1)));
  while (out.digits.back() == '0') {
    out.digits.pop_back();
    ++out.exponent;
  }
  out.digits.erase(0, out.digits.find_first_not_of('0'));
  return out;
}

}  // namespace

std::string ShortestFloat(float value) {
  const std::string sign = std::signbit(value) ? "-" : "";
  if (std::isnan(value)) return sign + "nan";
  if (std::isinf(value)) return sign + "inf";
  if (value == 0) return sign + "0";

  const float magnitude = std::fabs(value);
  const ShortestDigits shortest = SplitShortest(magnitude);
  const std::string& digits = shortest.digits;
  const int count = static_cast<int>(digits.size());
  const int exponent = shortest.exponent;         // of the last digit
  const int leadExponent = exponent + count - 1;  // of the first digit, as in d.ddde±XX
  const int leadExponentDigits = std::abs(leadExponent) >= 100 ? 3 : 2;
  const int scientificLength = count + (count > 1 ? 1 : 0) + 2 + leadExponentDigits;
  const int fixedLength = exponent >= 0       ? count + exponent
                          : leadExponent >= 0 ? count + 1
                                              : count + 1 - leadExponent;

  if (fixedLength > scientificLength) {
    const std::string fraction = count > 1 ? "." + digits.substr(1) : "";
    return fmt::format("{}{}{}e{:+03d}", sign, digits[0], fraction, leadExponent);
  }
  if (exponent > 0) {
    // Trailing zeros would round-trip too, but the fixed form of an integer is its exact value.
    // Fixed form wins only up to five trailing zeros, so the value is below 10^14.
    return sign + fmt::format("{}", static_cast<std::uint64_t>(magnitude));
  }
  if (exponent == 0) return sign + digits;
  if (leadExponent >= 0) {
    const auto point = static_cast<std::size_t>(leadExponent + 1);
    return sign + digits.substr(0, point) + "." + digits.substr(point);
  }
  return sign + "0." + std::string(static_cast<std::size_t>(-leadExponent - 1), '0') + digits;
}

}  // namespace kepler
