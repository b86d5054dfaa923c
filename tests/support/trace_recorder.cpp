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

TraceRecorder::TraceRecorder() {
  recorded = new QStringList;
  previous = qInstallMessageHandler(record);
  QLoggingCategory::setFilterRules(QStringLiteral("kepler.forms.debug=true"));
}

TraceRecorder::~TraceRecorder() {
  QLoggingCategory::setFilterRules(QStringLiteral("kepler.forms.debug=false"));
  qInstallMessageHandler(previous);
  delete recorded;
  recorded = nullptr;
}

const QStringList& TraceRecorder::lines() const {
  return *recorded;
}
void TraceRecorder::clear() {
  recorded->clear();
}

QStringList TraceRecorder::starting(const QString& prefix) const {
  QStringList out;
  for (const QString& line : *recorded) {
    if (line.startsWith(prefix)) out.append(line);
  }
  return out;
}

}  // namespace testing_support
