// kepler-laws: one window in which students watch Kepler's first and second laws happen. The
// desktop program: Form1 on the forms layer's Qt backend.
#include <QApplication>

#include "core/program_file.h"
#include "forms/qt/clock.h"
#include "forms/qt/display_start.h"
#include "forms/qt/fonts.h"
#include "window/form1.h"

int main(int argc, char* argv[]) {
  forms::qt::PinFontSubstitutions();
  forms::qt::DisplayStart display;
  // On X, Qt hands repaints to the server in shared memory and waits for the server's answer
  // before the next one: a round trip, and two wake-ups, per repaint. The demonstrations repaint
  // small areas 60 times a second, which travel faster in the request itself.
  if (!qEnvironmentVariableIsSet("QT_XCB_NO_MITSHM")) qputenv("QT_XCB_NO_MITSHM", "1");
  QApplication app(argc, argv);
  // Names the menu entry, whose icon a Wayland taskbar shows in place of the window's own.
  QGuiApplication::setDesktopFileName(QStringLiteral("kepler-laws"));
  display.opened();
  forms::qt::RegisterEmbeddedFonts();
  kepler::EnterProgramFolder(QCoreApplication::applicationDirPath().toStdString());
  QApplication::setStyle(QStringLiteral("Fusion"));
  forms::qt::SteadyClock clock;
  Form1 form(clock);
  form.Form_Load();
  form.show();
  return QApplication::exec();
}
