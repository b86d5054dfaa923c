// Geometry for the second-law picture: the sectors a planet sweeps in equal times, placed with
// the tools' one Kepler solver. Pure arithmetic in ellipse units; knows nothing about pixels,
// painting or Qt.
#pragma once

#include <vector>

#include "kepler_equation.h"

namespace kepler::assets {

struct Point {
  double x = 0.0;
  double y = 0.0;
};

// An ellipse centred on the origin with its major axis on x. The Sun sits in the focus at
// (+a*e, 0), so the perihelion is (+a, 0) and the aphelion (-a, 0). Lengths in any unit.
struct Ellipse {
  double semiMajor = 1.0;
  double eccentricity = 0.0;

  // Throws std::invalid_argument unless a > 0 and 0 <= e < 1 (both finite).
  void Validate() const;
  double SemiMinor() const;
  Point SunFocus() const;
  Point EmptyFocus() const;
  // Position on the ellipse for eccentric anomaly E [rad]: (a cos E, b sin E).
  Point At(double eccentricAnomaly) const;
};

// The region swept by the Sun-planet line while the mean anomaly runs from
// centre - span/2 to centre + span/2 [rad].
struct Sector {
  double startAnomaly = 0.0;  // eccentric anomaly of the first edge [rad]
  double endAnomaly = 0.0;    // eccentric anomaly of the last edge [rad]
  // Closed outline: the Sun focus, then arcPoints points along the ellipse from start to end.
  std::vector<Point> outline;
};

// Throws std::invalid_argument for a bad ellipse, span outside (0, 2 pi), arcPoints < 2, or if
// Kepler's equation fails to converge (which the safeguarded iteration does not allow).
Sector SweptSector(const Ellipse& ellipse, double centreMeanAnomaly, double span, int arcPoints);

}  // namespace kepler::assets
