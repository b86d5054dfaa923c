// The scenario buttons: set a demonstration up, show its two ratios, fill the step-time table,
// draw its orbit and run its animation to the end.
#include <string_view>

#include "core/drawing_surface.h"
#include "core/legacy_number.h"
#include "core/orbit.h"
#include "core/picture.h"
#include "core/program_files.h"
#include "window/form1.h"

namespace {

// One scenario button's demonstration: its pictures, in loading order, and its constants.
struct PictureLoad {
  forms::ImageControl Form1::*image;
  std::string_view file;
};
struct ScenarioRow {
  std::vector<PictureLoad> pictures;
  double semiMajorAxis;  // [px]
  double eccentricity;
  int stepDelayFactor;   // [ms per unit of step time]
  double distanceRatio;  // shown, not computed
  int kind;
};

const ScenarioRow kScenarios[8] = {
    {{{&Form1::Image1, kepler::kPlanetPicture}}, kepler::kPlanetSemiMajorAxis, 0, 50, 1, 1},
    {{{&Form1::Image1, kepler::kEarthPicture}}, kepler::kPlanetSemiMajorAxis, 0.0167, 50, 1, 1},
    {{{&Form1::Image1, kepler::kMarsPicture}}, kepler::kPlanetSemiMajorAxis, 0.093, 30, 1.21, 1},
    {{{&Form1::Image1, kepler::kMercuryPicture}}, kepler::kPlanetSemiMajorAxis, 0.206, 30, 1.52, 1},
    {{{&Form1::Image1, kepler::kPlanetPicture}}, kepler::kPlanetSemiMajorAxis, 0.5, 20, 3, 1},
    {{{&Form1::Image1, kepler::kCometPicture}}, kepler::kCometSemiMajorAxis, 0.967, 1, 59.9, 2},
    {{{&Form1::Image1, kepler::kEarthPicture}, {&Form1::Image2, kepler::kMarsPicture}},
     150,
     0.0167,
     1,
     1,
     3},
    {{{&Form1::Image1, kepler::kEarthPicture},
      {&Form1::Image2, kepler::kMercuryPicture},
      {&Form1::Image4, kepler::kVenusPicture}},
     200,
     0.0167,
     1,
     1,
     4},
};

}  // namespace

void Form1::Command1_Click(std::int16_t Index) {
  if (Index < 0 || Index > 7) return;  // the button array has no other index
  const ScenarioRow& row = kScenarios[Index];
  Picture1.Cls();
  Image1.setVisible(false);
  Image2.setVisible(false);
  Image3.setVisible(false);
  Image4.setVisible(false);
  ScenarioKind = 1;
  for (const PictureLoad& load : row.pictures) {
    (this->*load.image).setPicture(kepler::LoadPictureFile(load.file), std::string(load.file));
  }
  SemiMajorAxis = row.semiMajorAxis;
  Eccentricity = row.eccentricity;
  StepDelayFactor = row.stepDelayFactor;
  DistanceRatio = row.distanceRatio;
  ScenarioKind = row.kind;

  ComputePerihelionSweep();
  ComputeAphelionSweep();
  Label4.setCaption("近日点速度/遠日点速度＝ " +
                    kepler::Str(kepler::SweepRatio(AphelionSweep, PerihelionSweep)) + "倍");
  Label5.setCaption("遠日点距離/近日点距離＝ " + kepler::Str(DistanceRatio) + "倍");
  const std::array<double, 361> stepTimes = kepler::StepTimes(SemiMajorAxis, Eccentricity);
  for (int k = 1; k <= 360; ++k) StepTimeTable(k) = stepTimes[static_cast<std::size_t>(k)];
  // The table's last degree leaves its radius and sweep measure in the state.
  ComputeSweepAtAngle(360);

  switch (ScenarioKind) {
    case 1:
      DrawPlanetOrbit();
      ComputeOrbitPoints();
      Image1.setVisible(true);
      AnimatePlanetOrbit();
      break;
    case 2:
      DrawCometOrbit();
      ComputeOrbitPoints();
      Image1.setVisible(true);
      AnimateCometOrbit();
      break;
    case 3:
      ComputeOrbitPoints();
      Image1.setVisible(true);
      Image2.setVisible(true);
      AnimateEarthAndMars();
      break;
    case 4:
      ComputeOrbitPoints();
      Image1.setVisible(true);
      Image2.setVisible(true);
      Image4.setVisible(true);
      AnimateInnerPlanets();
      break;
  }
}
