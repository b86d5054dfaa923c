// kepler-laws: one window in which students watch Kepler's first and second laws happen.
#include <QApplication>

#include "forms/clock.h"
#include "forms/fonts.h"
#include "window/form1.h"

int main(int argc, char* argv[]) {
  forms::PinFontSubstitutions();
  QApplication app(argc, argv);
  QApplication::setStyle(QStringLiteral("Fusion"));
  forms::SteadyClock clock;
  Form1 form(clock);
  form.Form_Load();
  form.show();
  return QApplication::exec();
}
