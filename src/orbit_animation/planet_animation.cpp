// One body on its Keplerian orbit, a degree per frame, each frame waiting in proportion to the
// area swept there, with the speed read-out and gauge.
#include "core/legacy_number.h"
#include "core/orbit.h"
#include "window/form1.h"

namespace {

constexpr forms::Color kSunYellow = forms::RGB(255, 240, 0);
constexpr forms::Color kGaugeYellow = forms::RGB(255, 255, 0);
constexpr forms::Color kGaugeGrey = forms::RGB(224, 224, 224);
constexpr double kPictureShift = 15;  // centres a 30 x 30 picture on its point [px]

}  // namespace

int Form1::TableDegree(int loopDegree) const {
  return (OrbitAngle >= 1 && OrbitAngle <= 360) ? OrbitAngle : loopDegree;
}

void Form1::DrawSun(int rings, float radiusStep, forms::Color color) {
  for (int i = 1; i <= rings; ++i) {
    Picture1.Circle(kepler::ToSingle(FocusX), kepler::ToSingle(FocusY),
                    static_cast<float>(i) * radiusStep, color);
  }
}

void Form1::ShowSpeed(double speed) {
  Label11.setCaption(QString::fromStdString(kepler::FormatOneDecimal(speed)));
}

// The yellow part ends at 580 + v / 50; the grey box then erases what a longer bar left.
void Form1::DrawSpeedGauge(double speed) {
  const float end = kepler::ToSingle(kepler::GaugeEnd(speed));
  Picture1.BoxFill(580, 30, end, 50, kGaugeYellow);
  Picture1.BoxFill(780, 30, end, 50, kGaugeGrey);
}

void Form1::PlaceBody(forms::ImageControl& body, double x, double y) {
  body.setLeft(kepler::ToSingle(x - kPictureShift));
  body.setTop(kepler::ToSingle(y - kPictureShift));
}

void Form1::ShowTableFrame(int degree) {
  const double speed = kepler::SpeedValue(StepTimeTable(degree));
  ShowSpeed(speed);
  DrawSpeedGauge(speed);
  PlaceBody(Image1, OrbitTable(degree, 1), OrbitTable(degree, 2));
}

void Form1::AnimatePlanetOrbit() {
  DrawSun(20, 0.5f, kSunYellow);
  Label7.setCaption(QStringLiteral("公転速度　"));
  Image1.setVisible(true);
  // One and a half turns, from a quarter turn after perihelion (straight below the Sun).
  for (int j = 90; j <= 630; ++j) {
    OrbitAngle = j;
    if (OrbitAngle > 360) OrbitAngle = j - 360;
    const int loopDegree = OrbitAngle;
    WaitMilliseconds(kepler::ToInt32(StepTimeTable(loopDegree) * StepDelayFactor));
    if (ending()) return;
    // A scenario clicked during the wait has left its own OrbitAngle, tables and factor.
    ShowTableFrame(TableDegree(loopDegree));
  }
}
