#pragma once
// The tests' reference model of an uninterrupted comet run: the frames and sub-frames a run over
// a step-time table plays, written out here from the pacing rules themselves (not through the
// program's functions), to hold the animation and its totals against.
//   s <= 50       fast: one frame waiting s ms, then Int(25 / s) + 2 degrees more are skipped;
//   50 < s < 500  medium: one frame waiting s / 5 ms;
//   s >= 500      slow: Int(sqrt(s / 50)) sub-frames waiting s / 25 ms each.
// Waits are rounded to the nearest integer, ties to even (the default rounding mode).

#include <array>
#include <cmath>
#include <cstdint>
#include <vector>

namespace testing_support {

struct CometStep {
  int degree;
  bool slow;
  std::int32_t wait;
};

// Degrees 160 to 200 of the next turn.
inline std::vector<CometStep> PlanCometRun(const std::array<double, 361>& stepTimes, int factor) {
  std::vector<CometStep> plan;
  for (int j = 160; j <= 560; ++j) {
    const int degree = j > 360 ? j - 360 : j;
    const double s = stepTimes[static_cast<std::size_t>(degree)];
    const double divisor = s <= 50 ? 1 : s < 500 ? 5 : 25;
    const auto wait = static_cast<std::int32_t>(std::nearbyint(s * factor / divisor));
    const int frames = s >= 500 ? static_cast<int>(std::floor(std::sqrt(s / 50))) : 1;
    for (int k = 0; k < frames; ++k) plan.push_back({degree, s >= 500, wait});
    if (s <= 50) j += static_cast<int>(std::floor(25 / s)) + 2;
  }
  return plan;
}

}  // namespace testing_support
