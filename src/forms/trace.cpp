#include "forms/trace.h"

#include "core/shortest_float.h"

Q_LOGGING_CATEGORY(lcForms, "kepler.forms", QtInfoMsg)

namespace forms {

QString quoted(const QString& text) {
  QString out;
  out.reserve(text.size() + 2);
  out += QLatin1Char('"');
  for (const QChar c : text) {
    if (c == QLatin1Char('"') || c == QLatin1Char('\\')) out += QLatin1Char('\\');
    out += c;
  }
  out += QLatin1Char('"');
  return out;
}

QString number(float value) {
  return QString::fromStdString(kepler::ShortestFloat(value));
}

void traceLine(const QString& line) {
  qCDebug(lcForms).noquote() << line;
}

}  // namespace forms
