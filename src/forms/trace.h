#pragma once
// The operation trace: one line per forms operation under the logging category "kepler.forms",
// off by default (QT_LOGGING_RULES="kepler.forms.debug=true" turns it on). End-to-end checks read
// it, so the line formats here are an interface. It records; it never changes what is shown.

#include <QLoggingCategory>
#include <QString>

#include <string_view>

Q_DECLARE_LOGGING_CATEGORY(lcForms)

namespace forms {

// A text in double quotes with '"' and '\' escaped by a backslash.
QString quoted(const QString& text);
// A single-precision value in shortest round-trip form ("602.22", "15", "-0.5").
QString number(float value);

// Whether the trace is on. A caller guards a line with it only where building the line costs
// something on every frame (formatting numbers or quoting a read-out); traceLine itself writes
// nothing while the trace is off.
inline bool tracing() {
  return lcForms().isDebugEnabled();
}
void traceLine(const QString& line);

}  // namespace forms
