#pragma once
// The program's orbit model: the focal radius of a Keplerian ellipse, the sweep measure from
// which each degree's step time follows (Kepler's second law), the table points a body is placed
// at, and the speed read-out and gauge. Pure functions in double precision, each evaluated in
// exactly the order of operations the program has always used, so its tables come out the same
// to the last digit. 6.28 and 3.14 stand for the full and the half turn throughout.

#include <array>
#include <cstdint>

namespace kepler {

inline constexpr double kTurn = 6.28;      // the program's full turn [rad]
inline constexpr double kHalfTurn = 3.14;  // the program's half turn [rad]

// A whole degree k as the program's angle: k / 360 x 6.28 [rad], divided first.
double DegreeAngle(double degrees);

// Focal radius r(theta) = a (1 - e^2) / (1 + e cos theta) [px]: the distance from the Sun at the
// occupied focus to the body at angle theta from perihelion (polar equation of the ellipse).
double FocalRadius(double a, double e, double theta);

// The half-degree step h = 0.5 / 360 x 6.28 [rad].
double HalfDegreeStep();

// Sweep measure S(theta) = (r(theta) x r(theta + h)) x sin h [px^2]: twice the area of the thin
// triangle the Sun-body line sweeps over half a degree. By the second law, S(theta) / S(perihelion)
// is the time the body needs for a degree at theta relative to perihelion.
struct Sweep {
  double radius;   // r(theta), which the program keeps as OrbitRadius
  double measure;  // S(theta)
};
Sweep SweepAt(double a, double e, double theta);

// The step time of a degree: the sweep ratio cut down to four decimals.
double StepTime(double angleSweep, double perihelionSweep);
// The read-out ratio of aphelion to perihelion sweep, cut down to one decimal.
double SweepRatio(double aphelionSweep, double perihelionSweep);

// Step times of degrees 1 to 360 (index 0 unused) for an orbit, as the scenario fills its table.
std::array<double, 361> StepTimes(double a, double e);

// The body's point at angle theta and focal radius r from the focus (fx, fy), each coordinate
// cut down to one decimal: x = fx - r cos theta, y = fy + r sin theta [px]. Angle 0 lies left of
// the focus, 90 degrees below it.
struct PlotPoint {
  double x;
  double y;
};
PlotPoint OrbitPoint(double focusX, double focusY, double radius, double theta);

// Speed value v = 10000 / step time: 10000 at perihelion.
double SpeedValue(double stepTime);
// Right end of the gauge's yellow part: 580 + v / 50 [px].
double GaugeEnd(double speed);

}  // namespace kepler
