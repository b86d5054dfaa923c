// Earth on its circle and Mars along its recorded positions, a day per frame for 1370 days.
#include "core/data_demo.h"
#include "core/data_files.h"
#include "core/drawing_surface.h"
#include "core/legacy_number.h"
#include "window/form1.h"

void Form1::AnimateEarthAndMars() {
  const kepler::RecordedPlanet& mars = kepler::kRecordedMars;
  DrawDataOrbits(mars.orbitA, mars.orbitE, {mars.earthRadius});
  LoadLongitudeTable(std::string(mars.file), mars.records);
  Label4.setCaption("");
  Label7.setCaption("");
  Label11.setCaption("");
  // Sectors of 30 days: Earth's year in twelve, of a month each, and Mars's in twenty-three.
  constexpr double kSectorDays = 30;
  const int sectors = BeginSectors(
      {{"火星", kepler::kSunX, kepler::kSunY, mars.orbitA, mars.orbitE, 0, kSectorDays, 0},
       {"", kepler::kSunX, kepler::kSunY, mars.earthRadius, 0, 0, kSectorDays, 2}});

  // FrameCounter is the loop counter and shared, so read live: a data demonstration run inside
  // the wait leaves it past the end.
  for (FrameCounter = 1; FrameCounter <= 1370; ++FrameCounter) {
    const int row = kepler::MarsRow(FrameCounter);
    const double longitude = LongitudeNumber(row, 1);
    const kepler::PlotPoint planet =
        kepler::RecordPoint(longitude, LongitudeNumber(row, 2), mars.factor);
    PlaceBody(Image2, planet.x, planet.y);
    const double earthAngle = kepler::UniformAngle(FrameCounter, kepler::kEarthDegreesPerDay, 1);
    const kepler::PlotPoint earth = kepler::CirclePicturePlace(earthAngle, mars.earthRadius);
    MoveImage(Image1, earth);
    SweepSector(sectors, 0, 1, kepler::TrueAngle(longitude));
    SweepSector(sectors, 1, 1, kepler::TrueAngle(FrameCounter * kepler::kEarthDegreesPerDay));
    WaitMilliseconds(30);
    if (halted()) return;
    Label5.setCaption(kepler::DayReadOut(FrameCounter));
  }
}
