#pragma once
// Sequential field input of the old forms runtime (`Input #1, a, b, c`): a text file read as one
// stream of fields, each empty, a number or a text, byte by byte with a fixed bound per field.
// It neither opens files nor converts a field to the type a caller wants.

#include <cstddef>
#include <istream>
#include <optional>
#include <string>
#include <string_view>

#include "core/value.h"

namespace kepler {

enum class FieldFault { None, EndOfInput, TooLong, ReadError };

// Sequential field input of the old runtime. The file is one sequence of fields; where its line
// ends fall does not matter, so one record per line, a whole file on one line or one field per
// line read alike.
//  - A field ends at a comma, a line end (LF, CR LF or a lone CR) or the end of the file. Blanks
//    (space, tab) in front of a field are skipped.
//  - A field that begins with a double quote is a text up to the closing quote and may hold commas
//    and line ends; whatever follows the closing quote up to the field's end is skipped.
//  - Any other field is the bytes up to its end without trailing blanks: a number if ParseNumber
//    accepts it, a text otherwise.
//  - A comma followed by nothing but blanks before the next comma, line end or the end of the file
//    gives an empty field. Line ends where a new field would begin (empty lines, the file's start)
//    are skipped, so only a comma can make a field out of nothing.
//  - Asking for a field when only blanks and line ends remain faults EndOfInput. A field running
//    for more than kMaxFieldBytes bytes (from its first non-blank byte to its end, quotes not
//    counted) faults TooLong with nothing read past that byte. A stream buffer that throws (a
//    failing file) faults ReadError, as does a stream already failed when the reader is made.
//  - NUL and every other byte are ordinary characters of a field.
// The reader reads through the stream's buffer and leaves the stream's state flags alone.
class FieldReader {
 public:
  static constexpr std::size_t kMaxFieldBytes = 4096;

  explicit FieldReader(std::istream& in);

  // Reads the next field into `value`. Returns FieldFault::None on success; on a fault `value` is
  // left empty and every later call returns the same fault.
  FieldFault next(Value& value);

  // Fields read successfully so far (the next field's 1-based number is fieldsRead() + 1).
  std::size_t fieldsRead() const { return fieldsRead_; }

  // Where the field last asked for begins: its first byte after blanks and skipped line ends,
  // counted from the stream's start [bytes].
  std::size_t fieldOffset() const { return fieldOffset_; }

 private:
  FieldFault readField(Value& value);
  FieldFault readQuoted(Value& value);
  FieldFault readUnquoted(Value& value);
  void takeLineEnd();
  void takeDelimiter();
  void bump();  // passes over the current byte
  int skip();   // passes over the current byte and returns the next one

  std::streambuf* buffer_;
  FieldFault fault_ = FieldFault::None;
  bool afterComma_ = false;  // a comma was just read, so a field follows even if it is empty
  std::size_t fieldsRead_ = 0;
  std::size_t offset_ = 0;
  std::size_t fieldOffset_ = 0;
  std::string bytes_;  // the current field's bytes, never more than kMaxFieldBytes
};

// The runtime's numeric syntax, locale-free: blanks, an optional sign, digits with an optional
// decimal point (".5" and "5." too), an optional exponent ("1.5e3", "1.5E-3"), blanks.
// std::nullopt for anything else (hex, "inf", "nan", "12abc") and for a magnitude beyond the
// double range; a magnitude below it reads as 0.
std::optional<double> ParseNumber(std::string_view text);

// The cause of a fault in Japanese, for the error message ("" for FieldFault::None).
std::string FieldFaultText(FieldFault fault);

// A short printable excerpt of a field's text for an error message: at most maxChars characters
// (a UTF-8 character or an escape each), "…" appended when cut. Control bytes and invalid UTF-8
// are shown as \xNN, characters that print blank or as nothing (no-break and other spaces,
// zero-width and direction marks, the byte order mark, C1 controls) as \uXXXX.
std::string PrintableExcerpt(std::string_view text, std::size_t maxChars = 32);

// A line of a data file that a spreadsheet wrote in another convention: a number with a decimal
// comma (the line then holds a field count that is no multiple of three, two fields of digits
// side by side), or tabs between the fields instead of commas. `excerpt` is what was found.
struct SeparatorFault {
  enum Kind { None, CommaInNumber, TabForComma } kind = None;
  std::string excerpt;
};
SeparatorFault FindSeparatorFault(std::string_view line);

// The fault in Japanese, with its excerpt, for the error message ("" for None).
std::string SeparatorFaultText(const SeparatorFault& fault);

// The line of `text` holding byte `offset` (lines end at LF, CR LF or a lone CR): its 1-based
// number, where it begins and ends [bytes] and its bytes without the line end. The search starts
// at `from`, a line at or before the offset, so reading a file forwards line by line is linear.
struct LineOfText {
  std::size_t number = 1;
  std::size_t begin = 0;
  std::size_t end = 0;  // the line end's offset, or the text's size
  std::string_view text;
};
LineOfText LineAt(std::string_view text, std::size_t offset, LineOfText from = {});

}  // namespace kepler
