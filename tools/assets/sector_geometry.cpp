#include "sector_geometry.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <stdexcept>
#include <string>

namespace kepler::assets {

void Ellipse::Validate() const {
  if (!std::isfinite(semi_major) || semi_major <= 0.0) {
    throw std::invalid_argument("ellipse: semi-major axis must be positive, got " +
                                std::to_string(semi_major));
  }
  if (!std::isfinite(eccentricity) || eccentricity < 0.0 || eccentricity >= 1.0) {
    throw std::invalid_argument("ellipse: eccentricity must lie in [0, 1), got " +
                                std::to_string(eccentricity));
  }
}

double Ellipse::SemiMinor() const {
  return semi_major * std::sqrt(1.0 - eccentricity * eccentricity);
}

Point Ellipse::SunFocus() const {
  return {semi_major * eccentricity, 0.0};
}

Point Ellipse::EmptyFocus() const {
  return {-semi_major * eccentricity, 0.0};
}

Point Ellipse::At(double eccentric_anomaly) const {
  return {semi_major * std::cos(eccentric_anomaly), SemiMinor() * std::sin(eccentric_anomaly)};
}

// Kepler's equation M = E - e sin E (Murray & Dermott, "Solar System Dynamics", 1999, eq. 2.52).
// f(E) = E - e sin E - M rises strictly (f' = 1 - e cos E >= 1 - e > 0), and after reducing M to
// [-pi, pi] its root lies in [M - e, M + e] clipped to [-pi, pi]. Newton's step
// E' = E - f / f' is tried first from Danby's start E0 = M + 0.85 e sign(sin M) (Danby,
// "Fundamentals of Celestial Mechanics", 1988, sec. 6.6); a step that leaves the bracket is
// replaced by bisection, so even e close to 1 converges within the iteration limit.
KeplerSolution SolveKepler(double mean_anomaly, double eccentricity) {
  if (!std::isfinite(mean_anomaly)) {
    throw std::invalid_argument("Kepler's equation: mean anomaly must be finite");
  }
  if (!std::isfinite(eccentricity) || eccentricity < 0.0 || eccentricity >= 1.0) {
    throw std::invalid_argument("Kepler's equation: eccentricity must lie in [0, 1), got " +
                                std::to_string(eccentricity));
  }
  constexpr double kPi = std::numbers::pi;
  const double reduced = std::remainder(mean_anomaly, 2.0 * kPi);
  const double revolutions = mean_anomaly - reduced;

  double lo = std::max(-kPi, reduced - eccentricity);
  double hi = std::min(kPi, reduced + eccentricity);
  const double sign = reduced > 0.0 ? 1.0 : (reduced < 0.0 ? -1.0 : 0.0);
  double e_anom = std::clamp(reduced + 0.85 * eccentricity * sign, lo, hi);

  KeplerSolution solution;
  for (int i = 1; i <= kKeplerMaxIterations; ++i) {
    const double f = e_anom - eccentricity * std::sin(e_anom) - reduced;
    if (f < 0.0) {
      lo = e_anom;
    } else if (f > 0.0) {
      hi = e_anom;
    }
    double next = e_anom - f / (1.0 - eccentricity * std::cos(e_anom));
    if (!(next >= lo && next <= hi)) {
      next = 0.5 * (lo + hi);
    }
    const double step = next - e_anom;
    e_anom = next;
    solution.iterations = i;
    if (std::abs(step) < kKeplerTolerance || f == 0.0) {
      solution.converged = true;
      break;
    }
  }
  solution.eccentric_anomaly = e_anom + revolutions;
  return solution;
}

// The area swept from perihelion to eccentric anomaly E, measured from the focus, is
// (a b / 2)(E - e sin E) = (a b / 2) M (Danby 1988, sec. 6.3), so equal steps of mean anomaly
// (equal times) sweep equal areas wherever they lie on the orbit: Kepler's second law.
Sector SweptSector(const Ellipse& ellipse, double centre_mean_anomaly, double span,
                   int arc_points) {
  ellipse.Validate();
  if (!std::isfinite(span) || span <= 0.0 || span >= 2.0 * std::numbers::pi) {
    throw std::invalid_argument("sector: span must lie in (0, 2 pi), got " + std::to_string(span));
  }
  if (arc_points < 2) {
    throw std::invalid_argument("sector: need at least two arc points");
  }
  const KeplerSolution first = SolveKepler(centre_mean_anomaly - 0.5 * span, ellipse.eccentricity);
  const KeplerSolution last = SolveKepler(centre_mean_anomaly + 0.5 * span, ellipse.eccentricity);
  if (!first.converged || !last.converged) {
    throw std::invalid_argument("sector: Kepler's equation did not converge");
  }
  Sector sector;
  sector.start_anomaly = first.eccentric_anomaly;
  sector.end_anomaly = last.eccentric_anomaly;
  sector.outline.reserve(static_cast<std::size_t>(arc_points) + 1);
  sector.outline.push_back(ellipse.SunFocus());
  for (int i = 0; i < arc_points; ++i) {
    const double t = static_cast<double>(i) / static_cast<double>(arc_points - 1);
    sector.outline.push_back(
        ellipse.At(sector.start_anomaly + t * (sector.end_anomaly - sector.start_anomaly)));
  }
  return sector;
}

}  // namespace kepler::assets
