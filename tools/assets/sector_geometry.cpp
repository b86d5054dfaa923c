#include "sector_geometry.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <stdexcept>
#include <string>

namespace kepler::assets {

void Ellipse::Validate() const {
  if (!std::isfinite(semiMajor) || semiMajor <= 0.0) {
    throw std::invalid_argument("ellipse: semi-major axis must be positive, got " +
                                std::to_string(semiMajor));
  }
  if (!std::isfinite(eccentricity) || eccentricity < 0.0 || eccentricity >= 1.0) {
    throw std::invalid_argument("ellipse: eccentricity must lie in [0, 1), got " +
                                std::to_string(eccentricity));
  }
}

double Ellipse::SemiMinor() const {
  return semiMajor * std::sqrt(1.0 - eccentricity * eccentricity);
}

Point Ellipse::SunFocus() const {
  return {semiMajor * eccentricity, 0.0};
}

Point Ellipse::EmptyFocus() const {
  return {-semiMajor * eccentricity, 0.0};
}

Point Ellipse::At(double eccentricAnomaly) const {
  return {semiMajor * std::cos(eccentricAnomaly), SemiMinor() * std::sin(eccentricAnomaly)};
}

// The area swept from perihelion to eccentric anomaly E, measured from the focus, is
// (a b / 2)(E - e sin E) = (a b / 2) M (Danby 1988, sec. 6.3), so equal steps of mean anomaly
// (equal times) sweep equal areas wherever they lie on the orbit: Kepler's second law.
Sector SweptSector(const Ellipse& ellipse, double centreMeanAnomaly, double span, int arcPoints) {
  ellipse.Validate();
  if (!std::isfinite(span) || span <= 0.0 || span >= 2.0 * std::numbers::pi) {
    throw std::invalid_argument("sector: span must lie in (0, 2 pi), got " + std::to_string(span));
  }
  if (arcPoints < 2) {
    throw std::invalid_argument("sector: need at least two arc points");
  }
  const KeplerSolution first = SolveKepler(centreMeanAnomaly - 0.5 * span, ellipse.eccentricity);
  const KeplerSolution last = SolveKepler(centreMeanAnomaly + 0.5 * span, ellipse.eccentricity);
  if (!first.converged || !last.converged) {
    throw std::invalid_argument("sector: Kepler's equation did not converge");
  }
  Sector sector;
  sector.startAnomaly = first.eccentricAnomaly;
  sector.endAnomaly = last.eccentricAnomaly;
  sector.outline.reserve(static_cast<std::size_t>(arcPoints) + 1);
  sector.outline.push_back(ellipse.SunFocus());
  for (int i = 0; i < arcPoints; ++i) {
    const double t = static_cast<double>(i) / static_cast<double>(arcPoints - 1);
    sector.outline.push_back(
        ellipse.At(sector.startAnomaly + t * (sector.endAnomaly - sector.startAnomaly)));
  }
  return sector;
}

}  // namespace kepler::assets
