// One body on its Keplerian orbit, a degree per frame, each frame waiting in proportion to the
// area swept there, with the speed read-out and gauge.
#include <array>

#include "core/legacy_number.h"
#include "window/colors.h"
#include "window/form1.h"

void Form1::AnimatePlanetOrbit() {
  DrawSunDisc(FocusX, FocusY, 20, 0.5f, colors::kSun);
  Label7.setCaption("公転速度　");
  Image1.setVisible(true);
  std::array<double, 361> steps{};
  for (int k = 1; k <= 360; ++k) steps[static_cast<std::size_t>(k)] = StepTimeTable(k);
  const int sectors = BeginSectors({{"", FocusX, FocusY, SemiMajorAxis, Eccentricity,
                                     kepler::PlanetTurnTime(steps, StepDelayFactor), 0, 0}});
  // One and a half turns, from a quarter turn after perihelion (straight below the Sun).
  for (int j = 90; j <= 630; ++j) {
    OrbitAngle = j;
    if (OrbitAngle > 360) OrbitAngle = j - 360;
    const int loopDegree = OrbitAngle;
    const std::int32_t wait = kepler::ToInt32(StepTimeTable(loopDegree) * StepDelayFactor);
    WaitMilliseconds(wait);
    if (halted()) return;
    // Live: a scenario clicked during the wait has left its own OrbitAngle and tables.
    ShowTableFrame(TableDegree(loopDegree));
    SweepSector(sectors, 0, wait, kepler::DegreeAngle(TableDegree(loopDegree)));
  }
}
