#include "trace_recorder.h"

#include <QLoggingCategory>

#include <cstring>

namespace testing_support {
namespace {

QStringList* recorded = nullptr;
QtMessageHandler previous = nullptr;

void record(QtMsgType type, const QMessageLogContext& context, const QString& message) {
  if (recorded && context.category && std::strcmp(context.category, "kepler.forms") == 0) {
    recorded->append(message);
    return;
  }
  if (previous) previous(type, context, message);
}

}  // namespace

TraceRecorder::TraceRecorder() : outer_(recorded) {
  recorded = &lines_;
  if (outer_) return;
  previous = qInstallMessageHandler(record);
  QLoggingCategory::setFilterRules(QStringLiteral("kepler.forms.debug=true"));
}

TraceRecorder::~TraceRecorder() {
  recorded = outer_;
  if (outer_) return;
  QLoggingCategory::setFilterRules(QStringLiteral("kepler.forms.debug=false"));
  qInstallMessageHandler(previous);
}

const QStringList& TraceRecorder::lines() const {
  return lines_;
}
void TraceRecorder::clear() {
  lines_.clear();
}

QStringList TraceRecorder::starting(const QString& prefix) const {
  QStringList out;
  for (const QString& line : lines_) {
    if (line.startsWith(prefix)) out.append(line);
  }
  return out;
}

}  // namespace testing_support
