#pragma once
// The arithmetic of the two data demonstrations: which record a frame plays, where a recorded
// longitude and distance put the planet, where the uniformly moving planets stand, and the day
// read-out. Pure functions in the program's order of operations; 6.28 stands for the full turn.

#include <string>

#include "core/orbit.h"

namespace kepler {

// The Earth's uniform motion on its circle in both data demonstrations [deg per day].
inline constexpr double kEarthDegreesPerDay = 0.986;

// Earth and Mars: days 1..686 play rows 1..686, days 687..1370 rows 1..684 again.
int MarsRow(int frame);
// Inner planets: rows 1..439 in turn, ((frame - 1) mod 439) + 1.
int MercuryRow(int frame);

// The planet's point from a record: x = 300 - d cos(L / 360 x 6.28) factor,
// y = 250 + d sin(L / 360 x 6.28) factor [px], the Sun at (300, 250).
PlotPoint RecordPoint(double longitudeDegrees, double distance, double factor);

// Angle of a planet in uniform circular motion at `frame`: frame x rate / 360 x 6.28 / framesPerDay
// [rad], rate in degrees per day.
double UniformAngle(int frame, double degreesPerDay, int framesPerDay);

// Top-left corner of a 30 x 30 picture centred on a circle of `radius` around the Sun at angle
// theta: Left = 300 - cos theta x radius - 15, Top = sin theta x radius + 250 - 15 [px].
PlotPoint CirclePicturePlace(double theta, double radius);

// "　　　　　　　　　　　　" + Str(days) + "　日経過", UTF-8.
std::string DayReadOut(double days);

}  // namespace kepler
