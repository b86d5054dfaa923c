#include "core/field_reader.h"

#include <fast_float/fast_float.h>

#include <algorithm>
#include <cmath>
#include <exception>
#include <string>
#include <system_error>
#include <vector>

namespace kepler {

namespace {

using Traits = std::char_traits<char>;
constexpr int kEnd = Traits::eof();

bool IsBlank(int c) {
  return c == ' ' || c == '\t';
}
bool IsLineEnd(int c) {
  return c == '\n' || c == '\r';
}
bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}
bool IsBlankChar(char c) {
  return c == ' ' || c == '\t';
}

// Length of the well-formed UTF-8 sequence that starts at s[i], 0 if none does. The ranges are
// those of the Unicode Standard, table 3-7 (no overlong forms, no surrogates, nothing above
// U+10FFFF).
std::size_t Utf8SequenceLength(std::string_view s, std::size_t i) {
  const auto at = [&s](std::size_t k) { return static_cast<unsigned char>(s[k]); };
  const unsigned char lead = at(i);
  if (lead < 0x80) return 1;
  std::size_t length = 0;
  unsigned char low = 0x80;  // the range of the second byte
  unsigned char high = 0xBF;
  if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3;
    if (lead == 0xE0) low = 0xA0;
    if (lead == 0xED) high = 0x9F;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4;
    if (lead == 0xF0) low = 0x90;
    if (lead == 0xF4) high = 0x8F;
  } else {
    return 0;
  }
  if (s.size() - i < length) return 0;
  if (at(i + 1) < low || at(i + 1) > high) return 0;
  for (std::size_t k = 2; k < length; ++k) {
    if (at(i + k) < 0x80 || at(i + k) > 0xBF) return 0;
  }
  return length;
}

constexpr char kHex[] = "0123456789ABCDEF";

void AppendEscaped(std::string& out, unsigned char byte) {
  out += "\\x";
  out += kHex[byte >> 4];
  out += kHex[byte & 0x0F];
}

// The code point of a well-formed UTF-8 sequence of `length` bytes.
char32_t DecodeUtf8(std::string_view s, std::size_t i, std::size_t length) {
  static constexpr unsigned char kLeadBits[] = {0, 0x7F, 0x1F, 0x0F, 0x07};
  char32_t code = static_cast<unsigned char>(s[i]) & kLeadBits[length];
  for (std::size_t k = 1; k < length; ++k) {
    code = (code << 6) | (static_cast<unsigned char>(s[i + k]) & 0x3Fu);
  }
  return code;
}

// Characters that print as nothing or as a blank, so that "93.2712" followed by one of them
// would look like a number in a message: the C1 controls, no-break and other spaces, zero-width
// and direction marks, separators, the byte order mark.
bool IsInvisible(char32_t c) {
  return (c >= 0x80 && c <= 0xA0) || c == 0xAD || c == 0x1680 || c == 0x180E ||
         (c >= 0x2000 && c <= 0x200F) || (c >= 0x2028 && c <= 0x202F) ||
         (c >= 0x205F && c <= 0x206F) || c == 0x3000 || c == 0xFEFF;
}

void AppendCodePoint(std::string& out, char32_t code) {
  out += "\\u";
  for (int shift = 12; shift >= 0; shift -= 4) out += kHex[(code >> shift) & 0x0F];
}

bool IsDigits(std::string_view s, bool signAllowed) {
  if (signAllowed && !s.empty() && (s.front() == '-' || s.front() == '+')) s.remove_prefix(1);
  if (s.empty()) return false;
  for (const char c : s) {
    if (!IsDigit(c)) return false;
  }
  return true;
}

std::string_view TrimBlanks(std::string_view s) {
  while (!s.empty() && IsBlankChar(s.front())) s.remove_prefix(1);
  while (!s.empty() && IsBlankChar(s.back())) s.remove_suffix(1);
  return s;
}

}  // namespace

FieldReader::FieldReader(std::istream& in) : buffer_(in.rdbuf()) {
  if (buffer_ == nullptr || in.fail()) fault_ = FieldFault::ReadError;
  bytes_.reserve(kMaxFieldBytes);
}

FieldFault FieldReader::next(Value& value) {
  value = Value();
  if (fault_ != FieldFault::None) return fault_;
  try {
    fault_ = readField(value);
  } catch (const std::exception&) {
    // A file stream buffer throws when the system refuses a read (a directory, an I/O error).
    fault_ = FieldFault::ReadError;
  }
  if (fault_ != FieldFault::None) {
    value = Value();
    return fault_;
  }
  ++fieldsRead_;
  return FieldFault::None;
}

void FieldReader::bump() {
  buffer_->sbumpc();
  ++offset_;
}

int FieldReader::skip() {
  bump();
  return buffer_->sgetc();
}

FieldFault FieldReader::readField(Value& value) {
  const bool fieldRequired = afterComma_;
  afterComma_ = false;
  int c = buffer_->sgetc();
  // Line ends where a field would begin are empty lines between records: skip them, unless a
  // comma has already promised a field here.
  while (IsBlank(c) || (!fieldRequired && IsLineEnd(c))) c = skip();
  fieldOffset_ = offset_;

  if (c == kEnd) return fieldRequired ? FieldFault::None : FieldFault::EndOfInput;
  if (c == ',' || IsLineEnd(c)) {
    takeDelimiter();
    return FieldFault::None;  // `value` stays empty
  }
  bytes_.clear();
  return c == '"' ? readQuoted(value) : readUnquoted(value);
}

FieldFault FieldReader::readQuoted(Value& value) {
  int c = skip();  // past the opening quote
  while (c != kEnd && c != '"') {
    if (bytes_.size() == kMaxFieldBytes) return FieldFault::TooLong;
    bytes_ += Traits::to_char_type(c);
    c = skip();
  }
  if (c == '"') c = skip();
  // What follows the closing quote up to the field's end is dropped but counts towards the bound.
  std::size_t length = bytes_.size();
  while (c != kEnd && c != ',' && !IsLineEnd(c)) {
    if (length == kMaxFieldBytes) return FieldFault::TooLong;
    ++length;
    c = skip();
  }
  takeDelimiter();
  value = Value::text(bytes_);
  return FieldFault::None;
}

FieldFault FieldReader::readUnquoted(Value& value) {
  int c = buffer_->sgetc();
  while (c != kEnd && c != ',' && !IsLineEnd(c)) {
    if (bytes_.size() == kMaxFieldBytes) return FieldFault::TooLong;
    bytes_ += Traits::to_char_type(c);
    c = skip();
  }
  takeDelimiter();
  while (!bytes_.empty() && IsBlankChar(bytes_.back())) bytes_.pop_back();
  if (const std::optional<double> number = ParseNumber(bytes_)) {
    value = Value(*number);
  } else {
    value = Value::text(bytes_);
  }
  return FieldFault::None;
}

// Consumes the byte that ended a field, if any: a comma (a field follows) or a line end.
void FieldReader::takeDelimiter() {
  const int c = buffer_->sgetc();
  if (c == ',') {
    bump();
    afterComma_ = true;
  } else if (IsLineEnd(c)) {
    takeLineEnd();
  }
}

// Consumes one line end: LF, CR LF or a lone CR.
void FieldReader::takeLineEnd() {
  const int c = buffer_->sbumpc();
  ++offset_;
  if (c == '\r' && buffer_->sgetc() == '\n') bump();
}

std::optional<double> ParseNumber(std::string_view text) {
  while (!text.empty() && IsBlankChar(text.front())) text.remove_prefix(1);
  while (!text.empty() && IsBlankChar(text.back())) text.remove_suffix(1);

  // sign? (digits ["." digits*] | "." digits) (("e" | "E") sign? digits)?
  std::size_t i = 0;
  const bool negative = i < text.size() && text[i] == '-';
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) ++i;
  const std::size_t mantissaBegin = i;
  std::size_t digits = 0;
  for (; i < text.size() && IsDigit(text[i]); ++i) ++digits;
  if (i < text.size() && text[i] == '.') {
    for (++i; i < text.size() && IsDigit(text[i]); ++i) ++digits;
  }
  if (digits == 0) return std::nullopt;
  if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
    ++i;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) ++i;
    std::size_t exponentDigits = 0;
    for (; i < text.size() && IsDigit(text[i]); ++i) ++exponentDigits;
    if (exponentDigits == 0) return std::nullopt;
  }
  if (i != text.size()) return std::nullopt;

  // The grammar above is a subset of fast_float's own, which never depends on the locale and
  // rounds to nearest like the C library; it takes no leading '+', so the sign is applied here.
  // A magnitude below the smallest subnormal comes back as 0, which is what the runtime reads; one
  // above the largest double comes back infinite, which is no number. (Newer fast_float releases
  // also report those two as result_out_of_range, with the same value.)
  double magnitude = 0.0;
  const char* first = text.data() + mantissaBegin;
  const char* last = text.data() + text.size();
  const fast_float::from_chars_result result =
      fast_float::from_chars(first, last, magnitude, fast_float::chars_format::general);
  const bool parsed = result.ec == std::errc() || result.ec == std::errc::result_out_of_range;
  if (!parsed || result.ptr != last || !std::isfinite(magnitude)) return std::nullopt;
  return negative ? -magnitude : magnitude;
}

std::string FieldFaultText(FieldFault fault) {
  switch (fault) {
    case FieldFault::None:
      return "";
    case FieldFault::EndOfInput:
      return "ファイルの終わりを越えて読み込もうとしました";
    case FieldFault::TooLong:
      return "フィールドが長すぎます（" + std::to_string(FieldReader::kMaxFieldBytes) +
             " バイトまで）";
    case FieldFault::ReadError:
      return "読み込み中にエラーが発生しました";
  }
  return "";
}

std::string PrintableExcerpt(std::string_view text, std::size_t maxChars) {
  std::string out;
  std::size_t chars = 0;
  std::size_t i = 0;
  while (i < text.size()) {
    if (chars == maxChars) return out + "…";
    const auto lead = static_cast<unsigned char>(text[i]);
    const std::size_t length = Utf8SequenceLength(text, i);
    if (length == 0 || lead < 0x20 || lead == 0x7F) {
      AppendEscaped(out, lead);
      ++i;
    } else if (const char32_t code = DecodeUtf8(text, i, length); IsInvisible(code)) {
      AppendCodePoint(out, code);
      i += length;
    } else {
      out.append(text.substr(i, length));
      i += length;
    }
    ++chars;
  }
  return out;
}

SeparatorFault FindSeparatorFault(std::string_view line) {
  // The line's fields as the reader would cut them (commas outside double quotes).
  std::vector<std::string_view> fields;
  bool quoted = false;
  std::size_t begin = 0;
  for (std::size_t i = 0; i <= line.size(); ++i) {
    if (i < line.size() && line[i] == '"') quoted = !quoted;
    if (i == line.size() || (line[i] == ',' && !quoted)) {
      fields.push_back(TrimBlanks(line.substr(begin, i - begin)));
      begin = i + 1;
    }
  }
  if (fields.size() == 1) {
    // No comma: a tab between two parts of the line stands where a comma belongs.
    const std::string_view only = fields.front();
    quoted = false;
    for (const char c : only) {
      if (c == '"') quoted = !quoted;
      if (c == '\t' && !quoted) return {SeparatorFault::TabForComma, std::string(only)};
    }
    return {};
  }
  // Records of three fields fill a line by threes. A number written with a decimal comma adds
  // a field: digits, then digits alone.
  if (fields.size() % 3 == 0) return {};
  for (std::size_t k = 0; k + 1 < fields.size(); ++k) {
    if (IsDigits(fields[k], true) && IsDigits(fields[k + 1], false)) {
      return {SeparatorFault::CommaInNumber,
              std::string(fields[k]) + "," + std::string(fields[k + 1])};
    }
  }
  return {};
}

std::string SeparatorFaultText(const SeparatorFault& fault) {
  const std::string excerpt = "\"" + PrintableExcerpt(fault.excerpt) + "\"";
  switch (fault.kind) {
    case SeparatorFault::None:
      return "";
    case SeparatorFault::CommaInNumber:
      return "数値の中にカンマがあります（小数点はピリオドで書いてください）: " + excerpt;
    case SeparatorFault::TabForComma:
      return "カンマの代わりにタブで区切られています: " + excerpt;
  }
  return "";
}

LineOfText LineAt(std::string_view text, std::size_t offset, LineOfText from) {
  offset = std::min(offset, text.size());
  LineOfText line = from;
  for (std::size_t i = from.begin; i < offset; ++i) {
    if (text[i] == '\n' || (text[i] == '\r' && (i + 1 == text.size() || text[i + 1] != '\n'))) {
      ++line.number;
      line.begin = i + 1;
    }
  }
  line.end = line.begin;
  while (line.end < text.size() && !IsLineEnd(text[line.end])) ++line.end;
  line.text = text.substr(line.begin, line.end - line.begin);
  return line;
}

}  // namespace kepler
