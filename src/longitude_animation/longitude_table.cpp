// Reading a data file of longitudes and distances into LongitudeTable, field by field, as the
// runtime's sequential input did.
#include <sstream>

#include "core/field_reader.h"
#include "core/program_file.h"
#include "core/runtime_error.h"
#include "forms/trace.h"
#include "window/form1.h"

namespace {

const char* const kFieldNames[3] = {"先頭の項目", "経度", "距離"};

}  // namespace

void Form1::LoadLongitudeTable(const std::string& fileName, int recordCount) {
  forms::traceLine("Form1 Open " + forms::quoted(fileName));
  const std::string& name = fileName;
  std::istringstream file(kepler::ReadProgramFile(kepler::FileKind::Data, name).bytes);
  kepler::FieldReader reader(file);
  kepler::Value* const fields[3] = {&InputLead, &InputLongitude, &InputDistance};
  for (int n = 1; n <= recordCount; ++n) {
    for (int field = 0; field < 3; ++field) {
      const kepler::FieldFault fault = reader.next(*fields[field]);
      if (fault != kepler::FieldFault::None) {
        kepler::ThrowFileError(kepler::FileKind::Data, name,
                               "記録 " + std::to_string(n) + " の項目 " +
                                   std::to_string(field + 1) + "（" + kFieldNames[field] +
                                   "）: " + kepler::FieldFaultText(fault));
      }
    }
    LongitudeTable(n, 1) = InputLongitude;
    LongitudeTable(n, 2) = InputDistance;
    longitudeSource_[static_cast<std::size_t>(n)] = fileName;
  }
  forms::traceLine("Form1 Close");
}

double Form1::LongitudeNumber(int row, int column) const {
  const kepler::Value& cell = LongitudeTable(row, column);
  if (const std::optional<double> number = cell.number()) return *number;
  // A text that reads as a number converts, as the runtime's variants did; any other is a type
  // mismatch, reported where the animation first computes with it.
  if (const std::optional<double> number = kepler::ParseNumber(cell.textValue())) return *number;
  throw kepler::RuntimeError("データファイル \"" + longitudeSource_[static_cast<std::size_t>(row)] +
                             "\" の記録 " + std::to_string(row) + " の" + kFieldNames[column] +
                             " \"" + kepler::PrintableExcerpt(cell.textValue()) +
                             "\" は数値ではありません（型が一致しません）");
}
