#include "core/field_reader.h"

#include <fast_float/fast_float.h>

#include <cmath>
#include <exception>
#include <string>
#include <system_error>

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

void AppendEscaped(std::string& out, unsigned char byte) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  out += "\\x";
  out += kHex[byte >> 4];
  out += kHex[byte & 0x0F];
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

FieldFault FieldReader::readField(Value& value) {
  const bool fieldRequired = afterComma_;
  afterComma_ = false;
  int c = buffer_->sgetc();
  // Line ends where a field would begin are empty lines between records: skip them, unless a
  // comma has already promised a field here.
  while (IsBlank(c) || (!fieldRequired && IsLineEnd(c))) c = buffer_->snextc();

  if (c == kEnd) return fieldRequired ? FieldFault::None : FieldFault::EndOfInput;
  if (c == ',' || IsLineEnd(c)) {
    takeDelimiter();
    return FieldFault::None;  // `value` stays empty
  }
  bytes_.clear();
  return c == '"' ? readQuoted(value) : readUnquoted(value);
}

FieldFault FieldReader::readQuoted(Value& value) {
  int c = buffer_->snextc();  // past the opening quote
  while (c != kEnd && c != '"') {
    if (bytes_.size() == kMaxFieldBytes) return FieldFault::TooLong;
    bytes_ += Traits::to_char_type(c);
    c = buffer_->snextc();
  }
  if (c == '"') c = buffer_->snextc();
  // What follows the closing quote up to the field's end is dropped but counts towards the bound.
  std::size_t length = bytes_.size();
  while (c != kEnd && c != ',' && !IsLineEnd(c)) {
    if (length == kMaxFieldBytes) return FieldFault::TooLong;
    ++length;
    c = buffer_->snextc();
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
    c = buffer_->snextc();
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
    buffer_->sbumpc();
    afterComma_ = true;
  } else if (IsLineEnd(c)) {
    takeLineEnd();
  }
}

// Consumes one line end: LF, CR LF or a lone CR.
void FieldReader::takeLineEnd() {
  if (buffer_->sbumpc() == '\r' && buffer_->sgetc() == '\n') buffer_->sbumpc();
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
    // C0 controls, DEL and the C1 controls U+0080..U+009F (C2 80..C2 9F) are not printable.
    const bool control =
        lead < 0x20 || lead == 0x7F ||
        (length == 2 && lead == 0xC2 && static_cast<unsigned char>(text[i + 1]) < 0xA0);
    if (length == 0 || control) {
      AppendEscaped(out, lead);
      ++i;
    } else {
      out.append(text.substr(i, length));
      i += length;
    }
    ++chars;
  }
  return out;
}

}  // namespace kepler
