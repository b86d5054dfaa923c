// A stand-in for the program in the browser while its forms layer is being split: a small model
// of the window that makes every peer through the backend's factory functions, as the
// platform-free layer will, and writes the operation trace as the desktop does. The window has
// the program's 989 x 577 layout: the title and hint labels, ten buttons (made Command2 and
// Command3 first, as the window makes them, and put in Tab order), a drawing surface with the
// Sun, image controls on it and two read-out labels that size themselves to their text.
//
// Command1(i) plays 360 frames of a body going round its orbit, each frame followed by the
// pacing wait (3 ms to 125 ms a frame; Command1(4) takes 45 s), with clicks nested in the waits;
// Command2 shows the laws picture; Command3 asks before it ends. A file that cannot be read ends
// the program through the error box. With ?bench=waits the page first measures its waits and
// leaves the figures in window.keplerWaitFigures.
#include <emscripten.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <functional>
#include <memory>
#include <numbers>
#include <string>
#include <utility>
#include <vector>

#include "core/outline_raster.h"
#include "core/picture.h"
#include "core/program_files.h"
#include "core/runtime_error.h"
#include "core/shortest_float.h"
#include "forms/backend.h"
#include "forms/clock.h"
#include "forms/font.h"
#include "forms/message_box.h"
#include "forms/web/event_loop.h"

namespace {

using forms::Color;
using forms::RGB;

constexpr Color kTitleBand = RGB(255, 224, 192);
constexpr Color kSurface = RGB(128, 128, 255);
constexpr Color kWhite = RGB(255, 255, 255);
constexpr Color kButtonFace = RGB(255, 255, 200);
constexpr Color kSunYellow = RGB(255, 240, 0);

// clang-format off
EM_JS(int, demo_query_has, (const char* key, const char* value), {
  const query = new URLSearchParams(location.search);
  return query.get(UTF8ToString(key)) == UTF8ToString(value);
});

EM_JS(void, demo_publish, (const char* json), {
  window.keplerWaitFigures = JSON.parse(UTF8ToString(json));
});
// clang-format on

std::string quoted(const std::string& text) {
  std::string out = "\"";
  for (const char c : text) {
    if (c == '"' || c == '\\') out += '\\';
    out += c;
  }
  return out + "\"";
}

void trace(const std::string& line) {
  if (forms::tracing()) forms::traceLine(line);
}

// A picture box's model: its pixels (0xAARRGGBB, row by row) and its peer, which is told each
// changed rectangle.
struct Surface {
  Surface(forms::ContainerPeer& window, std::string name, int width, int height)
      : name(std::move(name)),
        width(width),
        height(height),
        pixels(static_cast<std::size_t>(width) * height, argb(kSurface)),
        peer(forms::MakeSurfacePeer(window, kSurface, pixels.data(), width, height, this->name)) {}

  static std::uint32_t argb(Color c) {
    return 0xFF000000u | (static_cast<std::uint32_t>(forms::RedOf(c)) << 16) |
           (static_cast<std::uint32_t>(forms::GreenOf(c)) << 8) |
           static_cast<std::uint32_t>(forms::BlueOf(c));
  }

  void Cls() {
    trace(name + " Cls");
    std::fill(pixels.begin(), pixels.end(), argb(kSurface));
    peer->imageChanged({0, 0, width, height});
  }

  void Circle(float x, float y, float radius, Color color) {
    trace(name + " Circle " + kepler::ShortestFloat(x) + " " + kepler::ShortestFloat(y) + " " +
          kepler::ShortestFloat(radius) + " " + std::to_string(color) + " -");
    int left = width, top = height, right = -1, bottom = -1;
    for (const kepler::Pixel& p : kepler::EllipseOutline(x, y, radius, radius)) {
      if (p.x < 0 || p.y < 0 || p.x >= width || p.y >= height) continue;
      pixels[static_cast<std::size_t>(p.y) * width + p.x] = argb(color);
      left = std::min(left, p.x);
      top = std::min(top, p.y);
      right = std::max(right, p.x);
      bottom = std::max(bottom, p.y);
    }
    if (right >= left) peer->imageChanged({left, top, right - left + 1, bottom - top + 1});
  }

  std::string name;
  int width;
  int height;
  std::vector<std::uint32_t> pixels;
  std::unique_ptr<forms::SurfacePeer> peer;
};

struct Label {
  Label(forms::ContainerPeer& container, std::string name, const forms::LabelLook& look,
        forms::PixelRect rect)
      : name(std::move(name)),
        autoSize(look.autoSize),
        rect(rect),
        peer(forms::MakeLabelPeer(container, look, this->name)) {
    peer->setGeometry(rect);
  }

  void setCaption(const std::string& text) {
    trace(name + " Caption " + quoted(text));
    peer->setText(text);
    if (!autoSize) return;
    const forms::LabelPeer::TextSize size = peer->measure(text);
    rect.width = static_cast<int>(std::ceil(size.width));
    rect.height = static_cast<int>(std::ceil(size.height));
    peer->setGeometry(rect);
  }

  std::string name;
  bool autoSize;
  forms::PixelRect rect;
  std::unique_ptr<forms::LabelPeer> peer;
};

struct Button {
  Button(forms::ContainerPeer& window, std::string name, forms::PixelRect rect)
      : name(std::move(name)), peer(forms::MakeButtonPeer(window, forms::kF1, this->name)) {
    peer->setGeometry(rect);
    peer->setFaceColor(kButtonFace);
  }
  std::string name;
  std::unique_ptr<forms::ButtonPeer> peer;
};

struct Image {
  Image(Surface& surface, std::string name)
      : name(std::move(name)), peer(forms::MakeImagePeer(*surface.peer, this->name)) {
    peer->setVisible(false);
  }

  void setPicture(const std::string& file) {
    trace(name + " Picture " + quoted(file));
    picture = kepler::LoadPictureFile(file);
    peer->setPicture(&picture);
  }
  void place(int left, int top) {
    trace(name + " Left " + std::to_string(left));
    trace(name + " Top " + std::to_string(top));
    peer->setGeometry({left, top, picture.width, picture.height});
  }
  void setVisible(bool visible) {
    trace(name + (visible ? " Visible True" : " Visible False"));
    peer->setVisible(visible);
  }

  std::string name;
  kepler::Picture picture;
  std::unique_ptr<forms::ImagePeer> peer;
};

forms::LabelLook look(const forms::FontSpec& font, Color back, Color fore) {
  forms::LabelLook l;
  l.font = font;
  l.back = back;
  l.fore = fore;
  return l;
}

forms::LabelLook with(forms::LabelLook l, bool wordWrap, bool centred, bool autoSize) {
  l.wordWrap = wordWrap;
  l.centred = centred;
  l.autoSize = autoSize;
  return l;
}

class DemoForm {
 public:
  // Nested demonstrations at most, as the program allows.
  static constexpr int kMaxNesting = 16;

  explicit DemoForm(forms::Clock& clock);
  void Form_Load();
  void show() {
    window_->show();
    Command1(0).peer->setFocus();
  }
  void WaitMilliseconds(std::int32_t milliseconds);

 private:
  Button& Command1(int index) { return *command1_[static_cast<std::size_t>(index)]; }
  void runHandler(const std::string& button, const std::function<void()>& handler);
  void Command1_Click(int index);
  void Command2_Click();
  void Command3_Click();
  void End(int exitCode);

  forms::Clock& clock_;
  bool ending_ = false;
  int depth_ = 0;
  std::int32_t waitStart_ = 0;
  std::unique_ptr<forms::WindowPeer> window_;
  Surface picture1_;
  Surface picture2_;
  Image image1_;
  Image image3_;
  Label label7_;
  Label label11_;
  Label label4_;
  Label label5_;
  Label label2_;
  Label label1_;
  Label label9_;
  Label label8_;
  Label label3_;
  Button command2_;
  Button command3_;
  std::vector<std::unique_ptr<Button>> command1_;
};

DemoForm::DemoForm(forms::Clock& clock)
    : clock_(clock),
      window_(forms::MakeWindowPeer(989, 577)),
      picture1_(*window_, "Picture1", 800, 500),
      picture2_(*window_, "Picture2", 800, 30),
      image1_(picture1_, "Image1"),
      image3_(picture1_, "Image3"),
      label7_(*picture1_.peer, "Label7",
              with(look(forms::kF1, kSurface, kWhite), false, false, true), {580, 5, 0, 0}),
      label11_(*picture1_.peer, "Label11",
               with(look(forms::kF1, kSurface, kWhite), false, false, true), {700, 5, 0, 0}),
      label4_(*picture2_.peer, "Label4",
              with(look(forms::kF1, kSurface, kWhite), false, false, true), {10, 0, 0, 0}),
      label5_(*picture2_.peer, "Label5",
              with(look(forms::kF1, kSurface, kWhite), false, false, true), {400, 0, 0, 0}),
      label2_(*window_, "Label2",
              with(look(forms::kDefaultFont, kTitleBand, forms::systemButtonText()), true, false,
                   false),
              {0, 0, 800, 10}),
      label1_(*window_, "Label1",
              with(look(forms::kF2, kTitleBand, forms::systemWindowText()), false, true, false),
              {0, 11, 800, 30}),
      label9_(*window_, "Label9",
              with(look(forms::kF1, forms::systemButtonFace(), RGB(255, 0, 0)), true, false, false),
              {801, 0, 180, 40}),
      label8_(*window_, "Label8",
              look(forms::kDefaultFont, forms::system3DLight(), forms::systemButtonText()),
              {784, 504, 129, 25}),
      label3_(*window_, "Label3",
              look(forms::kDefaultFont, forms::system3DLight(), forms::systemButtonText()),
              {784, 536, 121, 33}),
      command2_(*window_, "Command2", {801, 441, 180, 50}),
      command3_(*window_, "Command3", {801, 491, 180, 50}) {
  window_->setTitle("Form1");
  window_->setBackground(RGB(224, 224, 224));
  picture1_.peer->setGeometry({0, 41, 800, 500});
  picture2_.peer->setGeometry({0, 541, 800, 30});
  std::vector<forms::ButtonPeer*> tabOrder;
  for (int i = 0; i < 8; ++i) {
    command1_.push_back(std::make_unique<Button>(*window_, "Command1(" + std::to_string(i) + ")",
                                                 forms::PixelRect{801, 50 * i + 41, 180, 50}));
    const std::string name = command1_.back()->name;
    command1_.back()->peer->onClick([this, i, name] {
      if (depth_ >= kMaxNesting) return;
      ++depth_;
      runHandler(name, [this, i] { Command1_Click(i); });
      --depth_;
    });
    tabOrder.push_back(command1_.back()->peer.get());
  }
  command2_.peer->onClick([this] { runHandler("Command2", [this] { Command2_Click(); }); });
  command3_.peer->onClick([this] { runHandler("Command3", [this] { Command3_Click(); }); });
  tabOrder.push_back(command2_.peer.get());
  tabOrder.push_back(command3_.peer.get());
  window_->setTabOrder(tabOrder);
}

void DemoForm::Form_Load() {
  label1_.setCaption("ケプラーの第１・第２法則による惑星の運動       Ver2.00");
  label9_.setCaption("運動が止まってから他のボタンを選択してください");
  label4_.setCaption("公転速度　");
  label5_.setCaption("公転速度");
  const char* const captions[8] = {
      "　　 離心率 0.000", "地球 離心率 0.017",    "火星 離心率 0.093",    "水星 離心率 0.206",
      "　　 離心率 0.500", "ﾊﾚｰ彗星 離心率 0.967", "　地球と火星の運動　", "　内 惑 星 の 運 動　",
  };
  for (int i = 0; i < 8; ++i) {
    trace(Command1(i).name + " Caption " + quoted(captions[i]));
    Command1(i).peer->setText(captions[i]);
  }
  command2_.peer->setText("　ケプラーの法則　");
  command3_.peer->setText("　お  わ  り  ");
  for (int i = 1; i <= 20; ++i) {
    picture1_.Circle(300, 250, static_cast<float>(i) / 2.0f, kSunYellow);
  }
}

void DemoForm::WaitMilliseconds(std::int32_t milliseconds) {
  trace("Form1 Wait " + std::to_string(milliseconds));
  waitStart_ = clock_.now();
  while (!ending_ && forms::ClockDifference(clock_.now(), waitStart_) < milliseconds) {
    clock_.pumpEvents(static_cast<std::int32_t>(static_cast<std::uint32_t>(waitStart_) +
                                                static_cast<std::uint32_t>(milliseconds)));
  }
}

void DemoForm::runHandler(const std::string& button, const std::function<void()>& handler) {
  if (ending_) return;
  trace("Form1 Click " + button);
  try {
    handler();
  } catch (const kepler::RuntimeError& error) {
    ending_ = true;
    trace("Form1 Error " + quoted(error.what()));
    forms::ReportFatal(error.what());
    forms::ErrorBox(error.what());
    End(1);
  }
  if (!ending_) trace("Form1 Return " + button);
}

void DemoForm::Command1_Click(int index) {
  constexpr int kFrames = 360;
  constexpr std::int32_t kFrameDelays[8] = {50, 30, 20, 10, 125, 5, 3, 3};  // [ms]
  constexpr float kOrbitRadius = 200;                                       // [px]
  image1_.setVisible(false);
  image3_.setVisible(false);
  picture1_.Cls();
  picture1_.Circle(400, 250, kOrbitRadius, forms::systemWindowText());
  picture1_.Circle(400, 250, 10, kSunYellow);
  image1_.setPicture(std::string(kepler::kProgramFiles[static_cast<std::size_t>(index % 6)]));
  image1_.setVisible(true);
  label7_.setCaption("公転速度　");
  for (int frame = 1; frame <= kFrames && !ending_; ++frame) {
    const double angle = 2 * std::numbers::pi * frame / kFrames;  // [rad]
    const auto x = static_cast<float>(400 + kOrbitRadius * std::cos(angle));
    const auto y = static_cast<float>(250 - kOrbitRadius * std::sin(angle));
    picture1_.Circle(x, y, 1, kWhite);
    image1_.place(static_cast<int>(x) - image1_.picture.width / 2,
                  static_cast<int>(y) - image1_.picture.height / 2);
    label11_.setCaption(std::to_string(frame));
    WaitMilliseconds(kFrameDelays[index]);
  }
}

void DemoForm::Command2_Click() {
  image1_.setVisible(false);
  image3_.setPicture("kepler.bmp");
  image3_.place(0, 0);
  image3_.setVisible(true);
}

void DemoForm::Command3_Click() {
  const std::string prompt = "本当に終わりますか？";
  const std::string title = "確　　認";
  const int answer = forms::MsgBox(prompt, forms::kYesNo, title, [this](int reply) {
    ending_ = ending_ || reply == forms::kYes;
  });
  trace("Form1 MsgBox " + quoted(prompt) + " " + std::to_string(forms::kYesNo) + " " +
        quoted(title) + " = " + std::to_string(answer));
  if (answer == forms::kYes) End(0);
}

void DemoForm::End(int exitCode) {
  ending_ = true;
  trace("Form1 End");
  forms::EndProgram(exitCode);
}

// Waits of 3 ms and 30 ms through the window's wait, back to back: overshoot = duration - delay
// asked [ms], as the desktop's benchmark reckons it. They start once the first frames, which lay
// the page out and paint it whole, are over.
void MeasureWaits(DemoForm& form) {
  form.WaitMilliseconds(500);
  std::string json = "[";
  for (const auto& [delay, count] : {std::pair{3, 200}, std::pair{30, 60}}) {
    std::vector<double> overshoots;
    for (int i = 0; i < count; ++i) {
      const double start = emscripten_get_now();
      form.WaitMilliseconds(delay);
      overshoots.push_back(emscripten_get_now() - start - delay);
    }
    std::sort(overshoots.begin(), overshoots.end());
    double mean = 0;
    for (const double o : overshoots) mean += o / static_cast<double>(overshoots.size());
    json += (json.size() > 1 ? "," : "") + std::string("{\"delay\":") + std::to_string(delay) +
            ",\"count\":" + std::to_string(count) +
            ",\"median\":" + std::to_string(overshoots[overshoots.size() / 2]) +
            ",\"p99\":" + std::to_string(overshoots[overshoots.size() * 99 / 100]) +
            ",\"mean\":" + std::to_string(mean) + ",\"max\":" + std::to_string(overshoots.back()) +
            "}";
  }
  demo_publish((json + "]").c_str());
}

}  // namespace

int main() {
  forms::web::WebClock clock;
  DemoForm form(clock);
  form.Form_Load();
  form.show();
  if (demo_query_has("bench", "waits")) MeasureWaits(form);
  forms::web::RunEventLoop();
  return 0;
}
