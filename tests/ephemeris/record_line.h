#pragma once
// A strict reader of one planet-file record for the tests: "YYYY-MM-DDTHH:MM",L.LLLL,D.DDD with
// nothing else on the line. It checks the format the tool promises, not the program's looser one.

#include <charconv>
#include <optional>
#include <string_view>

#include "core/ephemeris.h"

namespace kepler {

struct RecordLine {
  CalendarMinute instant;
  double longitude;  // [deg]
  double distance;   // [file units]
};

// Digits, a point and exactly `decimals` digits; returns the value.
inline std::optional<double> ReadFixed(std::string_view text, std::size_t decimals) {
  const std::size_t point = text.find('.');
  if (point == 0 || point == std::string_view::npos || text.size() - point - 1 != decimals) {
    return std::nullopt;
  }
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (i != point && (text[i] < '0' || text[i] > '9')) return std::nullopt;
  }
  double value = 0.0;
  std::from_chars(text.data(), text.data() + text.size(), value);
  return value;
}

inline std::optional<RecordLine> ReadRecordLine(std::string_view line) {
  if (line.size() < 19 || line[0] != '"' || line[17] != '"' || line[18] != ',') return std::nullopt;
  const auto instant = ParseInstant(line.substr(1, 16));
  const std::string_view rest = line.substr(19);
  const std::size_t comma = rest.find(',');
  if (!instant || comma == std::string_view::npos) {
    return std::nullopt;
  }
  const auto longitude = ReadFixed(rest.substr(0, comma), 4);
  const auto distance = ReadFixed(rest.substr(comma + 1), 3);
  if (!longitude || !distance || *longitude >= 360.0) return std::nullopt;
  return RecordLine{*instant, *longitude, *distance};
}

}  // namespace kepler
