// Earth and Venus on their circles and Mercury along its recorded positions, a fifth of a day
// per frame for 360 days.
#include "core/data_demo.h"
#include "core/data_files.h"
#include "core/legacy_number.h"
#include "window/form1.h"

#include <string>

namespace {

constexpr double kVenusRadius = 173.6;  // [px]
constexpr double kVenusRate = 1.6;      // [deg per day]
constexpr int kFramesPerDay = 5;

}  // namespace

void Form1::AnimateInnerPlanets() {
  const kepler::RecordedPlanet& mercury = kepler::kRecordedMercury;
  DrawDataOrbits(92.78, 0.20563069, {mercury.earthRadius, kVenusRadius});
  LoadLongitudeTable(ProgramFileName(mercury.file), mercury.records);
  Label4.setCaption("");
  Image4.setVisible(true);
  Label7.setCaption("");
  Label11.setCaption("");

  // The read-out changes every fifth frame; its text is made only then.
  double shownDays = -1;
  std::string dayReadOut;
  // FrameCounter is the loop counter and shared, so read live: after an Earth-and-Mars run inside
  // the wait this loop goes on from 1372, playing the Mars rows that run left in the table.
  for (FrameCounter = 1; FrameCounter <= 1800; ++FrameCounter) {
    const int row = kepler::MercuryRow(FrameCounter);
    const kepler::PlotPoint planet =
        kepler::RecordPoint(LongitudeNumber(row, 1), LongitudeNumber(row, 2), mercury.factor);
    PlaceBody(Image2, planet.x, planet.y);
    const kepler::PlotPoint earth = kepler::CirclePicturePlace(
        kepler::UniformAngle(FrameCounter, kepler::kEarthDegreesPerDay, kFramesPerDay),
        mercury.earthRadius);
    MoveImage(Image1, earth);
    const kepler::PlotPoint venus = kepler::CirclePicturePlace(
        kepler::UniformAngle(FrameCounter, kVenusRate, kFramesPerDay), kVenusRadius);
    MoveImage(Image4, venus);
    WaitMilliseconds(3);
    if (halted()) return;
    const double days = kepler::Int(FrameCounter / static_cast<double>(kFramesPerDay));
    if (days != shownDays) {
      shownDays = days;
      dayReadOut = kepler::DayReadOut(days);
    }
    Label5.setCaption(dayReadOut);
  }
}
