#include "forms/qt/display_start.h"

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace forms::qt {
namespace {

struct HeldMessage {
  QtMsgType type;
  std::string category;
  QString message;
};

QtMessageHandler previousHandler = nullptr;
std::vector<HeldMessage>* held = nullptr;

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

void DisplayStart::handle(QtMsgType type, const QMessageLogContext& context,
                          const QString& message) {
  if (type == QtFatalMsg) {
    // Qt's platform start failed: no window can be shown, so end here, without Qt's abort.
    std::fprintf(stderr, "kepler-laws: %s\n", noDisplayText().toUtf8().constData());
    std::fflush(stderr);
    std::_Exit(1);
  }
  held->push_back({type, context.category ? context.category : "default", message});
}

}  // namespace forms::qt
