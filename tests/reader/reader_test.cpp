#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <filesystem>
#include <fstream>
#include <locale>
#include <sstream>
#include <string>
#include <vector>

#include "core/field_reader.h"

namespace kepler {
void PrintTo(const Value& v, std::ostream* os) {
  *os << (v.isEmpty()  ? "<empty>"
          : v.isText() ? PrintableExcerpt(v.textValue())
                       : std::to_string(*v.number()));
}
}  // namespace kepler

namespace {

using namespace kepler;
using namespace std::string_literals;

struct Fields {
  std::vector<Value> values;
  FieldFault fault = FieldFault::None;  // what stopped the reading, None if `limit` did
};

Fields Read(const std::string& bytes, std::size_t limit = 100) {
  std::istringstream in(bytes);
  FieldReader reader(in);
  Fields out;
  Value v;
  while (out.values.size() < limit && (out.fault = reader.next(v)) == FieldFault::None) {
    out.values.push_back(v);
  }
  return out;
}

// Hands out `lead` and then `fill` up to `total` bytes, one small chunk at a time.
class GeneratedBuffer : public std::streambuf {
 public:
  GeneratedBuffer(char lead, char fill, std::size_t total) : total_(total) {
    chunk_.fill(fill);
    chunk_[0] = lead;
  }
  std::size_t consumed() const { return handedOut_ - static_cast<std::size_t>(egptr() - gptr()); }

 protected:
  int_type underflow() override {
    const std::size_t n = std::min<std::size_t>(512, total_ - handedOut_);
    if (n == 0) return traits_type::eof();
    const std::size_t begin = handedOut_ == 0 ? 0 : 1;  // the lead only once
    setg(chunk_.data() + begin, chunk_.data() + begin, chunk_.data() + begin + n);
    handedOut_ += n;
    return traits_type::to_int_type(*gptr());
  }

 private:
  std::size_t total_;
  std::size_t handedOut_ = 0;
  std::array<char, 513> chunk_{};
};

// Serves `text`, then fails the way a file stream buffer does when the system refuses a read.
class FailingBuffer : public std::streambuf {
 public:
  explicit FailingBuffer(std::string text) : text_(std::move(text)) {
    setg(text_.data(), text_.data(), text_.data() + text_.size());
  }

 protected:
  int_type underflow() override { throw std::ios_base::failure("device gone"); }

 private:
  std::string text_;
};

TEST(Reader, EveryLayoutGivesTheSameFieldSequence) {
  const std::vector<Value> expected = {Value::text("Mercury"), 0.387, 0.2056,
                                       Value::text("Venus"),   0.723, 0.0068};
  const std::string layouts[] = {
      "\"Mercury\",0.387,0.2056\n\"Venus\",0.723,0.0068\n",
      "\"Mercury\",0.387,0.2056,\"Venus\",0.723,0.0068",
      "\"Mercury\"\n0.387\n0.2056\n\"Venus\"\n0.723\n0.0068\n",
      "\"Mercury\",0.387,0.2056\r\n\"Venus\",0.723,0.0068\r\n",
      "\"Mercury\",0.387,0.2056\r\"Venus\",0.723,0.0068\r",
      "\n\n\"Mercury\" , 0.387 ,\t0.2056\n\n\r\n  \n\r\r\"Venus\",0.723,0.0068\n\n",
      "Mercury,0.387,0.2056\nVenus,0.723,0.0068\n\"Earth\",1,0.0167\nend of table, really\n"};
  for (const std::string& layout : layouts) {
    EXPECT_EQ(Read(layout, expected.size()).values, expected) << layout;
  }
}

TEST(Reader, QuotedLeadMaySpanCommasAndLines) {
  const Fields f = Read("\"Halley, 1P\r\nshort period\" (comet), 17.8\n\"\",3\n\"open");
  const std::vector<Value> expected = {Value::text("Halley, 1P\r\nshort period"), 17.8,
                                       Value::text(""), 3, Value::text("open")};
  EXPECT_EQ(f.values, expected);
  EXPECT_EQ(f.fault, FieldFault::EndOfInput);
}

TEST(Reader, CommaAlwaysGivesAFieldEvenAnEmptyOne) {
  const Fields f = Read(",1,,3\n4,\n\n5,  \r\n6,");
  const std::vector<Value> expected = {Value(), 1, Value(), 3, 4, Value(), 5, Value(), 6, Value()};
  EXPECT_EQ(f.values, expected);
  EXPECT_EQ(f.values[2].number(), 0.0);
  EXPECT_EQ(f.fault, FieldFault::EndOfInput);
}

TEST(ParseNumber, TakesSignsExponentsAndBlanks) {
  EXPECT_EQ(ParseNumber(" +1.5e3 "), 1500.0);
  EXPECT_EQ(ParseNumber("\t-2.5E-3"), -0.0025);
  EXPECT_EQ(ParseNumber(".5"), 0.5);
  EXPECT_EQ(ParseNumber("-5."), -5.0);
  EXPECT_EQ(ParseNumber("007"), 7.0);
  EXPECT_EQ(ParseNumber("1e-400"), 0.0);
  EXPECT_EQ(Read("12 , -3e+2 ,12abc").values, (std::vector<Value>{12, -300, Value::text("12abc")}));
}

TEST(ParseNumber, LeavesEverythingElseAsText) {
  for (const char* text : {"12abc", "0x10", "nan", "inf", "-infinity", "1.2.3", "", " ", "+", "-.",
                           ".", "1e", "1e+", "1 2", "1e999", "--1", "1d3", "&H10"}) {
    EXPECT_EQ(ParseNumber(text), std::nullopt) << text;
  }
  EXPECT_EQ(ParseNumber("1\0"s), std::nullopt);
}

TEST(ParseNumber, IgnoresADecimalCommaLocale) {
  std::locale comma;
  for (const char* name : {"de_DE.UTF-8", "de_DE.utf8", "fr_FR.UTF-8", "de_DE"}) {
    try {
      comma = std::locale(name);
      break;
    } catch (const std::runtime_error&) {
    }
  }
  if (comma == std::locale::classic()) GTEST_SKIP() << "no locale with a decimal comma installed";
  std::locale::global(comma);  // the C library's locale too
  const std::optional<double> parsed = ParseNumber("1.5");
  const Fields f = Read("2.25,1,5");
  std::locale::global(std::locale::classic());
  EXPECT_EQ(parsed, 1.5);
  EXPECT_EQ(f.values, (std::vector<Value>{2.25, 1, 5}));
}

TEST(Reader, FaultsWhenReadPastTheLastField) {
  const Fields three = Read("1,2,3 \n\n  \r\n");
  EXPECT_EQ(three.values.size(), 3u);
  EXPECT_EQ(three.fault, FieldFault::EndOfInput);
  EXPECT_EQ(Read(" \n\t\r\n").fault, FieldFault::EndOfInput);

  std::string file;
  for (int i = 1; i <= 685; ++i)
    file += "\"P" + std::to_string(i) + "\",0.5," + std::to_string(i) + "\n";
  const Fields planets = Read(file, 686 * 3);
  EXPECT_EQ(planets.values.size(), 2055u);  // field 2056, record 686's first, faults
  EXPECT_EQ(planets.fault, FieldFault::EndOfInput);
  EXPECT_EQ(planets.values.back(), Value(685));
}

TEST(Reader, TenMegabyteLineFaultsTooLongRightAfterTheBound) {
  for (const char lead : {'7', '"'}) {
    GeneratedBuffer buffer(lead, '7', 10'000'000);
    std::istream in(&buffer);
    FieldReader reader(in);
    Value v;
    EXPECT_EQ(reader.next(v), FieldFault::TooLong);
    EXPECT_EQ(buffer.consumed(), (lead == '"' ? 1 : 0) + FieldReader::kMaxFieldBytes);
    EXPECT_EQ(reader.next(v), FieldFault::TooLong);
  }
  const std::string longest(FieldReader::kMaxFieldBytes, 'x');
  EXPECT_EQ(Read(longest + "\n\"" + longest + "\"").values.size(), 2u);
  EXPECT_EQ(Read(longest + "x").fault, FieldFault::TooLong);
  EXPECT_EQ(Read("\"" + longest + "\"x").fault, FieldFault::TooLong);
  EXPECT_EQ(FieldFaultText(FieldFault::TooLong), "フィールドが長すぎます（4096 バイトまで）");
}

TEST(Reader, KeepsNulAndInvalidUtf8AsOrdinaryBytes) {
  const Fields f = Read("1\0,\"a\0b\xff\"\n\xc0\xaf\x80 ,2"s);
  EXPECT_EQ(f.values, (std::vector<Value>{Value::text("1\0"s), Value::text("a\0b\xff"s),
                                          Value::text("\xc0\xaf\x80"), 2}));
  EXPECT_EQ(PrintableExcerpt("a\0b\xff\t"s), "a\\x00b\\xFF\\x09");
  EXPECT_EQ(PrintableExcerpt("火星\xe6\x83\xc2\x85\x7f"), "火星\\xE6\\x83\\xC2\\x85\\x7F");
  EXPECT_EQ(PrintableExcerpt("\xed\xa0\x80\xf4\x90\x80\x80"),
            "\\xED\\xA0\\x80\\xF4\\x90\\x80\\x80");
  EXPECT_EQ(PrintableExcerpt("水金地火木", 3), "水金地…");
  EXPECT_EQ(PrintableExcerpt("\x01\x02\x03", 2), "\\x01\\x02…");
  EXPECT_EQ(PrintableExcerpt("abc", 3), "abc");
}

TEST(Reader, FailingStreamGivesReadError) {
  FailingBuffer buffer("1,");
  std::istream in(&buffer);
  FieldReader reader(in);
  Value v;
  EXPECT_EQ(reader.next(v), FieldFault::None);
  EXPECT_EQ(reader.next(v), FieldFault::ReadError);
  EXPECT_TRUE(v.isEmpty());
  EXPECT_EQ(reader.next(v), FieldFault::ReadError);
  EXPECT_EQ(reader.fieldsRead(), 1u);

  std::ifstream directory(std::filesystem::temp_directory_path(), std::ios::binary);
  if (!directory.is_open()) GTEST_SKIP() << "a directory does not open as a file here";
  FieldReader dirReader(directory);
  EXPECT_EQ(dirReader.next(v), FieldFault::ReadError);
  EXPECT_EQ(dirReader.fieldsRead(), 0u);
}

}  // namespace
