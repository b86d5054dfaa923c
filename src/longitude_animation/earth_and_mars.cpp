// Earth on its circle and Mars along its recorded positions, a day per frame for 1370 days.
#include "core/data_demo.h"
#include "core/legacy_number.h"
#include "window/form1.h"

namespace {

constexpr double kMarsFactor = 1.14;  // file distance to px
constexpr double kEarthRadius = 150;  // [px]
constexpr double kEarthRate = 0.986;  // [deg per day]

}  // namespace

void Form1::AnimateEarthAndMars() {
  DrawDataOrbits(228.53, 0.093, {kEarthRadius});
  LoadLongitudeTable(QStringLiteral("kasei-kouten-Koukei.dat"), kepler::kMarsRecords);
  Label4.setCaption(QString());
  Label7.setCaption(QString());
  Label11.setCaption(QString());

  // FrameCounter is shared: a data demonstration run inside the wait leaves it past the end.
  for (FrameCounter = 1; FrameCounter <= 1370; ++FrameCounter) {
    const int row = kepler::MarsRow(FrameCounter);
    const kepler::PlotPoint mars =
        kepler::RecordPoint(LongitudeNumber(row, 1), LongitudeNumber(row, 2), kMarsFactor);
    PlaceBody(Image2, mars.x, mars.y);
    const kepler::PlotPoint earth =
        kepler::CirclePicturePlace(kepler::UniformAngle(FrameCounter, kEarthRate, 1), kEarthRadius);
    Image1.setLeft(kepler::ToSingle(earth.x));
    Image1.setTop(kepler::ToSingle(earth.y));
    WaitMilliseconds(30);
    if (ending()) return;
    Label5.setCaption(QString::fromStdString(kepler::DayReadOut(FrameCounter)));
  }
}
