// Earth on its circle and Mars along its recorded positions, a day per frame for 1370 days.
#include "core/data_demo.h"
#include "core/data_files.h"
#include "core/legacy_number.h"
#include "window/form1.h"

void Form1::AnimateEarthAndMars() {
  const kepler::RecordedPlanet& mars = kepler::kRecordedMars;
  DrawDataOrbits(228.53, 0.093, {mars.earthRadius});
  LoadLongitudeTable(ProgramFileName(mars.file), mars.records);
  Label4.setCaption("");
  Label7.setCaption("");
  Label11.setCaption("");

  // FrameCounter is the loop counter and shared, so read live: a data demonstration run inside
  // the wait leaves it past the end.
  for (FrameCounter = 1; FrameCounter <= 1370; ++FrameCounter) {
    const int row = kepler::MarsRow(FrameCounter);
    const kepler::PlotPoint planet =
        kepler::RecordPoint(LongitudeNumber(row, 1), LongitudeNumber(row, 2), mars.factor);
    PlaceBody(Image2, planet.x, planet.y);
    const kepler::PlotPoint earth = kepler::CirclePicturePlace(
        kepler::UniformAngle(FrameCounter, kepler::kEarthDegreesPerDay, 1), mars.earthRadius);
    MoveImage(Image1, earth);
    WaitMilliseconds(30);
    if (halted()) return;
    Label5.setCaption(kepler::DayReadOut(FrameCounter));
  }
}
