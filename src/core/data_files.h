#pragma once
// The two data files of recorded positions and the figures they are made to: how many records
// the program reads, how far apart in time they lie, and how their distance unit becomes pixels.
// kepler-data writes the files to these figures and the program plays them with the same ones.

#include <string_view>

#include "core/program_files.h"

namespace kepler {

struct RecordedPlanet {
  std::string_view file;
  int records;         // records the program reads, one a frame
  double stepDays;     // [day] from one record to the next
  double earthRadius;  // [px] the Earth's circle beside the planet: 1 AU on the drawing surface
  double factor;       // [px per file unit]: the program draws distance x factor
  double orbitA;       // [px] the drawn orbit: semi-major axis, with the Sun at its left focus
  double orbitE;       //      and eccentricity

  // The file's distance unit: 1 AU is earthRadius / factor units, so that distance x factor
  // is pixels on the scale of the Earth's circle.
  constexpr double unitsPerAu() const { return earthRadius / factor; }
};

inline constexpr RecordedPlanet kRecordedMars{kMarsData, 686, 1.0, 150, 1.14, 228.53, 0.093};
inline constexpr RecordedPlanet kRecordedMercury{kMercuryData, 439,   0.2,       240,
                                                 0.4645,       92.78, 0.20563069};

}  // namespace kepler
