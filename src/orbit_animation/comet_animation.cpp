// The comet on its very eccentric orbit: fast frames that jump degrees near perihelion, medium
// frames, and near aphelion degrees split into sub-frames placed from the orbit equation.
#include "core/comet_plan.h"
#include "core/legacy_number.h"
#include "core/orbit.h"
#include "window/form1.h"

namespace {

constexpr forms::Color kSunYellow = forms::RGB(255, 240, 0);

}  // namespace

void Form1::AnimateCometOrbit() {
  SemiMajorAxis = 300;
  DrawSun(10, 0.5f, kSunYellow);
  Label7.setCaption(QStringLiteral("公転速度　"));
  Image1.setVisible(true);
  for (int j = 160; j <= 560; ++j) {
    OrbitAngle = j;
    if (OrbitAngle > 360) OrbitAngle = OrbitAngle - 360;
    const int loopDegree = OrbitAngle;
    const double s = StepTimeTable(loopDegree);
    const kepler::CometRegime regime = kepler::RegimeOf(s);
    switch (regime) {
      case kepler::CometRegime::Fast: {
        WaitMilliseconds(kepler::FrameWait(regime, StepTimeTable(loopDegree), StepDelayFactor));
        if (ending()) return;
        ShowTableFrame(TableDegree(loopDegree));
        j = j + kepler::FastJump(s);  // with the loop's own step, 3 + Int(25 / s) degrees on
        break;
      }
      case kepler::CometRegime::Slow: {
        const double speed = kepler::SpeedValue(StepTimeTable(loopDegree));
        ShowSpeed(speed);
        DrawSpeedGauge(kepler::SlowGaugeSpeed(speed));
        const int count = kepler::SubFrameCount(s);
        for (int k = 1; k <= count; ++k) {
          WaitMilliseconds(
              kepler::FrameWait(regime, StepTimeTable(TableDegree(loopDegree)), StepDelayFactor));
          if (ending()) return;
          // OrbitAngle is read again in every sub-frame: after a nested run the remaining
          // sub-frames interpolate after the degree that run left.
          const kepler::SubFrame sub = kepler::SubFramePosition(
              TableDegree(loopDegree), k, count, SemiMajorAxis, Eccentricity, FocusX, FocusY);
          OrbitRadius = sub.radius;
          PlaceBody(Image1, sub.point.x, sub.point.y);
        }
        break;
      }
      case kepler::CometRegime::Medium: {
        WaitMilliseconds(kepler::FrameWait(regime, StepTimeTable(loopDegree), StepDelayFactor));
        if (ending()) return;
        ShowTableFrame(TableDegree(loopDegree));
        break;
      }
    }
  }
}
