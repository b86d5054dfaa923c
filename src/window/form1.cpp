#include "window/form1.h"

#include <exception>
#include <string>

#include "core/runtime_error.h"
#include "forms/error_line.h"
#include "forms/font.h"
#include "forms/message_box.h"
#include "forms/trace.h"
#include "window/colors.h"
#include "window/layout.h"

namespace {

using colors::kDrawingSurface;
using colors::kReadOutText;
using colors::kTitleBand;

using forms::kDefaultFont;
using forms::kF1;
using forms::kF2;

constexpr forms::LabelStyle kPlain{};
constexpr forms::LabelStyle kAutoSize{.autoSize = true};
constexpr forms::LabelStyle kWordWrap{.wordWrap = true};
constexpr forms::LabelStyle kCentred{.centred = true};

std::string Command1Name(int index) {
  return "Command1(" + std::to_string(index) + ")";
}

}  // namespace

Form1::Form1(forms::Clock& clock)
    : clock_(clock),
      window_(989, 577),
      Picture1("Picture1", window_.client(), kDrawingSurface, forms::systemWindowText(),
               layout::kDrawing.left, layout::kDrawing.top, layout::kDrawing.width,
               layout::kDrawing.height),
      Picture2("Picture2", window_.client(), kDrawingSurface, forms::systemWindowText(),
               layout::kReadOuts.left, layout::kReadOuts.top, layout::kReadOuts.width,
               layout::kReadOuts.height),
      Image1("Image1", Picture1, 8, 280, 33, 25),
      Image2("Image2", Picture1, 16, 320, 25, 25),
      Image4("Image4", Picture1, 16, 408, 25, 25),
      Image3("Image3", Picture1, 8, 352, 33, 41),
      Label6("Label6", Picture1.surface(), kDefaultFont, kDrawingSurface, forms::systemButtonText(),
             std::string(10, ' '), kPlain, 0, 0, 105, 25),
      Label7("Label7", Picture1.surface(), kF1, kDrawingSurface, kReadOutText, std::string(10, ' '),
             kAutoSize, layout::kSpeedCaption.left, layout::kSpeedCaption.top, 0, 0),
      Label11("Label11", Picture1.surface(), kF1, kDrawingSurface, kReadOutText,
              std::string(5, ' '), kAutoSize, layout::kSpeedValue.left, layout::kSpeedValue.top, 0,
              0),
      Label4("Label4", Picture2.surface(), kF1, kDrawingSurface, kReadOutText, std::string(12, ' '),
             kAutoSize, layout::kRatioText.left, layout::kRatioText.top, 0, 0),
      Label5("Label5", Picture2.surface(), kF1, kDrawingSurface, kReadOutText, std::string(12, ' '),
             kAutoSize, layout::kDaysText.left, layout::kDaysText.top, 0, 0),
      Label2("Label2", window_.client(), kDefaultFont, kTitleBand, forms::systemButtonText(),
             std::string(), kWordWrap, layout::kTitleBand.left, layout::kTitleBand.top,
             layout::kTitleBand.width, layout::kTitleBand.height),
      Label1("Label1", window_.client(), kF2, kTitleBand, forms::systemWindowText(), "Label1",
             kCentred, layout::kTitle.left, layout::kTitle.top, layout::kTitle.width,
             layout::kTitle.height),
      Label9("Label9", window_.client(), kF1, forms::systemButtonFace(), colors::kHintText,
             "Label9", kWordWrap, layout::kHint.left, layout::kHint.top, layout::kHint.width,
             layout::kHint.height),
      Label8("Label8", window_.client(), kDefaultFont, forms::system3DLight(),
             forms::systemButtonText(), std::string(5, ' '), kPlain, 784, 504, 129, 25),
      Label3("Label3", window_.client(), kDefaultFont, forms::system3DLight(),
             forms::systemButtonText(), std::string(4, ' '), kPlain, 784, 536, 121, 33),
      Command2("Command2", window_.client(), kF1),
      Command3("Command3", window_.client(), kF1),
      Timer1("Timer1"),
      Timer2("Timer2") {
  window_.setCaption("Form1");
  window_.setBackColor(colors::kWindowBack);
  window_.onClose([this] {
    // Closing the window ends the program like a confirmed quit; a running demonstration stops
    // after its current wait.
    if (!ending_) End(0);
  });

  for (int i = 0; i < 8; ++i) {
    command1_.push_back(
        std::make_unique<forms::CommandButton>(Command1Name(i), window_.client(), kF1));
    const auto index = static_cast<std::int16_t>(i);
    command1_.back()->onClick([this, index] { ClickScenario(index); });
  }
  Command2.onClick([this] { runHandler("Command2", [this] { Command2_Click(); }); });
  Command3.onClick([this] { runHandler("Command3", [this] { Command3_Click(); }); });

  // The Tab key visits the buttons from top to bottom, starting at the first scenario button,
  // which has the focus when the window first shows.
  std::vector<forms::CommandButton*> tabOrder;
  for (const auto& button : command1_) tabOrder.push_back(button.get());
  tabOrder.push_back(&Command2);
  tabOrder.push_back(&Command3);
  window_.setTabOrder(tabOrder);
  Command1(0).setFocus();
}

Form1::~Form1() = default;

forms::CommandButton& Form1::Command1(int Index) {
  if (Index < 0 || Index >= static_cast<int>(command1_.size())) {
    throw kepler::RuntimeError("インデックスが有効範囲にありません。");
  }
  return *command1_[static_cast<std::size_t>(Index)];
}

void Form1::ClickScenario(std::int16_t index) {
  // A click beyond the nesting cap is ignored: nothing is traced, shown or changed.
  if (scenarioDepth_ >= kMaxScenarioNesting) return;
  lastScenario_ = index;
  ++scenarioDepth_;
  runHandler(Command1Name(index), [this, index] { Command1_Click(index); });
  --scenarioDepth_;
  if (scenarioDepth_ > 0) return;
  stopping_ = false;
  if (replayPending_) {
    replayPending_ = false;
    ClickScenario(static_cast<std::int16_t>(lastScenario_));
  }
}

void Form1::StopDemonstrations() {
  if (scenarioDepth_ > 0) stopping_ = true;
}

void Form1::ReplayDemonstration() {
  if (lastScenario_ < 0 || ending_) return;
  if (scenarioDepth_ > 0) {
    stopping_ = true;
    replayPending_ = true;
  } else {
    ClickScenario(static_cast<std::int16_t>(lastScenario_));
  }
}

void Form1::show() {
  window_.show();
}

void Form1::runHandler(const std::string& button, const std::function<void()>& handler) {
  if (ending_) return;
  forms::traceLine("Form1 Click " + button);
  try {
    handler();
  } catch (const kepler::RuntimeError& error) {
    runtimeError(error.what());
  } catch (const std::exception& error) {
    runtimeError(std::string("内部エラーが発生しました: ") + error.what());
  }
  if (!ending_) forms::traceLine("Form1 Return " + button);
}

void Form1::runtimeError(const std::string& message) {
  if (ending_) return;
  // The program ends from here on: a click handled while the box is shown, or together with its
  // OK, starts nothing, so there is one box, one line on stderr and one end.
  ending_ = true;
  forms::traceLine("Form1 Error " + forms::quoted(message));
  forms::ReportFatal(message);
  forms::ErrorBox(message);
  End(1);
}

void Form1::End(int exitCode) {
  ending_ = true;
  exitCode_ = exitCode;
  forms::traceLine("Form1 End");
  forms::EndProgram(exitCode);
}
