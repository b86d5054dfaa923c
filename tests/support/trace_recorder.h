#pragma once
// Records the operation trace ("kepler.forms") while it lives, for tests that check what the
// window did and in which order.

#include <QString>
#include <QStringList>

namespace testing_support {

class TraceRecorder {
 public:
  TraceRecorder();
  ~TraceRecorder();
  TraceRecorder(const TraceRecorder&) = delete;
  TraceRecorder& operator=(const TraceRecorder&) = delete;

  const QStringList& lines() const;
  void clear();
  // Lines that start with the prefix, in order.
  QStringList starting(const QString& prefix) const;

 private:
  // A recorder made while another lives records alone until it goes, then hands back.
  QStringList lines_;
  QStringList* outer_;
};

}  // namespace testing_support
