#include "kepler_equation.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <stdexcept>
#include <string>

namespace kepler {

// Kepler's equation M = E - e sin E (Murray & Dermott, "Solar System Dynamics", 1999, eq. 2.52).
// f(E) = E - e sin E - M rises strictly (f' = 1 - e cos E >= 1 - e > 0), and after reducing M to
// [-pi, pi] its root lies in [M - e, M + e] clipped to [-pi, pi]. Newton's step
// E' = E - f / f' is tried first from Danby's start E0 = M + 0.85 e sign(sin M) (Danby,
// "Fundamentals of Celestial Mechanics", 1988, sec. 6.6); a step that leaves the bracket is
// replaced by bisection, so even e close to 1 converges within the iteration limit.
KeplerSolution SolveKepler(double meanAnomaly, double eccentricity) {
  if (!std::isfinite(meanAnomaly)) {
    throw std::invalid_argument("Kepler's equation: mean anomaly must be finite");
  }
  if (!std::isfinite(eccentricity) || eccentricity < 0.0 || eccentricity >= 1.0) {
    throw std::invalid_argument("Kepler's equation: eccentricity must lie in [0, 1), got " +
                                std::to_string(eccentricity));
  }
  constexpr double kPi = std::numbers::pi;
  const double reduced = std::remainder(meanAnomaly, 2.0 * kPi);
  const double revolutions = meanAnomaly - reduced;

  double lo = std::max(-kPi, reduced - eccentricity);
  double hi = std::min(kPi, reduced + eccentricity);
  const double sign = reduced > 0.0 ? 1.0 : (reduced < 0.0 ? -1.0 : 0.0);
  double eAnom = std::clamp(reduced + 0.85 * eccentricity * sign, lo, hi);

  KeplerSolution solution;
  for (int i = 1; i <= kKeplerMaxIterations; ++i) {
    const double f = eAnom - eccentricity * std::sin(eAnom) - reduced;
    if (f < 0.0) {
      lo = eAnom;
    } else if (f > 0.0) {
      hi = eAnom;
    }
    double next = eAnom - f / (1.0 - eccentricity * std::cos(eAnom));
    if (!(next >= lo && next <= hi)) {
      next = 0.5 * (lo + hi);
    }
    const double step = next - eAnom;
    eAnom = next;
    solution.iterations = i;
    if (std::abs(step) < kKeplerTolerance || f == 0.0) {
      solution.converged = true;
      break;
    }
  }
  solution.eccentricAnomaly = eAnom + revolutions;
  return solution;
}

}  // namespace kepler
