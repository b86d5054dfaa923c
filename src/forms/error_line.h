#pragma once
// The program's own lines on its error output (stderr on the desktop, the console in a browser):
// each starts with the program's name.

#include <string>
#include <string_view>

namespace forms {

// "kepler-laws: " and the message.
inline std::string ErrorLine(std::string_view utf8Message) {
  return "kepler-laws: " + std::string(utf8Message);
}

// Writes the error line of a run-time error that ends the program.
void ReportFatal(std::string_view utf8Message);

}  // namespace forms
