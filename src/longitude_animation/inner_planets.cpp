// Earth and Venus on their circles and Mercury along its recorded positions, a fifth of a day
// per frame for 360 days.
#include "core/data_demo.h"
#include "core/data_files.h"
#include "core/drawing_surface.h"
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
  DrawDataOrbits(mercury.orbitA, mercury.orbitE, {mercury.earthRadius, kVenusRadius});
  LoadLongitudeTable(std::string(mercury.file), mercury.records);
  Label4.setCaption("");
  Image4.setVisible(true);
  Label7.setCaption("");
  Label11.setCaption("");
  // Sectors of 8 days: Mercury's 88-day year in eleven, Venus's 225 in twenty-eight and the
  // Earth's 360 shown days in forty-five, each still wide enough to see.
  constexpr double kSectorFrames = 8 * kFramesPerDay;
  const int sectors = BeginSectors(
      {{"水星", kepler::kSunX, kepler::kSunY, mercury.orbitA, mercury.orbitE, 0, kSectorFrames, 0},
       {"", kepler::kSunX, kepler::kSunY, kVenusRadius, 0, 0, kSectorFrames, 1},
       {"", kepler::kSunX, kepler::kSunY, mercury.earthRadius, 0, 0, kSectorFrames, 2}});

  // The read-out changes every fifth frame; its text is made only then.
  double shownDays = -1;
  std::string dayReadOut;
  // FrameCounter is the loop counter and shared, so read live: after an Earth-and-Mars run inside
  // the wait this loop goes on from 1372, playing the Mars rows that run left in the table.
  for (FrameCounter = 1; FrameCounter <= 1800; ++FrameCounter) {
    const int row = kepler::MercuryRow(FrameCounter);
    const double longitude = LongitudeNumber(row, 1);
    const kepler::PlotPoint planet =
        kepler::RecordPoint(longitude, LongitudeNumber(row, 2), mercury.factor);
    PlaceBody(Image2, planet.x, planet.y);
    const double earthAngle =
        kepler::UniformAngle(FrameCounter, kepler::kEarthDegreesPerDay, kFramesPerDay);
    MoveImage(Image1, kepler::CirclePicturePlace(earthAngle, mercury.earthRadius));
    const double venusAngle = kepler::UniformAngle(FrameCounter, kVenusRate, kFramesPerDay);
    MoveImage(Image4, kepler::CirclePicturePlace(venusAngle, kVenusRadius));
    const double elapsedDays = FrameCounter / static_cast<double>(kFramesPerDay);
    SweepSector(sectors, 0, 1, kepler::TrueAngle(longitude));
    SweepSector(sectors, 1, 1, kepler::TrueAngle(elapsedDays * kVenusRate));
    SweepSector(sectors, 2, 1, kepler::TrueAngle(elapsedDays * kepler::kEarthDegreesPerDay));
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
