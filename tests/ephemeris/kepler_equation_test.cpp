#include <cmath>
#include <limits>
#include <numbers>
#include <stdexcept>

#include <gtest/gtest.h>

#include "core/ephemeris.h"

namespace kepler {
namespace {

constexpr double kPi = std::numbers::pi;

TEST(KeplerEquation, ConvergesForEveryEccentricityUpToHalleysComet) {
  const double eccentricities[] = {0.0, 0.0934, 0.2056, 0.5, 0.9, 0.967};
  // Near 0 and near pi are where the start value and the derivative 1 - e cos E are worst.
  const double anomalies[] = {0.0,        1e-9, 1e-4, -1e-4, 0.3, 2.0,
                              kPi - 1e-9, kPi,  -kPi, -3.0,  7.5, -40.0};
  for (double e : eccentricities) {
    for (double m : anomalies) {
      const KeplerSolution s = SolveKepler(m, e);
      EXPECT_TRUE(s.converged) << "e=" << e << " M=" << m;
      EXPECT_LE(s.iterations, kKeplerMaxIterations);
      const double residual = s.eccentric_anomaly - e * std::sin(s.eccentric_anomaly) - m;
      EXPECT_LE(std::fabs(residual), kKeplerTolerance) << "e=" << e << " M=" << m;
    }
  }
}

TEST(KeplerEquation, MeetsHandCheckedAnomalies) {
  // E = pi/2, e = 0.5 gives M = pi/2 - 0.5.
  EXPECT_NEAR(SolveKepler(kPi / 2 - 0.5, 0.5).eccentric_anomaly, kPi / 2, 1e-12);
  // Perihelion and aphelion are fixed points for any e.
  EXPECT_DOUBLE_EQ(SolveKepler(0.0, 0.967).eccentric_anomaly, 0.0);
  EXPECT_NEAR(SolveKepler(kPi, 0.967).eccentric_anomaly, kPi, 1e-12);
  // Meeus, Astronomical Algorithms, 2nd ed., Example 30.a: e = 0.100, M = 5 deg,
  // E = 5.554589 deg.
  const double e_deg = SolveKepler(5.0 * kPi / 180.0, 0.1).eccentric_anomaly * 180.0 / kPi;
  EXPECT_NEAR(e_deg, 5.554589, 1e-6);
  // A whole turn more of M gives a whole turn more of E.
  EXPECT_NEAR(SolveKepler(1.0 + 2 * kPi, 0.3).eccentric_anomaly,
              SolveKepler(1.0, 0.3).eccentric_anomaly + 2 * kPi, 1e-12);
}

TEST(KeplerEquation, RejectsOpenOrbitsAndNonNumbers) {
  EXPECT_THROW(SolveKepler(1.0, 1.0), std::invalid_argument);
  EXPECT_THROW(SolveKepler(1.0, -0.01), std::invalid_argument);
  EXPECT_THROW(SolveKepler(std::numeric_limits<double>::quiet_NaN(), 0.1), std::invalid_argument);
  EXPECT_THROW(SolveKepler(1.0, std::numeric_limits<double>::quiet_NaN()), std::invalid_argument);
}

}  // namespace
}  // namespace kepler
