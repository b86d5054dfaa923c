// Start-up: lays the controls out, gives the title, the hint and the ten buttons their texts
// and colours, and draws the Sun on the drawing surface.
#include "core/drawing_surface.h"
#include "window/colors.h"
#include "window/form1.h"

namespace {

const char* const kTitle = ("ケプラーの第１・第２法則による惑星の運動       Ver2.00");
const char* const kHint = ("運動が止まってから他のボタンを選択してください");

const char* const kScenarioCaptions[8] = {
    ("　　 離心率 0.000"),    ("地球 離心率 0.017"),     ("火星 離心率 0.093"),
    ("水星 離心率 0.206"),    ("　　 離心率 0.500"),     ("ﾊﾚｰ彗星 離心率 0.967"),
    ("　地球と火星の運動　"), ("　内 惑 星 の 運 動　"),
};

void place(forms::Control& control, float top, float left, float width, float height) {
  control.setTop(top);
  control.setLeft(left);
  control.setWidth(width);
  control.setHeight(height);
}

}  // namespace

void Form1::Form_Load() {
  place(Label2, 0, 0, 800, 10);
  place(Label1, 11, 0, 800, 30);
  Label1.setCaption(kTitle);
  Label7.setTop(5);
  Label7.setLeft(580);
  Label11.setTop(5);
  Label11.setLeft(700);
  place(Picture1, 41, 0, 800, 500);
  place(Picture2, 541, 0, 800, 30);
  Label4.setTop(0);
  Label4.setLeft(10);
  Label5.setTop(0);
  Label5.setLeft(400);
  place(Label9, 0, 801, 180, 40);
  Label9.setCaption(kHint);
  Image1.setWidth(200);
  for (int i = 0; i <= 7; ++i) {
    place(Command1(i), static_cast<float>(50 * i + 41), 801, 180, 50);
    Command1(i).setBackColor(colors::kButtonFace);
  }
  place(Command2, 441, 801, 180, 50);
  Command2.setBackColor(colors::kButtonFace);
  place(Command3, 491, 801, 180, 50);
  Command3.setBackColor(colors::kButtonFace);

  for (int i = 0; i <= 7; ++i) Command1(i).setCaption(kScenarioCaptions[i]);
  Command2.setCaption(("　ケプラーの法則　"));
  Command3.setCaption(("　お  わ  り  "));

  DrawSunDisc(kepler::kSunX, kepler::kSunY, 20, 0.5f, colors::kSun);
}
