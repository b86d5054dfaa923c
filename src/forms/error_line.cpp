#include "forms/error_line.h"

#include "forms/backend.h"

namespace forms {

void ReportFatal(std::string_view utf8Message) {
  WriteErrorLine(ErrorLine(utf8Message));
}

}  // namespace forms
