#include "core/legacy_number.h"

#include <fmt/format.h>

#include <cmath>
#include <limits>

#include "core/runtime_error.h"

namespace kepler {
namespace {

// The runtime's message for a number that does not fit where it is stored.
constexpr const char* kOverflow = "オーバーフローしました。";

// A finite non-zero double as the runtime sees it: 15 significant decimal digits d0.d1...d14
// times 10^exponent.
struct Decimal15 {
  bool negative = false;
  std::string digits;  // exactly 15 digits, digits[0] != '0'
  int exponent = 0;
};

Decimal15 toDecimal15(double x) {
  // fmt writes a point whatever the C library's locale says: "d.dddddddddddddde+XX".
  const std::string written = fmt::format("{:.14e}", std::fabs(x));
  Decimal15 d;
  d.negative = std::signbit(x);
  d.digits.reserve(15);
  const std::size_t e = written.find('e');
  for (std::size_t i = 0; i < e; ++i) {
    if (written[i] != '.') d.digits.push_back(written[i]);
  }
  const bool negativeExponent = written[e + 1] == '-';
  for (std::size_t i = e + 2; i < written.size(); ++i) {
    d.exponent = d.exponent * 10 + (written[i] - '0');
  }
  if (negativeExponent) d.exponent = -d.exponent;
  return d;
}

void stripTrailingZeros(std::string& digits) {
  while (digits.size() > 1 && digits.back() == '0') digits.pop_back();
}

}  // namespace

std::string Str(double x) {
  if (x == 0.0 || !std::isfinite(x)) {
    if (std::isnan(x)) return "NaN";
    if (std::isinf(x)) return x > 0 ? " Inf" : "-Inf";
    return " 0";
  }
  Decimal15 d = toDecimal15(x);
  stripTrailingZeros(d.digits);
  std::string out = d.negative ? "-" : " ";
  const int n = static_cast<int>(d.digits.size());
  if (d.exponent >= 15 || d.exponent < -4) {
    out += d.digits[0];
    if (n > 1) out += "." + d.digits.substr(1);
    return out + fmt::format("E{}{:02d}", d.exponent < 0 ? '-' : '+', std::abs(d.exponent));
  }
  if (d.exponent < 0) {
    // No zero before the point: 0.05 is " .05".
    return out + "." + std::string(static_cast<size_t>(-d.exponent - 1), '0') + d.digits;
  }
  const int integerDigits = d.exponent + 1;
  if (n <= integerDigits) return out + d.digits + std::string(integerDigits - n, '0');
  return out + d.digits.substr(0, integerDigits) + "." + d.digits.substr(integerDigits);
}

std::string FormatOneDecimal(double x) {
  if (!std::isfinite(x)) return Str(x);
  // Tenths as a decimal integer string, rounded half away from zero on the 15-digit value.
  std::string tenths = "0";
  bool negative = false;
  if (x != 0.0) {
    const Decimal15 d = toDecimal15(x);
    negative = d.negative;
    const int dropped = 14 - d.exponent - 1;  // digits beyond the first decimal
    if (dropped <= 0) {
      tenths = d.digits + std::string(static_cast<size_t>(-dropped), '0');
    } else if (dropped <= 15) {
      tenths = d.digits.substr(0, static_cast<size_t>(15 - dropped));
      const char firstDropped = d.digits[static_cast<size_t>(15 - dropped)];
      if (tenths.empty()) tenths = "0";
      if (firstDropped >= '5') {
        int i = static_cast<int>(tenths.size()) - 1;
        for (; i >= 0 && tenths[static_cast<size_t>(i)] == '9'; --i)
          tenths[static_cast<size_t>(i)] = '0';
        if (i < 0) {
          tenths.insert(tenths.begin(), '1');
        } else {
          ++tenths[static_cast<size_t>(i)];
        }
      }
    }
  }
  const size_t nonZero = tenths.find_first_not_of('0');
  if (nonZero == std::string::npos) return "0.";
  tenths.erase(0, nonZero);
  std::string integerPart = tenths.size() > 1 ? tenths.substr(0, tenths.size() - 1) : "0";
  const char decimal = tenths.back();
  std::string out = negative ? "-" : "";
  out += integerPart + ".";
  if (decimal != '0') out += decimal;
  return out;
}

double Int(double x) {
  return std::floor(x);
}

std::int32_t ToInt32(double x) {
  const double r = std::nearbyint(x);
  if (!(r >= static_cast<double>(std::numeric_limits<std::int32_t>::min()) &&
        r <= static_cast<double>(std::numeric_limits<std::int32_t>::max()))) {
    throw RuntimeError(kOverflow);
  }
  return static_cast<std::int32_t>(r);
}

float ToSingle(double x) {
  // Values up to half a unit in the last place above the largest single still round to it;
  // from 2^128 - 2^103 on, the nearest single would be infinite.
  constexpr double kRoundsToInfinity = 0x1p128 - 0x1p103;
  if (!(std::fabs(x) < kRoundsToInfinity)) throw RuntimeError(kOverflow);
  return static_cast<float>(x);
}

double CutDecimals(double x, int decimals) {
  double scale = 1.0;
  for (int i = 0; i < decimals; ++i) scale *= 10.0;
  return Int(x * scale) / scale;
}

}  // namespace kepler
