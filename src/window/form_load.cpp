// Start-up: lays the controls out, gives the title, the hint and the ten buttons their texts
// and colours, and draws the Sun on the drawing surface.
#include "core/drawing_surface.h"
#include "window/colors.h"
#include "window/form1.h"
#include "window/layout.h"

namespace {

const char* const kTitle = ("ケプラーの第１・第２法則による惑星の運動       Ver2.00");
const char* const kHint = ("運動が止まってから他のボタンを選択してください");

const char* const kScenarioCaptions[8] = {
    ("　　 離心率 0.000"),    ("地球 離心率 0.017"),     ("火星 離心率 0.093"),
    ("水星 離心率 0.206"),    ("　　 離心率 0.500"),     ("ﾊﾚｰ彗星 離心率 0.967"),
    ("　地球と火星の運動　"), ("　内 惑 星 の 運 動　"),
};

// Top first, then left, width and height, the order start-up has always set them in.
void place(forms::Control& control, const layout::Place& at) {
  control.setTop(at.top);
  control.setLeft(at.left);
  control.setWidth(at.width);
  control.setHeight(at.height);
}

void placeCorner(forms::Control& control, const layout::Place& at) {
  control.setTop(at.top);
  control.setLeft(at.left);
}

}  // namespace

void Form1::Form_Load() {
  place(Label2, layout::kTitleBand);
  place(Label1, layout::kTitle);
  Label1.setCaption(kTitle);
  placeCorner(Label7, layout::kSpeedCaption);
  placeCorner(Label11, layout::kSpeedValue);
  place(Picture1, layout::kDrawing);
  place(Picture2, layout::kReadOuts);
  placeCorner(Label4, layout::kRatioText);
  placeCorner(Label5, layout::kDaysText);
  place(Label9, layout::kHint);
  Label9.setCaption(kHint);
  Image1.setWidth(200);
  for (int i = 0; i <= 7; ++i) {
    place(Command1(i), layout::ButtonPlace(i));
    Command1(i).setBackColor(colors::kButtonFace);
  }
  place(Command2, layout::ButtonPlace(8));
  Command2.setBackColor(colors::kButtonFace);
  place(Command3, layout::ButtonPlace(9));
  Command3.setBackColor(colors::kButtonFace);

  for (int i = 0; i <= 7; ++i) Command1(i).setCaption(kScenarioCaptions[i]);
  Command2.setCaption(("　ケプラーの法則　"));
  Command3.setCaption(("　お  わ  り  "));

  DrawSunDisc(kepler::kSunX, kepler::kSunY, 20, 0.5f, colors::kSun);
}
