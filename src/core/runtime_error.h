#pragma once
// The old runtime's untrapped run-time error: a fault that ends the program after the user has
// been told what went wrong. Carries a Japanese message for the user, nothing more; the window
// decides how it is shown and how the program ends.

#include <stdexcept>
#include <string>

namespace kepler {

class RuntimeError : public std::runtime_error {
 public:
  explicit RuntimeError(const std::string& message) : std::runtime_error(message) {}
};

}  // namespace kepler
