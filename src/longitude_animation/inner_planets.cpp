// Earth and Venus on their circles and Mercury along its recorded positions, a fifth of a day
// per frame for 360 days.
#include "core/data_demo.h"
#include "core/legacy_number.h"
#include "window/form1.h"

namespace {

constexpr double kMercuryFactor = 0.4645;  // file distance to px
constexpr double kEarthRadius = 240;       // [px]
constexpr double kVenusRadius = 173.6;     // [px]
constexpr double kEarthRate = 0.986;       // [deg per day]
constexpr double kVenusRate = 1.6;         // [deg per day]
constexpr int kFramesPerDay = 5;

}  // namespace

void Form1::AnimateInnerPlanets() {
  DrawDataOrbits(92.78, 0.20563069, {kEarthRadius, kVenusRadius});
  LoadLongitudeTable(QStringLiteral("Suisei-kouten-Koukei.dat"), kepler::kMercuryRecords);
  Label4.setCaption(QString());
  Image4.setVisible(true);
  Label7.setCaption(QString());
  Label11.setCaption(QString());

  // FrameCounter is shared: after an Earth-and-Mars run inside the wait this loop goes on from
  // 1372, playing the Mars rows that run left in the table.
  for (FrameCounter = 1; FrameCounter <= 1800; ++FrameCounter) {
    const int row = kepler::MercuryRow(FrameCounter);
    const kepler::PlotPoint mercury =
        kepler::RecordPoint(LongitudeNumber(row, 1), LongitudeNumber(row, 2), kMercuryFactor);
    PlaceBody(Image2, mercury.x, mercury.y);
    const kepler::PlotPoint earth = kepler::CirclePicturePlace(
        kepler::UniformAngle(FrameCounter, kEarthRate, kFramesPerDay), kEarthRadius);
    Image1.setLeft(kepler::ToSingle(earth.x));
    Image1.setTop(kepler::ToSingle(earth.y));
    const kepler::PlotPoint venus = kepler::CirclePicturePlace(
        kepler::UniformAngle(FrameCounter, kVenusRate, kFramesPerDay), kVenusRadius);
    Image4.setLeft(kepler::ToSingle(venus.x));
    Image4.setTop(kepler::ToSingle(venus.y));
    WaitMilliseconds(3);
    if (ending()) return;
    Label5.setCaption(QString::fromStdString(kepler::DayReadOut(kepler::Int(FrameCounter / 5.0))));
  }
}
