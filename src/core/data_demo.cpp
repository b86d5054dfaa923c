#include "core/data_demo.h"

#include <cmath>

#include "core/legacy_number.h"

namespace kepler {

int MarsRow(int frame) {
  return frame <= kMarsRecords ? frame : frame - kMarsRecords;
}

int MercuryRow(int frame) {
  return ((frame - 1) % kMercuryRecords) + 1;
}

PlotPoint RecordPoint(double longitudeDegrees, double distance, double factor) {
  const double theta = longitudeDegrees / 360 * kTurn;
  return {300 - distance * std::cos(theta) * factor, 250 + distance * std::sin(theta) * factor};
}

double UniformAngle(int frame, double degreesPerDay, int framesPerDay) {
  return frame * degreesPerDay / 360 * kTurn / framesPerDay;
}

PlotPoint CirclePicturePlace(double theta, double radius) {
  return {300 - std::cos(theta) * radius - 15, std::sin(theta) * radius + 250 - 15};
}

std::string DayReadOut(double days) {
  return "　　　　　　　　　　　　" + Str(days) + "　日経過";
}

}  // namespace kepler
