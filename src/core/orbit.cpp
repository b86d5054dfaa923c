#include "core/orbit.h"

#include <cmath>

#include "core/drawing_surface.h"
#include "core/legacy_number.h"

namespace kepler {

double DegreeAngle(double degrees) {
  return degrees / 360 * kTurn;
}

double FocalRadius(double a, double e, double theta) {
  return a * (1 - e * e) / (1 + e * std::cos(theta));
}

double HalfDegreeStep() {
  return 0.5 / 360 * kTurn;
}

Sweep SweepAt(double a, double e, double theta) {
  const double radius = FocalRadius(a, e, theta);
  const double h = HalfDegreeStep();
  const double next = FocalRadius(a, e, theta + h);
  return {radius, radius * next * std::sin(h)};
}

double StepTime(double angleSweep, double perihelionSweep) {
  return Int(angleSweep / perihelionSweep * 10000) / 10000;
}

double SweepRatio(double aphelionSweep, double perihelionSweep) {
  return Int(aphelionSweep / perihelionSweep * 10) / 10;
}

std::array<double, 361> StepTimes(double a, double e) {
  std::array<double, 361> table{};
  const double perihelion = SweepAt(a, e, kTurn).measure;
  for (int k = 1; k <= 360; ++k)
    table[k] = StepTime(SweepAt(a, e, DegreeAngle(k)).measure, perihelion);
  return table;
}

PlotPoint OrbitPoint(double focusX, double focusY, double radius, double theta) {
  return {Int((focusX - radius * std::cos(theta)) * 10) / 10,
          Int((focusY + radius * std::sin(theta)) * 10) / 10};
}

double SpeedValue(double stepTime) {
  return 10000 / stepTime;
}

double GaugeEnd(double speed) {
  return kGaugeLeft + speed / 50;
}

}  // namespace kepler
