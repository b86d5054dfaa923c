#include "window/form1.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QIcon>

#include <cstdio>
#include <exception>

#include "core/runtime_error.h"
#include "forms/fonts.h"
#include "forms/message_box.h"
#include "forms/trace.h"
#include "window/colours.h"

namespace {

using colours::kDrawingSurface;
using colours::kReadOutText;
using colours::kTitleBand;

QFont F1() {
  return forms::RuntimeFont(forms::kPGothic, 12, 700);
}
QFont F2() {
  return forms::RuntimeFont(forms::kHeavyGothic, 15.75, 400);
}

constexpr forms::LabelStyle kPlain{};
constexpr forms::LabelStyle kAutoSize{.autoSize = true};
constexpr forms::LabelStyle kWordWrap{.wordWrap = true};
constexpr forms::LabelStyle kCentred{.centred = true};

}  // namespace

void FormWindow::closeEvent(QCloseEvent* event) {
  // Closing the window ends the program like a confirmed quit; a running demonstration stops
  // after its current wait.
  event->accept();
  if (!form_.ending_) form_.End(0);
}

Form1::Form1(forms::Clock& clock)
    : clock_(clock),
      window_(*this),
      Picture1(QStringLiteral("Picture1"), &window_, kDrawingSurface, forms::kSystemWindowText, 0,
               41, 800, 500),
      Picture2(QStringLiteral("Picture2"), &window_, kDrawingSurface, forms::kSystemWindowText, 0,
               541, 800, 30),
      Image1(QStringLiteral("Image1"), Picture1.surface(), 8, 280, 33, 25),
      Image2(QStringLiteral("Image2"), Picture1.surface(), 16, 320, 25, 25),
      Image3(QStringLiteral("Image3"), Picture1.surface(), 8, 352, 33, 41),
      Image4(QStringLiteral("Image4"), Picture1.surface(), 16, 408, 25, 25),
      Label6(QStringLiteral("Label6"), Picture1.surface(), forms::DefaultFont(), kDrawingSurface,
             forms::kSystemButtonText, QString(10, QLatin1Char(' ')), kPlain, 0, 0, 105, 25),
      Label7(QStringLiteral("Label7"), Picture1.surface(), F1(), kDrawingSurface, kReadOutText,
             QString(10, QLatin1Char(' ')), kAutoSize, 580, 5, 0, 0),
      Label11(QStringLiteral("Label11"), Picture1.surface(), F1(), kDrawingSurface, kReadOutText,
              QString(5, QLatin1Char(' ')), kAutoSize, 700, 5, 0, 0),
      Label4(QStringLiteral("Label4"), Picture2.surface(), F1(), kDrawingSurface, kReadOutText,
             QString(12, QLatin1Char(' ')), kAutoSize, 10, 0, 0, 0),
      Label5(QStringLiteral("Label5"), Picture2.surface(), F1(), kDrawingSurface, kReadOutText,
             QString(12, QLatin1Char(' ')), kAutoSize, 400, 0, 0, 0),
      Label2(QStringLiteral("Label2"), &window_, forms::DefaultFont(), kTitleBand,
             forms::kSystemButtonText, QString(), kWordWrap, 0, 0, 800, 10),
      Label1(QStringLiteral("Label1"), &window_, F2(), kTitleBand, forms::kSystemWindowText,
             QStringLiteral("Label1"), kCentred, 0, 11, 800, 30),
      Label9(QStringLiteral("Label9"), &window_, F1(), forms::kSystemButtonFace, colours::kHintText,
             QStringLiteral("Label9"), kWordWrap, 801, 0, 180, 40),
      Label8(QStringLiteral("Label8"), &window_, forms::DefaultFont(), forms::kSystem3DLight,
             forms::kSystemButtonText, QString(5, QLatin1Char(' ')), kPlain, 784, 504, 129, 25),
      Label3(QStringLiteral("Label3"), &window_, forms::DefaultFont(), forms::kSystem3DLight,
             forms::kSystemButtonText, QString(4, QLatin1Char(' ')), kPlain, 784, 536, 121, 33),
      Command2(QStringLiteral("Command2"), &window_, F1()),
      Command3(QStringLiteral("Command3"), &window_, F1()),
      Timer1(QStringLiteral("Timer1")),
      Timer2(QStringLiteral("Timer2")) {
  window_.setWindowTitle(QStringLiteral("Form1"));
  // The program's icon, built into it, for the taskbar; the caption stays "Form1".
  window_.setWindowIcon(QIcon(QStringLiteral(":/kepler-laws.png")));
  window_.setFont(forms::DefaultFont());
  QPalette palette = window_.palette();
  palette.setColor(QPalette::Window, forms::toQColor(colours::kWindowBack));
  window_.setPalette(palette);
  window_.setAutoFillBackground(true);

  for (int i = 0; i < 8; ++i) {
    command1_.push_back(std::make_unique<forms::CommandButton>(
        QStringLiteral("Command1(%1)").arg(i), &window_, F1()));
    const auto index = static_cast<std::int16_t>(i);
    command1_.back()->onClick([this, index] {
      // A click beyond the nesting cap is ignored: nothing is traced, shown or changed.
      if (scenarioDepth_ >= kMaxScenarioNesting) return;
      ++scenarioDepth_;
      runHandler(QStringLiteral("Command1(%1)").arg(index),
                 [this, index] { Command1_Click(index); });
      --scenarioDepth_;
    });
  }
  Command2.onClick(
      [this] { runHandler(QStringLiteral("Command2"), [this] { Command2_Click(); }); });
  Command3.onClick(
      [this] { runHandler(QStringLiteral("Command3"), [this] { Command3_Click(); }); });

  // Buttons and picture boxes lie above the labels of their container, and the laws picture and
  // the bodies above the read-outs inside the drawing surface; the Tab key visits the buttons
  // from top to bottom, starting at the first scenario button, which has the focus when the
  // window first shows.
  for (forms::Label* label : {&Label2, &Label1, &Label9, &Label8, &Label3}) {
    label->widget()->lower();
  }
  for (forms::ImageControl* image : {&Image1, &Image2, &Image4, &Image3}) image->widget()->raise();
  QWidget* previous = nullptr;
  for (int i = 0; i < 8; ++i) {
    QWidget* button = Command1(i).widget();
    if (previous) QWidget::setTabOrder(previous, button);
    previous = button;
  }
  QWidget::setTabOrder(previous, Command2.widget());
  QWidget::setTabOrder(Command2.widget(), Command3.widget());
  Command1(0).widget()->setFocus();
}

Form1::~Form1() = default;

forms::CommandButton& Form1::Command1(int Index) {
  if (Index < 0 || Index >= static_cast<int>(command1_.size())) {
    throw kepler::RuntimeError("インデックスが有効範囲にありません。");
  }
  return *command1_[static_cast<std::size_t>(Index)];
}

void Form1::show() {
  window_.show();
}

void Form1::runHandler(const QString& button, const std::function<void()>& handler) {
  if (ending_) return;
  forms::traceLine(QStringLiteral("Form1 Click ") + button);
  try {
    handler();
  } catch (const kepler::RuntimeError& error) {
    runtimeError(QString::fromStdString(error.what()));
  } catch (const std::exception& error) {
    runtimeError(QStringLiteral("内部エラーが発生しました: ") +
                 QString::fromLocal8Bit(error.what()));
  }
  if (!ending_) forms::traceLine(QStringLiteral("Form1 Return ") + button);
}

void Form1::runtimeError(const QString& message) {
  if (ending_) return;
  // The program ends from here on: a click handled while the box is shown, or together with its
  // OK, starts nothing, so there is one box, one line on stderr and one end.
  ending_ = true;
  forms::traceLine(QStringLiteral("Form1 Error ") + forms::quoted(message));
  std::fprintf(stderr, "kepler-laws: %s\n", message.toUtf8().constData());
  std::fflush(stderr);
  forms::ErrorBox(&window_, message);
  End(1);
}

void Form1::End(int exitCode) {
  ending_ = true;
  exitCode_ = exitCode;
  forms::traceLine(QStringLiteral("Form1 End"));
  // exit(), not quit(): quit() would first send close events to the windows.
  QCoreApplication::exit(exitCode);
}
