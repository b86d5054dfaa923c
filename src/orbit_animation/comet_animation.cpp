// The comet on its very eccentric orbit: fast frames that jump degrees near perihelion, medium
// frames, and near aphelion degrees split into sub-frames placed from the orbit equation.
#include <array>

#include "core/comet_pacing.h"
#include "core/drawing_surface.h"
#include "core/orbit.h"
#include "window/colors.h"
#include "window/form1.h"

void Form1::AnimateCometOrbit() {
  SemiMajorAxis = kepler::kCometSemiMajorAxis;
  DrawSunDisc(FocusX, FocusY, 10, 0.5f, colors::kSun);
  Label7.setCaption("公転速度　");
  Image1.setVisible(true);
  std::array<double, 361> steps{};
  for (int k = 1; k <= 360; ++k) steps[static_cast<std::size_t>(k)] = StepTimeTable(k);
  const int sectors = BeginSectors({{"", FocusX, FocusY, SemiMajorAxis, Eccentricity,
                                     kepler::CometTurnTime(steps, StepDelayFactor), 0, 0}});
  for (int j = 160; j <= 560; ++j) {
    OrbitAngle = j;
    if (OrbitAngle > 360) OrbitAngle = OrbitAngle - 360;
    const int loopDegree = OrbitAngle;
    // Read once, before the degree's first wait: its regime, its jump, its read-out and the number
    // of its sub-frames hold for the whole degree, whatever a nested run leaves in the table.
    const double s = StepTimeTable(loopDegree);
    const kepler::CometRegime regime = kepler::RegimeOf(s);
    switch (regime) {
      case kepler::CometRegime::Fast: {
        const std::int32_t wait = kepler::FrameWait(regime, s, StepDelayFactor);
        WaitMilliseconds(wait);
        if (halted()) return;
        ShowTableFrame(TableDegree(loopDegree));  // live, after the wait
        SweepSector(sectors, 0, wait, kepler::DegreeAngle(TableDegree(loopDegree)));
        j = j + kepler::FastJump(s);  // with the loop's own step, 3 + Int(25 / s) degrees on
        break;
      }
      case kepler::CometRegime::Slow: {
        const double speed = kepler::SpeedValue(s);
        ShowSpeed(speed);
        DrawSpeedGauge(kepler::SlowGaugeSpeed(speed));
        const int count = kepler::SubFrameCount(s);
        for (int k = 1; k <= count; ++k) {
          // Live, every sub-frame: the step time, the factor, the degree and the orbit as the
          // previous wait left them. After a nested run the remaining sub-frames interpolate after
          // the degree that run left, on its orbit.
          const std::int32_t wait =
              kepler::FrameWait(regime, LiveStepTime(loopDegree), StepDelayFactor);
          WaitMilliseconds(wait);
          if (halted()) return;
          const kepler::SubFrame sub = kepler::SubFramePosition(
              TableDegree(loopDegree), k, count, SemiMajorAxis, Eccentricity, FocusX, FocusY);
          OrbitRadius = sub.radius;
          PlaceBody(Image1, sub.point.x, sub.point.y);
          SweepSector(sectors, 0, wait,
                      kepler::DegreeAngle(TableDegree(loopDegree) + k * (1.0 / count)));
        }
        break;
      }
      case kepler::CometRegime::Medium: {
        const std::int32_t wait = kepler::FrameWait(regime, s, StepDelayFactor);
        WaitMilliseconds(wait);
        if (halted()) return;
        ShowTableFrame(TableDegree(loopDegree));  // live, after the wait
        SweepSector(sectors, 0, wait, kepler::DegreeAngle(TableDegree(loopDegree)));
        break;
      }
    }
  }
}
