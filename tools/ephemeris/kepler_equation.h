#pragma once
// Kepler's equation M = E - e sin E, solved for the eccentric anomaly E of an elliptic orbit.
// The one solver of both tools: the ephemeris places the planets with it, the asset tool draws
// the second law's equal-time sectors with it. Pure arithmetic; no units beyond radians.

namespace kepler {

// The solver stops when a step moves E by less than the tolerance, after this many steps at most.
inline constexpr int kKeplerMaxIterations = 60;
inline constexpr double kKeplerTolerance = 1e-13;  // on the step [rad]

struct KeplerSolution {
  double eccentricAnomaly = 0.0;  // E [rad], in the same revolution as M
  int iterations = 0;             // steps taken
  bool converged = false;  // false when kKeplerMaxIterations steps did not reach the tolerance
};

// Any finite M [rad]; the answer keeps M's revolution, so E(M + 2 pi) = E(M) + 2 pi.
// Throws std::invalid_argument for e outside [0, 1) or a non-finite M.
KeplerSolution SolveKepler(double meanAnomaly, double eccentricity);

}  // namespace kepler
