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
  const std::string bytes = kepler::ReadProgramFile(kepler::FileKind::Data, name).bytes;
  std::istringstream file(bytes);
  kepler::FieldReader reader(file);
  kepler::Value* const fields[3] = {&InputLead, &InputLongitude, &InputDistance};
  kepler::LineOfText line;  // the last line whose separators were checked
  bool lineChecked = false;
  for (int n = 1; n <= recordCount; ++n) {
    for (int field = 0; field < 3; ++field) {
      const kepler::FieldFault fault = reader.next(*fields[field]);
      const auto fail = [&](const std::string& cause) {
        kepler::ThrowFileError(kepler::FileKind::Data, name,
                               "記録 " + std::to_string(n) + " の項目 " +
                                   std::to_string(field + 1) + "（" + kFieldNames[field] +
                                   "）: " + cause);
      };
      // A spreadsheet's decimal commas or tabs shift every later field: say so on the line
      // where it begins, before the shifted fields are read as records.
      if (!lineChecked || reader.fieldOffset() > line.end) {
        line = kepler::LineAt(bytes, reader.fieldOffset(), line);
        lineChecked = true;
        const kepler::SeparatorFault separators = kepler::FindSeparatorFault(line.text);
        if (separators.kind != kepler::SeparatorFault::None) {
          fail(std::to_string(line.number) + " 行目: " + kepler::SeparatorFaultText(separators));
        }
      }
      if (fault != kepler::FieldFault::None) fail(kepler::FieldFaultText(fault));
      // An empty cell would read as 0: the planet on the Sun, and every later record a day late.
      // One after a comma that ends the file is a file cut short.
      if (field > 0 && fields[field]->isEmpty()) {
        fail(reader.fieldOffset() == bytes.size()
                 ? kepler::FieldFaultText(kepler::FieldFault::EndOfInput)
                 : std::string("値が空です"));
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
