// Geometry for the second-law picture: Kepler's equation and the sectors a planet sweeps in equal
// times. Pure arithmetic in ellipse units; knows nothing about pixels, painting or Qt.
#pragma once

#include <vector>

namespace kepler::assets {

struct Point {
  double x = 0.0;
  double y = 0.0;
};

// An ellipse centred on the origin with its major axis on x. The Sun sits in the focus at
// (+a*e, 0), so the perihelion is (+a, 0) and the aphelion (-a, 0). Lengths in any unit.
struct Ellipse {
  double semi_major = 1.0;
  double eccentricity = 0.0;

  // Throws std::invalid_argument unless a > 0 and 0 <= e < 1 (both finite).
  void Validate() const;
  double SemiMinor() const;
  Point SunFocus() const;
  Point EmptyFocus() const;
  // Position on the ellipse for eccentric anomaly E [rad]: (a cos E, b sin E).
  Point At(double eccentric_anomaly) const;
};

struct KeplerSolution {
  double eccentric_anomaly = 0.0;  // [rad]
  int iterations = 0;
  bool converged = false;
};

inline constexpr int kKeplerMaxIterations = 60;
inline constexpr double kKeplerTolerance = 1e-13;  // [rad]

// Solves M = E - e sin E for E. Any finite M [rad]; the answer keeps M's revolution, so
// E(M + 2 pi) = E(M) + 2 pi. Throws std::invalid_argument for e outside [0, 1) or non-finite M.
KeplerSolution SolveKepler(double mean_anomaly, double eccentricity);

// The region swept by the Sun-planet line while the mean anomaly runs from
// centre - span/2 to centre + span/2 [rad].
struct Sector {
  double start_anomaly = 0.0;  // eccentric anomaly of the first edge [rad]
  double end_anomaly = 0.0;    // eccentric anomaly of the last edge [rad]
  // Closed outline: the Sun focus, then arc_points points along the ellipse from start to end.
  std::vector<Point> outline;
};

// Throws std::invalid_argument for a bad ellipse, span outside (0, 2 pi), arc_points < 2, or if
// Kepler's equation fails to converge (which the safeguarded iteration does not allow).
Sector SweptSector(const Ellipse& ellipse, double centre_mean_anomaly, double span, int arc_points);

}  // namespace kepler::assets
