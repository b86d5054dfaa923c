#include "core/comet_plan.h"

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

std::vector<CometStep> PlanCometRun(const std::array<double, 361>& stepTimes, int factor) {
  std::vector<CometStep> plan;
  for (int j = 160; j <= 560; ++j) {
    const int degree = j > 360 ? j - 360 : j;
    const double s = stepTimes[static_cast<std::size_t>(degree)];
    const CometRegime regime = RegimeOf(s);
    if (regime == CometRegime::Slow) {
      const int count = SubFrameCount(s);
      for (int k = 1; k <= count; ++k)
        plan.push_back({degree, regime, k, FrameWait(regime, s, factor)});
      continue;
    }
    plan.push_back({degree, regime, 0, FrameWait(regime, s, factor)});
    if (regime == CometRegime::Fast) j += FastJump(s);
  }
  return plan;
}

}  // namespace kepler
