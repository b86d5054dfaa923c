// Orbit geometry: the sweep measures, the drawn orbit outline and the table of orbit points.
#include "core/legacy_number.h"
#include "core/orbit.h"
#include "window/form1.h"

#include <cmath>

void Form1::ComputePerihelionSweep() {
  const kepler::Sweep sweep = kepler::SweepAt(SemiMajorAxis, Eccentricity, kepler::kTurn);
  OrbitRadius = sweep.radius;
  PerihelionSweep = sweep.measure;
}

void Form1::ComputeAphelionSweep() {
  const kepler::Sweep sweep = kepler::SweepAt(SemiMajorAxis, Eccentricity, kepler::kHalfTurn);
  OrbitRadius = sweep.radius;
  AphelionSweep = sweep.measure;
}

void Form1::ComputeSweepAtAngle(const int& k) {
  const kepler::Sweep sweep = kepler::SweepAt(SemiMajorAxis, Eccentricity, kepler::DegreeAngle(k));
  OrbitRadius = sweep.radius;
  AngleSweep = sweep.measure;
}

namespace {

constexpr forms::Color kBlack = forms::RGB(0, 0, 0);

}  // namespace

void Form1::DrawOrbitOutline(double semiMajorAxis, double centreX) {
  SemiMajorAxis = semiMajorAxis;
  FocusX = centreX - SemiMajorAxis * Eccentricity;
  FocusY = 250;
  const double aspect = std::sqrt(1 - Eccentricity * Eccentricity);
  Picture1.Circle(kepler::ToSingle(centreX), kepler::ToSingle(FocusY),
                  kepler::ToSingle(SemiMajorAxis), kBlack, kepler::ToSingle(aspect));
}

// The planets' ellipse is centred at (300, 250) with the Sun at its left focus.
void Form1::DrawPlanetOrbit() {
  DrawOrbitOutline(200, 300);
}

// The comet's longer ellipse is centred at (350, 250), its Sun 9.9 px from the left end.
void Form1::DrawCometOrbit() {
  DrawOrbitOutline(300, 350);
}

// The body's point for every whole degree; OrbitAngle is the loop counter and ends at 361.
void Form1::ComputeOrbitPoints() {
  for (OrbitAngle = 1; OrbitAngle <= 360; ++OrbitAngle) {
    const double theta = kepler::DegreeAngle(OrbitAngle);
    OrbitRadius = kepler::FocalRadius(SemiMajorAxis, Eccentricity, theta);
    const kepler::PlotPoint point = kepler::OrbitPoint(FocusX, FocusY, OrbitRadius, theta);
    OrbitTable(OrbitAngle, 1) = point.x;
    OrbitTable(OrbitAngle, 2) = point.y;
  }
}
