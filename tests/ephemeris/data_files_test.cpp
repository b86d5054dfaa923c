#include <algorithm>
#include <cmath>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "core/ephemeris.h"
#include "record_line.h"

namespace kepler {
namespace {

using Record = RecordLine;

struct PlanetFile {
  std::vector<Record> records;  // the lines before the first '#' line
  std::vector<std::string> trailer;
  std::string text;
};

PlanetFile Load(const std::string& name) {
  PlanetFile file;
  std::ifstream in(std::string(KEPLER_ASSET_DIR) + "/" + name, std::ios::binary);
  std::ostringstream all;
  all << in.rdbuf();
  file.text = all.str();
  std::istringstream lines(file.text);
  for (std::string line; std::getline(lines, line);) {
    if (!file.trailer.empty() || line.starts_with("#")) {
      file.trailer.push_back(line);
    } else if (const auto record = ReadRecordLine(line)) {
      file.records.push_back(*record);
    } else {
      ADD_FAILURE() << name << ": not a record: " << line;
    }
  }
  return file;
}

// How the program plays a record: theta = L / 360 x 6.28 (its full turn), the planet at
// x = 300 - d cos(theta) f, y = 250 + d sin(theta) f [px].
struct Point {
  double x, y;
};
Point Plot(const Record& r, double factor) {
  const double theta = r.longitude / 360.0 * 6.28;
  return {300.0 - r.distance * std::cos(theta) * factor,
          250.0 + r.distance * std::sin(theta) * factor};
}

// The orbit the program draws: an ellipse centred at (300 + e a, 250) with semi-axes a and
// a sqrt(1 - e^2) [px], the Sun at its left focus. The distance of a point near it is
// |F| / |grad F| for F = u^2 + v^2 - 1, exact to first order in the distance.
double PixelsOffEllipse(Point p, double a, double e) {
  const double b = a * std::sqrt(1.0 - e * e);
  const double u = (p.x - (300.0 + e * a)) / a;
  const double v = (p.y - 250.0) / b;
  return std::fabs(u * u + v * v - 1.0) / std::hypot(2.0 * u / a, 2.0 * v / b);
}

void ExpectOnEllipse(const PlanetFile& file, double factor, double a, double e) {
  double worst = 0.0;
  for (const Record& r : file.records)
    worst = std::max(worst, PixelsOffEllipse(Plot(r, factor), a, e));
  EXPECT_LE(worst, 1.0);
}

// N records one step apart, then only '#' lines, LF line ends.
void ExpectShape(const PlanetFile& file, std::size_t records, double step_days) {
  EXPECT_EQ(file.records.size(), records);
  EXPECT_FALSE(file.trailer.empty());
  for (const std::string& line : file.trailer) EXPECT_TRUE(line.starts_with("#")) << line;
  EXPECT_EQ(file.text.find('\r'), std::string::npos);
  for (std::size_t i = 1; i < file.records.size(); ++i) {
    const double step =
        JulianDate(file.records[i].instant) - JulianDate(file.records[i - 1].instant);
    EXPECT_NEAR(step, step_days, 1.0 / 1440.0) << FormatInstant(file.records[i].instant);
  }
}

TEST(MarsFile, HoldsExactly686DailyRecordsThenTheTrailer) {
  ExpectShape(Load("kasei-kouten-Koukei.dat"), 686, 1.0);
}

TEST(MarsFile, EveryPointLiesOnTheDrawnOrbit) {
  // 228.53 px semi-major axis, e = 0.093; perihelion 207.28 px, aphelion 249.78 px.
  ExpectOnEllipse(Load("kasei-kouten-Koukei.dat"), 1.14, 228.53, 0.093);
}

TEST(MarsFile, OppositionOf2027FebruaryLinesMarsUpWithTheEarthCircle) {
  const PlanetFile file = Load("kasei-kouten-Koukei.dat");
  for (std::size_t i = 0; i < file.records.size(); ++i) {
    if (file.records[i].instant == CalendarMinute{2027, 2, 19, 0, 0}) {
      const double day = static_cast<double>(i + 1);  // record n is frame n, day n
      const double earth = day * 0.986;               // the program's uniform Earth [deg]
      EXPECT_LE(std::fabs(std::remainder(file.records[i].longitude - earth, 360.0)), 4.0);
      return;
    }
  }
  ADD_FAILURE() << "no record for 2027-02-19T00:00";
}

TEST(MercuryFile, HoldsExactly439RecordsAFifthOfADayApartThenTheTrailer) {
  ExpectShape(Load("Suisei-kouten-Koukei.dat"), 439, 0.2);
}

TEST(MercuryFile, EveryPointLiesOnTheDrawnOrbit) {
  // 92.78 px semi-major axis, e = 0.20563069; nearest 73.70 px, farthest 111.86 px.
  ExpectOnEllipse(Load("Suisei-kouten-Koukei.dat"), 0.4645, 92.78, 0.20563069);
}

}  // namespace
}  // namespace kepler
