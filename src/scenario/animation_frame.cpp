// What the animations' frames share: the Sun disc, the speed read-out and gauge, placing a body's
// picture on its point, and a whole frame at a table degree.
#include "core/drawing_surface.h"
#include "core/legacy_number.h"
#include "core/orbit.h"
#include "window/colors.h"
#include "window/form1.h"

int Form1::TableDegree(int loopDegree) const {
  return (OrbitAngle >= 1 && OrbitAngle <= 360) ? OrbitAngle : loopDegree;
}

double Form1::LiveStepTime(int loopDegree) const {
  return StepTimeTable(TableDegree(loopDegree));
}

void Form1::DrawSunDisc(double centreX, double centreY, int rings, float radiusStep,
                        forms::Color color) {
  for (int i = 1; i <= rings; ++i) {
    Picture1.Circle(kepler::ToSingle(centreX), kepler::ToSingle(centreY),
                    static_cast<float>(i) * radiusStep, color);
  }
}

void Form1::ShowSpeed(double speed) {
  Label11.setCaption(kepler::FormatOneDecimal(speed));
}

// The bar runs from the gauge's left end to GaugeEnd; the grey box then erases what a longer bar
// left, from the gauge's right end back to the same place.
void Form1::DrawSpeedGauge(double speed) {
  constexpr float kRight = 780;  // [px]
  constexpr float kTop = 30;     // [px]
  constexpr float kBottom = 50;  // [px]
  const float end = kepler::ToSingle(kepler::GaugeEnd(speed));
  Picture1.BoxFill(kepler::ToSingle(kepler::kGaugeLeft), kTop, end, kBottom, colors::kGaugeBar);
  Picture1.BoxFill(kRight, kTop, end, kBottom, colors::kGaugeTrack);
}

void Form1::PlaceBody(forms::ImageControl& body, double x, double y) {
  body.setLeft(kepler::ToSingle(x - kepler::kPictureShift));
  body.setTop(kepler::ToSingle(y - kepler::kPictureShift));
}

void Form1::MoveImage(forms::ImageControl& image, kepler::PlotPoint topLeft) {
  image.setLeft(kepler::ToSingle(topLeft.x));
  image.setTop(kepler::ToSingle(topLeft.y));
}

void Form1::ShowTableFrame(int degree) {
  const double speed = kepler::SpeedValue(StepTimeTable(degree));
  ShowSpeed(speed);
  DrawSpeedGauge(speed);
  PlaceBody(Image1, OrbitTable(degree, 1), OrbitTable(degree, 2));
}
