#pragma once
// The tests' reference model of an uninterrupted comet run: the frames and sub-frames a run over
// a step-time table plays, written straight from the pacing rules, to hold the animation (and
// its totals) against. The program does not run it; AnimateCometOrbit applies the same rules to
// the live scenario state.

#include <array>
#include <cstdint>
#include <vector>

#include "core/comet_pacing.h"

namespace testing_support {

struct CometStep {
  int degree;
  kepler::CometRegime regime;
  int subFrame;  // 1..N in the slow regime, 0 otherwise
  std::int32_t wait;
};

// Degrees 160 to 200 of the next turn; a fast frame jumps Int(25 / s) + 2 degrees besides its own.
inline std::vector<CometStep> PlanCometRun(const std::array<double, 361>& stepTimes, int factor) {
  std::vector<CometStep> plan;
  for (int j = 160; j <= 560; ++j) {
    const int degree = j > 360 ? j - 360 : j;
    const double s = stepTimes[static_cast<std::size_t>(degree)];
    const kepler::CometRegime regime = kepler::RegimeOf(s);
    const std::int32_t wait = kepler::FrameWait(regime, s, factor);
    if (regime == kepler::CometRegime::Slow) {
      for (int k = 1; k <= kepler::SubFrameCount(s); ++k) plan.push_back({degree, regime, k, wait});
      continue;
    }
    plan.push_back({degree, regime, 0, wait});
    if (regime == kepler::CometRegime::Fast) j += kepler::FastJump(s);
  }
  return plan;
}

}  // namespace testing_support
