// libFuzzer target for the data-file field reader: reads fields from the input bytes until a
// fault, once through a stream over the whole input and once through a stream that hands the
// bytes out a few at a time, and checks that both agree and that the reader keeps its promises.
// It also feeds the whole input to ParseNumber and PrintableExcerpt.

#include <algorithm>
#include <array>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <istream>
#include <sstream>
#include <streambuf>
#include <string>
#include <string_view>
#include <vector>

#include "core/field_reader.h"

namespace {

using kepler::FieldFault;
using kepler::FieldReader;
using kepler::Value;

void Check(bool holds, const char* promise) {
  if (!holds) {
    std::fprintf(stderr, "field reader broke a promise: %s\n", promise);
    std::abort();
  }
}

// Hands the bytes out `chunk` at a time, so that a CR LF, a quote or the bound may fall across
// two refills of the get area.
class ChunkedBuffer : public std::streambuf {
 public:
  ChunkedBuffer(std::string_view bytes, std::size_t chunk)
      : bytes_(bytes), chunk_(std::min(chunk, window_.size())) {}

 protected:
  int_type underflow() override {
    const std::size_t n = std::min(chunk_, bytes_.size() - next_);
    if (n == 0) return traits_type::eof();
    std::copy_n(bytes_.data() + next_, n, window_.data());
    next_ += n;
    setg(window_.data(), window_.data(), window_.data() + n);
    return traits_type::to_int_type(window_[0]);
  }

 private:
  std::string_view bytes_;
  std::size_t next_ = 0;
  std::array<char, 16> window_{};
  std::size_t chunk_;
};

void CheckExcerpt(std::string_view text) {
  constexpr std::size_t kChars = 8;
  const std::string excerpt = kepler::PrintableExcerpt(text, kChars);
  // At most kChars characters of at most 6 bytes each (\uXXXX), and the 3 bytes of "…".
  Check(excerpt.size() <= 6 * kChars + 3, "an excerpt stays short");
  for (const char c : excerpt) {
    const auto byte = static_cast<unsigned char>(c);
    Check(byte >= 0x20 && byte != 0x7F, "an excerpt holds no control bytes");
  }
  Check(kepler::PrintableExcerpt(excerpt, excerpt.size()) == excerpt,
        "an excerpt is printable as it stands");
}

struct Outcome {
  std::vector<Value> fields;
  FieldFault fault = FieldFault::None;
};

Outcome ReadAll(std::istream& in, std::size_t inputSize) {
  FieldReader reader(in);
  Outcome out;
  Value value;
  std::size_t offset = 0;
  // Every field takes at least one byte except an empty one after a final comma, so a reader
  // that has not faulted after inputSize + 2 fields is looping.
  for (std::size_t i = 0; i < inputSize + 2; ++i) {
    const FieldFault fault = reader.next(value);
    Check(reader.fieldOffset() >= offset && reader.fieldOffset() <= inputSize,
          "fields begin in order, within the input");
    offset = reader.fieldOffset();
    if (fault != FieldFault::None) {
      Check(fault != FieldFault::ReadError, "a memory stream never fails");
      Check(fault != FieldFault::TooLong || inputSize > FieldReader::kMaxFieldBytes,
            "only an input longer than the bound has a field too long");
      Check(value.isEmpty(), "a fault leaves the value empty");
      for (int again = 0; again < 2; ++again) {
        value = 1.0;
        Check(reader.next(value) == fault && value.isEmpty(), "a fault is sticky");
      }
      Check(reader.fieldsRead() == out.fields.size(), "faults do not count as fields");
      out.fault = fault;
      return out;
    }
    if (value.isText()) {
      Check(value.textValue().size() <= FieldReader::kMaxFieldBytes, "a text stays in bounds");
      CheckExcerpt(value.textValue());
    } else if (!value.isEmpty()) {
      Check(std::isfinite(*value.number()), "a number is finite");
    }
    out.fields.push_back(value);
    Check(reader.fieldsRead() == out.fields.size(), "every field read is counted");
  }
  Check(false, "the reader ends with a fault");
  return out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string bytes(reinterpret_cast<const char*>(data), size);

  std::istringstream whole(bytes);
  const Outcome wholeOutcome = ReadAll(whole, size);
  ChunkedBuffer chunks(bytes, size % 7 + 1);
  std::istream chunked(&chunks);
  const Outcome chunkedOutcome = ReadAll(chunked, size);
  Check(wholeOutcome.fields == chunkedOutcome.fields && wholeOutcome.fault == chunkedOutcome.fault,
        "how the stream hands out its bytes changes nothing");

  if (const std::optional<double> number = kepler::ParseNumber(bytes)) {
    Check(std::isfinite(*number), "a parsed number is finite");
  }
  CheckExcerpt(bytes);
  const kepler::LineOfText line = kepler::LineAt(bytes, size / 2);
  Check(line.begin <= std::min(size / 2, line.end) && line.end <= size &&
            line.text.find_first_of("\r\n") == std::string_view::npos,
        "a line holds its offset and no line end");
  const kepler::SeparatorFault separators = kepler::FindSeparatorFault(line.text);
  Check(separators.excerpt.size() <= line.text.size() + 1, "a separator excerpt is of the line");
  return 0;
}
