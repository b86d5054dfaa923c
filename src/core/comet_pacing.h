#pragma once
// The comet's pacing. Its step time runs from 1 at perihelion to about 3550 at aphelion, so it
// does not play one degree per frame with a proportional wait: each degree it reaches falls in
// one of three regimes by its step time s. Fast (s <= 50) plays one frame and jumps several
// degrees on; medium plays one frame with a fifth of the wait; slow (s >= 500) splits the degree
// into sub-frames placed straight from the orbit equation, each with a twenty-fifth of the wait.
// Pure rules here; AnimateCometOrbit applies them to the live scenario state.

#include <cstdint>

#include "core/orbit.h"

namespace kepler {

enum class CometRegime { Fast, Medium, Slow };

CometRegime RegimeOf(double stepTime);

// Fast regime: how far the loop counter moves on besides its own step, Int(25 / s) + 2.
int FastJump(double stepTime);
// Slow regime: the number of sub-frames, Int(sqrt(s / 50)) (at least 3 for s >= 500).
int SubFrameCount(double stepTime);

// The wait of one frame [ms], converted to 32 bits with ties to even:
// fast s x factor, medium s x factor / 5, slow (per sub-frame) s x factor / 25.
std::int32_t FrameWait(CometRegime regime, double stepTime, int factor);

// Where sub-frame k of N within degree `degree` puts the comet: the angle
// (degree + k x (1 / N)) / 360 x 6.28 on the orbit (a, e) around the focus (fx, fy), cut to 0.1.
struct SubFrame {
  double radius;  // focal radius of the sub-frame, kept as OrbitRadius
  PlotPoint point;
};
SubFrame SubFramePosition(int degree, int k, int count, double a, double e, double focusX,
                          double focusY);

// The gauge never shows less than 100 in the slow regime.
double SlowGaugeSpeed(double speed);

}  // namespace kepler
