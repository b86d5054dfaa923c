// kepler-laws: one window in which students watch Kepler's first and second laws happen. The
// desktop program: Form1 on the forms layer's Qt backend.
#include <QApplication>

#include <clocale>

#include "core/program_file.h"
#include "forms/lesson.h"
#include "forms/lesson_clock.h"
#include "forms/qt/clock.h"
#include "forms/qt/display_start.h"
#include "forms/qt/fonts.h"
#include "forms/qt/lesson_strip.h"
#include "window/form1.h"

int main(int argc, char* argv[]) {
  forms::qt::PinFontSubstitutions();
  forms::qt::DisplayStart display;
  // On X, Qt hands repaints to the server in shared memory and waits for the server's answer
  // before the next one: a round trip, and two wake-ups, per repaint. The demonstrations repaint
  // small areas 60 times a second, which travel faster in the request itself.
  if (!qEnvironmentVariableIsSet("QT_XCB_NO_MITSHM")) qputenv("QT_XCB_NO_MITSHM", "1");
  QApplication app(argc, argv);
  // Qt has taken the whole C locale from the environment; numbers stay as the program writes
  // them (a point, no grouping) on a German or French desktop too.
  std::setlocale(LC_NUMERIC, "C");
  // Names the menu entry, whose icon a Wayland taskbar shows in place of the window's own.
  QGuiApplication::setDesktopFileName(QStringLiteral("kepler-laws"));
  display.opened();
  forms::qt::RegisterEmbeddedFonts();
  kepler::EnterProgramFolder(QCoreApplication::applicationDirPath().toStdString());
  QApplication::setStyle(QStringLiteral("Fusion"));
  forms::qt::SteadyClock clock;
  // The window's waits read lesson time, which the lesson strip pauses, steps and slows down.
  forms::LessonClock lessonClock(clock);
  Form1 form(lessonClock);
  form.Form_Load();
  forms::Lesson lesson(lessonClock);
  form.UseLesson(lesson);
  const forms::qt::LessonStrip strip(form.window(), lesson);
  form.show();
  return QApplication::exec();
}
