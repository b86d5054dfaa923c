#pragma once
// Opening the display. Qt ends a program that finds no display (none set, a dead one, an unknown
// platform plugin) with an abort and several English lines; while a DisplayStart lives, that
// failure prints one Japanese line saying how to run on a virtual display, and ends the program
// with status 1. Other messages of the start are held back and passed on once it has succeeded.

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

  // The line printed when no display can be opened, without the program's "kepler-laws: ".
  static QString noDisplayText();

 private:
  static void handle(QtMsgType type, const QMessageLogContext& context, const QString& message);
};

}  // namespace forms::qt
