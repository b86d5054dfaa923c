#pragma once
// The kepler-data tool's logic: its command line and the text of a planet file (records, and
// when asked a few '#' lines after them saying how the file was made). Writes no files itself;
// main() does that, so the parsing and the text can be tested without a process.

#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "ephemeris.h"

namespace kepler::data {

enum class Frame {
  Perihelion,  // longitude reckoned from the planet's longitude of perihelion
  Ecliptic,    // plain ecliptic longitude, J2000
};

struct TableOptions {
  Planet body = Planet::Mars;
  CalendarMinute start{};  // TT; the first record is one step after it
  int records = 0;
  double stepDays = 0.0;  // [day]
  Frame frame = Frame::Perihelion;
  double unitsPerAu = 1.0;   // distance unit: 1 AU is this many
  int distanceDecimals = 3;  // decimals of the distance
  bool comments = false;     // '#' lines on how the file was made, after the records
  std::string outputPath;    // empty: standard output
};

// What a command line asks for: a table, the usage text, or an error (exit status 2).
struct ParsedCommandLine {
  std::optional<TableOptions> options;
  bool help = false;
  std::string error;  // non-empty when the command line is wrong
};

// Parses the arguments after the program name. Options not given take the body's defaults:
// perihelion frame; start at the first midnight on or after 2026-06-01 when the Earth's
// longitude reaches the body's longitude of perihelion; Mars 686 records 1 day apart at 150/1.14
// units per AU, Mercury 439 records 0.2 day apart at 240/0.4645 units per AU, Venus 225 and the
// Earth 365 records 1 day apart in AU. The records must stay within 1800-2050. The distance has
// 3 decimals at the Mars and Mercury defaults (the program's files keep their format: 6
// significant digits at their scale), and otherwise at least 7 significant digits.
ParsedCommandLine ParseCommandLine(const std::vector<std::string>& args);

std::string UsageText();

// Writes the records, and the comment lines if asked for, each ending in LF.
void WriteTable(const TableOptions& options, std::ostream& out);

}  // namespace kepler::data
