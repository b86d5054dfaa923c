#pragma once
// Opening the display. Qt ends a program whose platform plugin cannot start with an abort and
// several English lines; while a DisplayStart lives, that failure ends the program with status 1
// and a message naming its real cause. When the plugin could not reach its display (none set, a
// dead one), one Japanese line says how to run on a virtual display; when the platform failed
// otherwise (an unknown or missing plugin, say), one Japanese line says so, followed by Qt's own
// messages giving the reason. Other messages of the start are held back and passed on once it has
// succeeded.

#include <QString>
#include <QtGlobal>

namespace forms::qt {

class DisplayStart {
 public:
  DisplayStart();
  ~DisplayStart();
  DisplayStart(const DisplayStart&) = delete;
  DisplayStart& operator=(const DisplayStart&) = delete;

  // The application has its display: passes on the messages held back and stops watching.
  void opened();

  // The line printed when no display can be opened, without the start of an error line (ErrorLine).
  static QString noDisplayText();
  // The line printed, before Qt's reason, when the platform could not be started for another
  // reason.
  static QString platformFailureText();

 private:
  static void handle(QtMsgType type, const QMessageLogContext& context, const QString& message);
};

}  // namespace forms::qt
