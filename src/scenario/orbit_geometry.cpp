// Orbit geometry: the sweep measures, the drawn orbit outlines and the table of orbit points.
#include <cmath>

#include "core/drawing_surface.h"
#include "core/legacy_number.h"
#include "core/orbit.h"
#include "window/colors.h"
#include "window/form1.h"

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

void Form1::DrawOrbitEllipse(double centreX) {
  const double aspect = std::sqrt(1 - Eccentricity * Eccentricity);
  Picture1.Circle(kepler::ToSingle(centreX), kepler::ToSingle(FocusY),
                  kepler::ToSingle(SemiMajorAxis), colors::kOrbitLine, kepler::ToSingle(aspect));
}

void Form1::DrawOrbitOutline(double semiMajorAxis, double centreX) {
  SemiMajorAxis = semiMajorAxis;
  FocusX = centreX - SemiMajorAxis * Eccentricity;
  FocusY = kepler::kSunY;
  DrawOrbitEllipse(centreX);
}

// The planets' ellipse is centred at the Sun's start-up place, (300, 250), with the Sun at its
// left focus.
void Form1::DrawPlanetOrbit() {
  DrawOrbitOutline(kepler::kPlanetSemiMajorAxis, kepler::kSunX);
}

// The comet's longer ellipse is centred at (350, 250), its Sun 9.9 px from the left end.
void Form1::DrawCometOrbit() {
  DrawOrbitOutline(kepler::kCometSemiMajorAxis, 350);
}

// The recorded planet's ellipse lies right of the Sun at (300, 250), which stands at its left
// focus; FocusX holds the ellipse's centre here. The uniform planets' circles and the Sun follow.
void Form1::DrawDataOrbits(double semiMajorAxis, double eccentricity,
                           std::initializer_list<double> circles) {
  SemiMajorAxis = semiMajorAxis;
  Eccentricity = eccentricity;
  FocusX = Eccentricity * SemiMajorAxis + kepler::kSunX;
  FocusY = kepler::kSunY;
  DrawOrbitEllipse(FocusX);
  const float sunX = kepler::ToSingle(kepler::kSunX);
  const float sunY = kepler::ToSingle(kepler::kSunY);
  for (const double radius : circles) Picture1.Circle(sunX, sunY, kepler::ToSingle(radius));
  DrawSunDisc(kepler::kSunX, kepler::kSunY, 10, 1.0f, colors::kDataSun);
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
