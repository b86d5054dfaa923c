#pragma once
// A timer control of the forms runtime that has no handler: it exists on the window and does
// nothing, as the window's two timers do.

#include <QString>

namespace forms {

class Timer {
 public:
  explicit Timer(QString name) : name_(std::move(name)) {}
  const QString& name() const { return name_; }

 private:
  QString name_;
};

}  // namespace forms
