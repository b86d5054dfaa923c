#pragma once
// One cell of the scenario state as the old runtime kept it: empty, a number or a text.
// Empty reads as 0 in arithmetic; a text read as a number is a type mismatch that the caller
// reports with the context it knows (file, record, field).

#include <optional>
#include <string>
#include <utility>
#include <variant>

namespace kepler {

class Value {
 public:
  Value() = default;
  Value(double number)
      : content_(number) {}  // NOLINT: a number converts implicitly, as in the runtime
  static Value text(std::string s) { return Value(std::move(s)); }

  bool isEmpty() const { return std::holds_alternative<std::monostate>(content_); }
  bool isText() const { return std::holds_alternative<std::string>(content_); }

  // The value as a number: empty is 0; a text has no number.
  std::optional<double> number() const {
    if (const double* d = std::get_if<double>(&content_)) return *d;
    if (isEmpty()) return 0.0;
    return std::nullopt;
  }
  const std::string& textValue() const { return std::get<std::string>(content_); }

  friend bool operator==(const Value&, const Value&) = default;

 private:
  explicit Value(std::string s) : content_(std::move(s)) {}
  std::variant<std::monostate, double, std::string> content_;
};

}  // namespace kepler
