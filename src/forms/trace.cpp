#include "forms/trace.h"

#include <charconv>

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
  char buffer[32];
  const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
  return QString::fromLatin1(buffer, static_cast<qsizetype>(result.ptr - buffer));
}

void traceLine(const QString& line) {
  qCDebug(lcForms).noquote() << line;
}

}  // namespace forms
