#include "core/comet_pacing.h"

#include <cmath>

#include "core/legacy_number.h"

namespace kepler {

CometRegime RegimeOf(double stepTime) {
  if (stepTime <= 50) return CometRegime::Fast;
  if (stepTime >= 500) return CometRegime::Slow;
  return CometRegime::Medium;
}

int FastJump(double stepTime) {
  return static_cast<int>(Int(25 / stepTime)) + 2;
}

int SubFrameCount(double stepTime) {
  return static_cast<int>(Int(std::sqrt(stepTime / 50)));
}

std::int32_t FrameWait(CometRegime regime, double stepTime, int factor) {
  switch (regime) {
    case CometRegime::Fast:
      return ToInt32(stepTime * factor);
    case CometRegime::Medium:
      return ToInt32(stepTime * factor / 5);
    case CometRegime::Slow:
      return ToInt32(stepTime * factor / 25);
  }
  return 0;
}

SubFrame SubFramePosition(int degree, int k, int count, double a, double e, double focusX,
                          double focusY) {
  const double d = 1.0 / count;
  const double phi = (degree + k * d) / 360 * kTurn;
  const double radius = FocalRadius(a, e, phi);
  return {radius, OrbitPoint(focusX, focusY, radius, phi)};
}

double SlowGaugeSpeed(double speed) {
  return speed < 100 ? 100 : speed;
}

}  // namespace kepler
