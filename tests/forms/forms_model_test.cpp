// The forms layer's side of the backend boundary: what the controls tell their peers. A wrong
// rectangle here is a stale or misplaced picture on every backend.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
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

std::string rectText(const forms::PixelRect& r) {
  return std::to_string(r.x) + "," + std::to_string(r.y) + " " + std::to_string(r.width) + "x" +
         std::to_string(r.height);
}

class Peer {
 protected:
  void geometry(const forms::PixelRect& r) { told.push_back("geometry " + rectText(r)); }
};

class RecordingLabel final : public forms::LabelPeer, Peer {
 public:
  void setGeometry(const forms::PixelRect& r) override { geometry(r); }
  void setVisible(bool) override {}
  void setText(std::string_view utf8) override { told.push_back("text " + std::string(utf8)); }
  // Every byte 7.25 px wide, lines 16.5 px high: fractions the label must round up.
  TextSize measure(std::string_view utf8) const override {
    return {7.25f * static_cast<float>(utf8.size()), 16.5f};
  }
};

class RecordingButton final : public forms::ButtonPeer, Peer {
 public:
  void setGeometry(const forms::PixelRect& r) override { geometry(r); }
  void setVisible(bool) override {}
  void setText(std::string_view) override {}
  void setFaceColor(forms::Color) override {}
  void setFocus() override {}
  void onClick(std::function<void()>) override {}
};

class RecordingSurface final : public forms::SurfacePeer, Peer {
 public:
  void setGeometry(const forms::PixelRect& r) override { geometry(r); }
  void setVisible(bool) override {}
  void imageChanged(const forms::PixelRect& dirty) override { changed.push_back(dirty); }
};

class RecordingWindow final : public forms::WindowPeer {
 public:
  void setTitle(std::string_view) override {}
  void setBackground(forms::Color) override {}
  void setTabOrder(const std::vector<forms::ButtonPeer*>& buttons) override { tabOrder = buttons; }
  void show() override {}
  void onClose(std::function<void()>) override {}
};

}  // namespace

namespace forms {

std::unique_ptr<WindowPeer> MakeWindowPeer(int, int) {
  return std::make_unique<RecordingWindow>();
}
std::unique_ptr<LabelPeer> MakeLabelPeer(ContainerPeer&, const LabelLook&, std::string_view) {
  return std::make_unique<RecordingLabel>();
}
std::unique_ptr<ButtonPeer> MakeButtonPeer(ContainerPeer&, const FontSpec&, std::string_view) {
  return std::make_unique<RecordingButton>();
}
std::unique_ptr<SurfacePeer> MakeSurfacePeer(ContainerPeer&, Color, const std::uint32_t*, int, int,
                                             std::string_view) {
  return std::make_unique<RecordingSurface>();
}
std::unique_ptr<ImagePeer> MakeImagePeer(SurfacePeer&, std::string_view) {
  return nullptr;
}
int ShowMessageBox(const MessageBoxLook& box, const std::function<void(int)>& onPressed) {
  std::string captions;
  for (const std::string_view caption : box.captions) captions += std::string(caption) + ",";
  told.push_back("box " + std::string(box.title) + "|" + std::string(box.prompt) + "|" + captions +
                 " default " + std::to_string(box.defaultButton) + " escape " +
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

constexpr forms::Color kBack = forms::RGB(128, 128, 255);

class PeerProtocol : public ::testing::Test {
 protected:
  void SetUp() override {
    told.clear();
    changed.clear();
  }
  forms::FormWindow window{989, 577};
};

// Every pixel that differs between the two drawings lies in one of the reported rectangles.
void expectChangesReported(const std::vector<std::uint32_t>& before, const forms::PictureBox& box) {
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

TEST_F(PeerProtocol, EveryDrawnPixelIsReportedAndNothingOutsideTheSurface) {
  forms::PictureBox box("Picture1", window.client(), kBack, 0, 0, 41, 200, 100);
  ASSERT_EQ(box.pixels().size(), 200u * 100u);
  EXPECT_EQ(box.rgbAt(0, 0), 0x8080FFu) << "the drawing starts in the background colour";

  auto before = box.pixels();
  box.Circle(190, 50, 30, forms::RGB(255, 255, 0));  // half of it off the right edge
  expectChangesReported(before, box);
  for (const forms::PixelRect& r : changed) {
    EXPECT_GE(r.x, 0);
    EXPECT_LE(r.x + r.width, 200) << rectText(r) << " reaches past the right edge";
  }

  changed.clear();
  before = box.pixels();
  box.BoxFill(150.4f, 90, 20.6f, 10, forms::RGB(0, 0, 0));  // corners the other way round
  expectChangesReported(before, box);
  ASSERT_EQ(changed.size(), 1u);
  EXPECT_EQ(rectText(changed[0]), "21,10 130x81") << "both corners' pixels included";
  EXPECT_EQ(std::count(box.pixels().begin(), box.pixels().end(), box.pixels()[10 * 200 + 21]),
            130 * 81);
  box.BoxFill(-100, -100, 10000, 3, forms::RGB(0, 0, 0));  // clipped to the surface
  box.Cls();
  EXPECT_EQ(std::count(box.pixels().begin(), box.pixels().end(), before[0]), 200 * 100);

  changed.clear();
  box.BoxFill(-50, -50, -10, -10, forms::RGB(0, 0, 0));
  box.Circle(1000, 1000, 5);
  EXPECT_TRUE(changed.empty()) << "drawing wholly off the surface reports nothing";
}

TEST_F(PeerProtocol, PlacesAreTheNearestWholePixelAndSizesNeverNegative) {
  forms::CommandButton button("Command1(0)", window.client(), forms::kF1);
  told.clear();
  button.setLeft(135.5f);
  button.setTop(-0.5f);
  button.setWidth(-20);
  EXPECT_EQ(told, (std::vector<std::string>{"geometry 136,0 0x0", "geometry 136,0 0x0",
                                            "geometry 136,0 0x0"}));
  EXPECT_EQ(button.left(), 135.5f) << "the model keeps the exact value";
  EXPECT_EQ(button.width(), -20.0f);
}

TEST_F(PeerProtocol, AnAutoSizeLabelRoundsItsMeasuredTextUpAndSkipsAnUnchangedCaption) {
  forms::Label label("Label7", window.client(), forms::kF1, kBack, 0, "ab", {.autoSize = true}, 580,
                     5, 0, 0);
  EXPECT_EQ(label.width(), 15.0f) << "2 x 7.25 = 14.5 rounds up";
  EXPECT_EQ(label.height(), 17.0f);
  told.clear();
  label.setCaption("abc");
  label.setCaption("abc");
  EXPECT_EQ(told, (std::vector<std::string>{"text abc", "geometry 580,5 22x17"}))
      << "the repeated caption is neither sent nor measured again";
}

TEST_F(PeerProtocol, TheTabOrderIsTheOrderTheWindowGivesNotTheOrderOfMaking) {
  forms::CommandButton second("Command2", window.client(), forms::kF1);
  forms::CommandButton first("Command1(0)", window.client(), forms::kF1);
  window.setTabOrder({&first, &second});
  ASSERT_EQ(tabOrder.size(), 2u);
  EXPECT_EQ(tabOrder[0], &first.buttonPeer());
  EXPECT_EQ(tabOrder[1], &second.buttonPeer());
}

TEST_F(PeerProtocol, MessageBoxesHaveTheRuntimesCaptionsAndTitlesAndAnswerOnThePress) {
  const std::string yesNo =
      "box 確　　認|本当に終わりますか？|はい(&Y),いいえ(&N), default 0 escape 1";
  const struct {
    forms::MsgBoxButtons buttons;
    int press;
    forms::MsgBoxAnswer answer;
    std::string shown;
  } cases[] = {
      {forms::MsgBoxButtons::YesNo, 0, forms::MsgBoxAnswer::Yes, yesNo},
      {forms::MsgBoxButtons::YesNo, 1, forms::MsgBoxAnswer::No, yesNo},
      {forms::MsgBoxButtons::Ok, 0, forms::MsgBoxAnswer::Ok,
       "box 確　　認|本当に終わりますか？|OK, default 0 escape 0"},
  };
  for (const auto& c : cases) {
    told.clear();
    boxPress = c.press;
    const forms::MsgBoxAnswer answer =
        forms::MsgBox("本当に終わりますか？", c.buttons, "確　　認", [&](forms::MsgBoxAnswer a) {
          told.push_back("answer " + std::to_string(static_cast<int>(a)));
        });
    EXPECT_EQ(answer, c.answer);
    EXPECT_EQ(told,
              (std::vector<std::string>{
                  c.shown, "answer " + std::to_string(static_cast<int>(c.answer)), "box closed"}))
        << "told the answer on the press, before the box has closed";
  }
  told.clear();
  forms::ReportFatal("ファイルがありません");
  forms::ErrorBox("ファイルがありません");
  EXPECT_EQ(told, (std::vector<std::string>{"error line kepler-laws: ファイルがありません",
                                            "box 実行時エラー|ファイルがありません|OK, default 0 "
                                            "escape 0",
                                            "box closed"}));
}

TEST(Fonts, PointsArePixelsAt96DpiAndBoldOrTheHeavyGothicIsDrawnBold) {
  const struct {
    forms::FontSpec font;
    int pixels;
    bool bold;
  } cases[] = {
      {forms::kDefaultFont, 12, false},
      {forms::kF1, 16, true},
      {forms::kF2, 21, true},                   // 15.75 pt is exactly 21 px
      {{forms::kPGothic, 10, 400}, 13, false},  // 13.33 rounds down
      {{forms::kPGothic, 11.25, 700}, 15, true},
      {{forms::kPGothic, 8, 699}, 11, false},  // 10.67 rounds up
  };
  for (const auto& c : cases) {
    EXPECT_EQ(forms::PixelSize(c.font), c.pixels) << c.font.points << " pt";
    EXPECT_EQ(forms::DrawnBold(c.font), c.bold) << c.font.family << " " << c.font.weight;
  }
}

// The pacing loop of a window's wait on a real clock whose timer wakes `wakeLate` ms after each
// deadline it sleeps towards and whose frame then takes `draw` ms: the real time that `waits`
// waits of `delay` ms take.
std::int32_t paced(int waits, std::int32_t delay, std::int32_t wakeLate, std::int32_t draw) {
  forms::ScheduledReading clock;
  std::int32_t real = 1000;
  for (int i = 0; i < waits; ++i) {
    const std::int32_t start = clock.read(real);
    while (forms::ClockDifference(clock.read(real), start) < delay) {
      const std::int32_t deadline = start + delay;
      clock.leave();
      if (forms::ClockDifference(deadline, real) > 0) real = deadline + wakeLate;
      clock.reached(deadline, real);
    }
    real += draw;
  }
  return real - 1000;
}

TEST(ScheduledReading, LateWakeUpsAndDrawingAreAbsorbedNotAddedUp) {
  EXPECT_EQ(paced(1800, 3, 1, 0), 1800 * 3 + 1) << "only the last wake-up's lateness is left";
  EXPECT_EQ(paced(1800, 3, 1, 1), 1800 * 3 + 2);
  constexpr std::int32_t slack = forms::ScheduledReading::kSlack;
  EXPECT_EQ(paced(100, 50, slack, 0), 100 * 50 + slack) << "lateness up to the slack";
  EXPECT_EQ(paced(100, 50, slack + 1, 0), 100 * (50 + slack + 1))
      << "past the slack each wait starts where it is";
  EXPECT_LE(paced(1800, 3, 2, 2), 1800 * 3 + 2 + 2) << "frames that fit their delay keep to it";
  EXPECT_EQ(paced(10, 3, 1, slack + 3), 10 * (3 + 1 + slack + 3))
      << "a frame past the slack: paced from where it is";
}

TEST(ScheduledReading, TheReadingIsRealAfterLeavingOrAnEarlyEndAndNeverGoesBack) {
  forms::ScheduledReading clock;
  clock.reached(1003, 1005);
  EXPECT_EQ(clock.read(1005), 1003);
  EXPECT_EQ(clock.read(1003 + forms::ScheduledReading::kSlack), 1003);
  const std::int32_t past = 1004 + forms::ScheduledReading::kSlack;
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
