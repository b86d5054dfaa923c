#include "forms/color.h"

#include <QGuiApplication>

namespace forms {

Color systemColor(QPalette::ColorRole role) {
  return fromQColor(QGuiApplication::palette().color(QPalette::Active, role));
}

}  // namespace forms
