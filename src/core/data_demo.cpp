#include "core/data_demo.h"

#include <cmath>

#include "core/data_files.h"
#include "core/drawing_surface.h"
#include "core/legacy_number.h"

namespace kepler {

int MarsRow(int frame) {
  return frame <= kRecordedMars.records ? frame : frame - kRecordedMars.records;
}

int MercuryRow(int frame) {
  return ((frame - 1) % kRecordedMercury.records) + 1;
}

PlotPoint RecordPoint(double longitudeDegrees, double distance, double factor) {
  const double theta = longitudeDegrees / 360 * kTurn;
  return {kSunX - distance * std::cos(theta) * factor, kSunY + distance * std::sin(theta) * factor};
}

double UniformAngle(int frame, double degreesPerDay, int framesPerDay) {
  return frame * degreesPerDay / 360 * kTurn / framesPerDay;
}

PlotPoint CirclePicturePlace(double theta, double radius) {
  return {kSunX - std::cos(theta) * radius - kPictureShift,
          std::sin(theta) * radius + kSunY - kPictureShift};
}

std::string DayReadOut(double days) {
  return "　　　　　　　　　　　　" + Str(days) + "　日経過";
}

}  // namespace kepler
