#pragma once
// A timer control of the forms runtime that has no handler: it exists on the window and does
// nothing, as the window's two timers do.

#include <string>

namespace forms {

class Timer {
 public:
  explicit Timer(std::string name) : name_(std::move(name)) {}
  const std::string& name() const { return name_; }

 private:
  std::string name_;
};

}  // namespace forms
