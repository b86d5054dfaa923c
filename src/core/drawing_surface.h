#pragma once
// Where the demonstrations draw on the 800 x 500 drawing surface [px]: the Sun's place, at which
// the start-up Sun and the data demonstrations' Sun stand and the planets' orbit is centred, the
// size of the single planets' and of the comet's orbit, the shift that centres a body's 30 x 30
// picture on its point, and the speed gauge's left end.

namespace kepler {

inline constexpr double kSunX = 300;
inline constexpr double kSunY = 250;
inline constexpr double kPlanetSemiMajorAxis = 200;
inline constexpr double kCometSemiMajorAxis = 300;
inline constexpr double kPictureShift = 15;
inline constexpr double kGaugeLeft = 580;

}  // namespace kepler
