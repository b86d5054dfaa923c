#include "forms/qt/display_start.h"

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "forms/error_line.h"

namespace forms::qt {
namespace {

struct HeldMessage {
  QtMsgType type;
  std::string category;
  QString message;
};

QtMessageHandler previousHandler = nullptr;
std::vector<HeldMessage>* held = nullptr;

// Whether the platform plugin failed because it could not reach its display server: the X
// plugin's "could not connect to display …" (category qt.qpa.xcb), the Wayland plugin's "Failed to
// create wl_display (…)". Every other failure (no such plugin, a library missing, …) is not the
// display's.
bool DisplayUnreachable(const std::vector<HeldMessage>& messages) {
  for (const HeldMessage& m : messages) {
    if ((m.category == "qt.qpa.xcb" &&
         m.message.startsWith(QLatin1String("could not connect to display"))) ||
        m.message.startsWith(QLatin1String("Failed to create wl_display")))
      return true;
  }
  return false;
}

// One of Qt's messages as Qt itself would print it (QT_MESSAGE_PATTERN applies).
void PrintAsQt(QtMsgType type, const char* category, const QString& message) {
  const QMessageLogContext context(nullptr, 0, nullptr, category);
  std::fprintf(stderr, "%s\n", qFormatLogMessage(type, context, message).toUtf8().constData());
}

}  // namespace

DisplayStart::DisplayStart() {
  held = new std::vector<HeldMessage>;
  previousHandler = qInstallMessageHandler(&DisplayStart::handle);
}

DisplayStart::~DisplayStart() {
  opened();
}

void DisplayStart::opened() {
  if (held == nullptr) return;
  qInstallMessageHandler(previousHandler);
  std::vector<HeldMessage>* messages = held;
  held = nullptr;
  for (const HeldMessage& m : *messages) {
    const QMessageLogContext context(nullptr, 0, nullptr, m.category.c_str());
    qt_message_output(m.type, context, m.message);
  }
  delete messages;
}

QString DisplayStart::noDisplayText() {
  return QStringLiteral(
      "画面（ディスプレイ）を開けませんでした。デスクトップの中から起動するか、"
      "仮想ディスプレイの上で起動してください（例: xvfb-run -a -s \"-screen 0 1280x800x24\" "
      "kepler-laws）");
}

QString DisplayStart::platformFailureText() {
  return QStringLiteral(
      "画面に表示するための Qt のプラットフォームを起動できませんでした。"
      "QT_QPA_PLATFORM を指定しているときはその値を確かめてください。Qt の報告:");
}

void DisplayStart::handle(QtMsgType type, const QMessageLogContext& context,
                          const QString& message) {
  if (type == QtFatalMsg) {
    // Qt's platform start failed: no window can be shown, so end here, without Qt's abort.
    if (DisplayUnreachable(*held)) {
      std::fprintf(stderr, "%s\n", ErrorLine(noDisplayText().toStdString()).c_str());
    } else {
      std::fprintf(stderr, "%s\n", ErrorLine(platformFailureText().toStdString()).c_str());
      for (const HeldMessage& m : *held) PrintAsQt(m.type, m.category.c_str(), m.message);
      PrintAsQt(type, context.category ? context.category : "default", message);
    }
    std::fflush(stderr);
    std::_Exit(1);
  }
  held->push_back({type, context.category ? context.category : "default", message});
}

}  // namespace forms::qt
