// The forms layer's side of the backend boundary: what the controls tell their peers. A wrong
// rectangle here is a stale or misplaced picture on every backend.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <tuple>
#include <vector>

#include "forms/backend.h"
#include "forms/command_button.h"
#include "forms/error_line.h"
#include "forms/form_window.h"
#include "forms/label.h"
#include "forms/message_box.h"
#include "forms/picture_box.h"
#include "forms/scheduled_reading.h"

namespace {

// What the recording backend's peers were told, in order.
std::vector<std::string> told;
std::vector<forms::PixelRect> changed;
std::vector<forms::ButtonPeer*> tabOrder;
// The button the next message box is answered with.
int boxPress = 0;

std::string text(const forms::PixelRect& r) {
  return std::to_string(r.x) + "," + std::to_string(r.y) + " " + std::to_string(r.width) + "x" +
         std::to_string(r.height);
}

// One recording peer serves as every kind.
class RecordingPeer final : public forms::WindowPeer,
                            public forms::LabelPeer,
                            public forms::ButtonPeer,
                            public forms::SurfacePeer {
 public:
  void setGeometry(const forms::PixelRect& r) override { told.push_back("geometry " + text(r)); }
  void setVisible(bool) override {}
  void setText(std::string_view utf8) override { told.push_back("text " + std::string(utf8)); }
  // Every byte 7.25 px wide, lines 16.5 px high: fractions the label must round up.
  TextSize measure(std::string_view utf8) const override {
    return {7.25f * static_cast<float>(utf8.size()), 16.5f};
  }
  void setFaceColor(forms::Color) override {}
  void setFocus() override {}
  void onClick(std::function<void()>) override {}
  void imageChanged(const forms::PixelRect& dirty) override { changed.push_back(dirty); }
  void setTitle(std::string_view) override {}
  void setBackground(forms::Color) override {}
  void setTabOrder(const std::vector<forms::ButtonPeer*>& buttons) override { tabOrder = buttons; }
  void show() override {}
  void onClose(std::function<void()>) override {}
};

}  // namespace

namespace forms {

std::unique_ptr<WindowPeer> MakeWindowPeer(int, int) {
  return std::make_unique<RecordingPeer>();
}
std::unique_ptr<LabelPeer> MakeLabelPeer(ContainerPeer&, const LabelLook&, std::string_view) {
  return std::make_unique<RecordingPeer>();
}
std::unique_ptr<ButtonPeer> MakeButtonPeer(ContainerPeer&, const FontSpec&, std::string_view) {
  return std::make_unique<RecordingPeer>();
}
std::unique_ptr<SurfacePeer> MakeSurfacePeer(ContainerPeer&, Color, const std::uint32_t*, int, int,
                                             std::string_view) {
  return std::make_unique<RecordingPeer>();
}
std::unique_ptr<ImagePeer> MakeImagePeer(SurfacePeer&, std::string_view) {
  return nullptr;
}
int ShowMessageBox(const MessageBoxLook& box, const std::function<void(int)>& onPressed) {
  std::string shown = "box " + std::string(box.title) + "|" + std::string(box.prompt) + "|";
  for (const std::string_view caption : box.captions) shown += std::string(caption) + ",";
  told.push_back(shown + " default " + std::to_string(box.defaultButton) + " escape " +
                 std::to_string(box.escapeButton));
  if (onPressed) onPressed(boxPress);
  told.push_back("box closed");
  return boxPress;
}
void EndProgram(int) {}
void WriteErrorLine(std::string_view line) {
  told.push_back("error line " + std::string(line));
}
bool tracing() {
  return false;
}
void traceLine(std::string_view) {}

}  // namespace forms

namespace {

using namespace forms;

constexpr Color kBack = RGB(128, 128, 255);

// Draws on the box, then checks that every pixel that changed lies in one of the rectangles
// reported, and that those lie on the surface.
void expectChangesReported(const PictureBox& box, const std::function<void()>& draw) {
  changed.clear();
  const std::vector<std::uint32_t> before = box.pixels();
  draw();
  for (const PixelRect& r : changed) {
    EXPECT_TRUE(r.x >= 0 && r.y >= 0 && r.x + r.width <= 200 && r.y + r.height <= 100) << text(r);
  }
  int differing = 0;
  for (int y = 0; y < box.imageHeight(); ++y) {
    for (int x = 0; x < box.imageWidth(); ++x) {
      const std::size_t i = static_cast<std::size_t>(y) * box.imageWidth() + x;
      if (before[i] == box.pixels()[i]) continue;
      ++differing;
      const bool reported = std::any_of(changed.begin(), changed.end(), [&](const auto& r) {
        return x >= r.x && x < r.x + r.width && y >= r.y && y < r.y + r.height;
      });
      ASSERT_TRUE(reported) << "pixel " << x << "," << y << " changed unreported";
    }
  }
  EXPECT_GT(differing, 0) << "the drawing changed nothing";
}

TEST(PeerProtocol, EveryDrawnPixelIsReportedAndNothingOutsideTheSurface) {
  FormWindow window{989, 577};
  PictureBox box("Picture1", window.client(), kBack, 0, 0, 41, 200, 100);
  const std::vector<std::uint32_t> blank = box.pixels();
  ASSERT_EQ(blank.size(), 200u * 100u);
  EXPECT_EQ(box.rgbAt(0, 0), 0x8080FFu) << "the drawing starts in the background colour";
  expectChangesReported(box, [&] { box.Circle(190, 50, 30, RGB(255, 255, 0)); });  // half off
  // Corners the other way round; both corners' pixels included.
  expectChangesReported(box, [&] { box.BoxFill(150.4f, 90, 20.6f, 10, RGB(0, 0, 0)); });
  ASSERT_EQ(changed.size(), 1u);
  EXPECT_EQ(text(changed[0]), "21,10 130x81");
  EXPECT_EQ(std::count(box.pixels().begin(), box.pixels().end(), box.pixels()[10 * 200 + 21]),
            130 * 81);
  box.BoxFill(-100, -100, 10000, 3, RGB(0, 0, 0));  // clipped to the surface
  box.Cls();
  EXPECT_EQ(box.pixels(), blank);
  changed.clear();
  box.BoxFill(-50, -50, -10, -10, RGB(0, 0, 0));
  box.Circle(1000, 1000, 5);
  EXPECT_TRUE(changed.empty()) << "drawing wholly off the surface reports nothing";
}

TEST(PeerProtocol, PlacesAreWholePixelsLabelsRoundTheirTextUpTabOrderIsTheWindowsNotMaking) {
  FormWindow window{989, 577};
  CommandButton second("Command2", window.client(), kF1);
  CommandButton button("Command1(0)", window.client(), kF1);
  window.setTabOrder({&button, &second});
  EXPECT_EQ(tabOrder, (std::vector<ButtonPeer*>{&button.buttonPeer(), &second.buttonPeer()}));
  Label label("Label7", window.client(), kF1, kBack, 0, "ab", {.autoSize = true}, 580, 5, 0, 0);
  EXPECT_EQ(label.width(), 15.0f) << "2 x 7.25 = 14.5 rounds up";
  EXPECT_EQ(label.height(), 17.0f);
  told.clear();
  button.setLeft(135.5f);
  button.setTop(-0.5f);
  button.setWidth(-20);  // the peer is never given a negative size
  label.setCaption("abc");
  label.setCaption("abc");  // neither sent nor measured again
  EXPECT_EQ(told,
            (std::vector<std::string>{"geometry 136,0 0x0", "geometry 136,0 0x0",
                                      "geometry 136,0 0x0", "text abc", "geometry 580,5 22x17"}));
  EXPECT_EQ(button.left(), 135.5f) << "the model keeps the exact value";
  EXPECT_EQ(button.width(), -20.0f);
}

TEST(PeerProtocol, MessageBoxesHaveTheRuntimesCaptionsAndTitlesAndAnswerOnThePress) {
  const std::string yesNo = "はい(&Y),いいえ(&N), default 0 escape 1";
  for (const auto& [buttons, press, answer, shown] :
       {std::tuple{MsgBoxButtons::YesNo, 0, MsgBoxAnswer::Yes, yesNo},
        {MsgBoxButtons::YesNo, 1, MsgBoxAnswer::No, yesNo},
        {MsgBoxButtons::Ok, 0, MsgBoxAnswer::Ok, std::string("OK, default 0 escape 0")}}) {
    told.clear();
    boxPress = press;
    const auto pressed = [expected = answer](MsgBoxAnswer a) {
      told.push_back(a == expected ? "answer" : "?");
    };
    EXPECT_EQ(MsgBox("本当に終わりますか？", buttons, "確　　認", pressed), answer);
    EXPECT_EQ(told, (std::vector<std::string>{"box 確　　認|本当に終わりますか？|" + shown,
                                              "answer", "box closed"}))
        << "told the answer on the press, before the box has closed";
  }
  told.clear();
  ReportFatal("ファイルがありません");
  ErrorBox("ファイルがありません");
  EXPECT_EQ(told, (std::vector<std::string>{"error line kepler-laws: ファイルがありません",
                                            "box 実行時エラー|ファイルがありません|OK, default 0 "
                                            "escape 0",
                                            "box closed"}));
}

TEST(Fonts, PointsArePixelsAt96DpiAndBoldOrTheHeavyGothicIsDrawnBold) {
  const std::tuple<FontSpec, int, bool> cases[] = {
      {kDefaultFont, 12, false},
      {kF1, 16, true},
      {kF2, 21, true},                   // 15.75 pt is exactly 21 px
      {{kPGothic, 10, 400}, 13, false},  // 13.33 rounds down
      {{kPGothic, 11.25, 700}, 15, true},
      {{kPGothic, 8, 699}, 11, false},  // 10.67 rounds up
  };
  for (const auto& [font, pixels, bold] : cases) {
    EXPECT_EQ(PixelSize(font), pixels) << font.points << " pt";
    EXPECT_EQ(DrawnBold(font), bold) << font.family << " " << font.weight;
  }
}

// The pacing loop of a window's wait on a real clock whose timer wakes `wakeLate` ms after each
// deadline it sleeps towards and whose frame then takes `draw` ms: the real time that `waits`
// waits of `delay` ms take.
std::int32_t paced(int waits, std::int32_t delay, std::int32_t wakeLate, std::int32_t draw) {
  ScheduledReading clock;
  std::int32_t real = 1000;
  for (int i = 0; i < waits; ++i) {
    const std::int32_t start = clock.read(real);
    while (ClockDifference(clock.read(real), start) < delay) {
      const std::int32_t deadline = start + delay;
      clock.leave();
      if (ClockDifference(deadline, real) > 0) real = deadline + wakeLate;
      clock.reached(deadline, real);
    }
    real += draw;
  }
  return real - 1000;
}

TEST(ScheduledReading, LateWakeUpsAndDrawingAreAbsorbedTheReadingRealAfterLeavingOrAnEarlyEnd) {
  EXPECT_EQ(paced(1800, 3, 1, 0), 1800 * 3 + 1) << "only the last wake-up's lateness is left";
  EXPECT_EQ(paced(1800, 3, 1, 1), 1800 * 3 + 2);
  constexpr std::int32_t slack = ScheduledReading::kSlack;
  EXPECT_EQ(paced(100, 50, slack, 0), 100 * 50 + slack) << "lateness up to the slack";
  EXPECT_EQ(paced(100, 50, slack + 1, 0), 100 * (50 + slack + 1))
      << "past the slack each wait starts where it is";
  EXPECT_LE(paced(1800, 3, 2, 2), 1800 * 3 + 2 + 2) << "frames that fit their delay keep to it";
  EXPECT_EQ(paced(10, 3, 1, slack + 3), 10 * (3 + 1 + slack + 3))
      << "a frame past the slack: paced from where it is";
  ScheduledReading clock;
  clock.reached(1003, 1005);
  EXPECT_EQ(clock.read(1005), 1003);
  EXPECT_EQ(clock.read(1003 + ScheduledReading::kSlack), 1003);
  const std::int32_t past = 1004 + ScheduledReading::kSlack;
  EXPECT_EQ(clock.read(past), past) << "past the slack";
  EXPECT_EQ(clock.read(past + 4), past + 4) << "and real from then on";
  clock.reached(past + 9, past + 10);
  clock.leave();
  EXPECT_EQ(clock.read(past + 10), past + 10) << "a click leaves the schedule";
  clock.reached(past + 19, past + 18);
  EXPECT_EQ(clock.read(past + 19), past + 19) << "a wait ended early by a click: no schedule";
  clock.reached(past + 17, past + 20);
  EXPECT_EQ(clock.read(past + 20), past + 20)
      << "a deadline before a reading given would turn it back";
}

}  // namespace
