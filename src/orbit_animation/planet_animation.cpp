// One body on its Keplerian orbit, a degree per frame, each frame waiting in proportion to the
// area swept there, with the speed read-out and gauge.
#include "core/legacy_number.h"
#include "window/colours.h"
#include "window/form1.h"

void Form1::AnimatePlanetOrbit() {
  DrawSunDisc(FocusX, FocusY, 20, 0.5f, colours::kSun);
  Label7.setCaption("公転速度　");
  Image1.setVisible(true);
  // One and a half turns, from a quarter turn after perihelion (straight below the Sun).
  for (int j = 90; j <= 630; ++j) {
    OrbitAngle = j;
    if (OrbitAngle > 360) OrbitAngle = j - 360;
    const int loopDegree = OrbitAngle;
    WaitMilliseconds(kepler::ToInt32(StepTimeTable(loopDegree) * StepDelayFactor));
    if (halted()) return;
    // Live: a scenario clicked during the wait has left its own OrbitAngle and tables.
    ShowTableFrame(TableDegree(loopDegree));
  }
}
