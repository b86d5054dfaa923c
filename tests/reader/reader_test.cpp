// The data-file field reader: layouts, numbers, the end of input, the field bound and its faults.
#include <gtest/gtest.h>

#include <clocale>
#include <cstdlib>
#include <sstream>
#include <string>
#include <tuple>

#include "core/field_reader.h"
#include "core/legacy_number.h"

namespace {

using namespace kepler;
using namespace std::string_literals;

// Reads at most `limit` fields and lists them one after another: a text in quotes, a number as
// written in the C locale, <> for an empty field; then "| " and the fault that ended the reading.
std::string Read(const std::string& bytes, std::size_t limit = 10000) {
  static constexpr const char* kFaults[] = {"", "end of input", "too long", "read error"};
  std::istringstream in(bytes);
  FieldReader reader(in);
  std::ostringstream out;
  Value v;
  for (std::size_t n = 0; n < limit; ++n) {
    out << (n > 0 ? " " : "");
    if (const FieldFault fault = reader.next(v); fault != FieldFault::None) {
      out << "| " << kFaults[static_cast<int>(fault)];
      break;
    }
    v.isText()    ? out << '"' << v.textValue() << '"'
    : v.isEmpty() ? out << "<>"
                  : out << *v.number();
  }
  return out.str();
}

TEST(ParseNumber, TakesSignsExponentsAndBlanksAndLeavesTheRestAsText) {
  EXPECT_EQ(ParseNumber(" +1.5e3 "), 1500.0);
  EXPECT_EQ(ParseNumber("\t-2.5E-3"), -0.0025);
  for (const char* text :
       {"12abc", "&H10", "nan", "inf", "1.2.3", "", "-.", "1e+", "1 2", "1e999", "1d3"}) {
    EXPECT_EQ(ParseNumber(text), std::nullopt) << text;
  }
  EXPECT_EQ(ParseNumber("1\0"s), std::nullopt);
  EXPECT_EQ(Read("12 , -3e+2 ,.5,-5.,1e-400,12abc"), "12 -300 0.5 -5 0 \"12abc\" | end of input");
}

TEST(Numbers, ReadAndWriteAlikeInADecimalCommaLocale) {
  // A Qt program takes the C library's locale from the environment, here a German desktop's.
  // The tests' own locales are compiled into the build folder (LOCPATH); the browser's C
  // library knows no other locale than C.
#ifdef __EMSCRIPTEN__
  GTEST_SKIP() << "the browser's C library has the C locale only";
#endif
  ASSERT_NE(std::setlocale(LC_ALL, "de_DE.UTF-8"), nullptr) << "LOCPATH: " << getenv("LOCPATH");
  const std::optional<double> parsed = ParseNumber("1.5");
  const std::string written = Str(9673.1) + Str(101) + Str(0.05) + Str(1.5e-7) + "|" +
                              FormatOneDecimal(1.52) + "|" + FormatOneDecimal(-2.25);
  std::setlocale(LC_ALL, "C");
  EXPECT_EQ(parsed, 1.5);
  EXPECT_EQ(written, " 9673.1 101 .05 1.5E-07|1.5|-2.3");
}

TEST(Reader, EveryLayoutGivesTheSameFieldsAndOddBytesTheOnesTheOldRuntimeRead) {
  for (const std::string layout : {
           "\"Mercury, I\",0.387,0.2056\n\"Venus\",0.723,0.0068\n",     // a record per line
           "\"Mercury, I\",0.387,0.2056,\"Venus\",0.723,0.0068",        // all on one line
           "\"Mercury, I\"\n0.387\n0.2056\n\"Venus\"\n0.723\n0.0068",   // a field per line
           "\"Mercury, I\",0.387,0.2056\r\n\"Venus\",0.723\r0.0068\r",  // CR LF, lone CR
           "\n\n\"Mercury, I\" , 0.387 ,\t0.2056\n\n\r\n  \n\r\r\"Venus\",0.723,0.0068\n\n",
           "\"Mercury, I\",0.387,0.2056\nVenus,0.723,0.0068\nEarth,1,0.0167\nend of table, real\n",
       }) {
    EXPECT_EQ(Read(layout, 6), "\"Mercury, I\" 0.387 0.2056 \"Venus\" 0.723 0.0068") << layout;
  }
  const std::string longest(FieldReader::kMaxFieldBytes, 'x');
  const std::pair<std::string, std::string> cases[] = {
      // A quoted lead may span lines; what follows its closing quote is dropped.
      {"\"Halley\r\nperiodic\" (comet), 17.8\n\"\",3\n\"open",
       "\"Halley\r\nperiodic\" 17.8 \"\" 3 \"open\" | end of input"},
      // A comma always gives a field, an empty one too.
      {",1,,3\n4,\n\n5,  \r\n6,", "<> 1 <> 3 4 <> 5 <> 6 <> | end of input"},
      // NUL and invalid UTF-8 are ordinary bytes.
      {"1\0,\"a\0b\xff\"\n\xc0\xaf\x80 ,2"s,
       "\"1\0\" \"a\0b\xff\" \"\xc0\xaf\x80\" 2 | end of input"s},
      // A field faults too long one byte past the bound. A program file is at most 1 MiB, so a
      // longer line never reaches the reader from one.
      {longest + "\n\"" + longest + "\"", '"' + longest + "\" \"" + longest + "\" | end of input"},
      {longest + "x", "| too long"},
      {"\"" + longest + "\"x", "| too long"},
  };
  for (const auto& [bytes, fields] : cases) EXPECT_EQ(Read(bytes), fields) << bytes.substr(0, 40);
}

TEST(PrintableExcerpt, ShowsBytesThatAreNoTextAndCharactersThatPrintBlankOrAsNothing) {
  EXPECT_EQ(PrintableExcerpt("a\0b\xff\t"s), "a\\x00b\\xFF\\x09");
  EXPECT_EQ(PrintableExcerpt("火星\xe6\x83\xc2\x85\x7f"), "火星\\xE6\\x83\\u0085\\x7F");
  EXPECT_EQ(PrintableExcerpt("\xed\xa0\x80\xf4\x90\x80\x80"),
            "\\xED\\xA0\\x80\\xF4\\x90\\x80\\x80");
  EXPECT_EQ(PrintableExcerpt("水金\x01\x02", 3), "水金\\x01…");
  EXPECT_EQ(PrintableExcerpt("水金\x01", 3), "水金\\x01");
  // A no-break space from a spreadsheet cell would read as a valid "93.2712 ".
  EXPECT_EQ(PrintableExcerpt("93.2712\u00a0"), "93.2712\\u00A0");
  EXPECT_EQ(PrintableExcerpt("\ufeff1\u200b2\u30003\u00854\u2028"),
            "\\uFEFF1\\u200B2\\u30003\\u00854\\u2028");
  EXPECT_EQ(PrintableExcerpt("é火\u00a1"), "é火\u00a1") << "printable neighbours stay as they are";
}

TEST(SeparatorFault, FindsDecimalCommasAndTabsButNotTheLayoutsTheReaderTakes) {
  using enum SeparatorFault::Kind;
  const std::tuple<const char*, SeparatorFault::Kind, std::string> cases[] = {
      {"\"2026-06-02\",93,2712,250.1", CommaInNumber, "93,2712"},
      {"\"2026-06-02\",93.2712,250,1", CommaInNumber, "250,1"},
      {"7, -93,2712 , 250,1", CommaInNumber, "-93,2712"},
      {"\"2026-06-02\"\t93.2712\t250.1", TabForComma, "\"2026-06-02\"\t93.2712\t250.1"},
  };
  for (const auto& [line, kind, excerpt] : cases) {
    const SeparatorFault fault = FindSeparatorFault(line);
    EXPECT_EQ(std::pair(fault.kind, fault.excerpt), std::pair(kind, excerpt)) << line;
  }
  // Among the lines the reader takes as they are: two records on one line, a field per line.
  for (const char* line : {"93.2712\t", "\"a\tb\"", "\"a, b\",93.2712,250.1",
                           "1,93.2,250.1,2,94.0,251", "0.387", ",,", "\"day 5\",east,201,"}) {
    EXPECT_EQ(FindSeparatorFault(line).kind, None) << line;
  }
}

TEST(LineAt, CountsLinesAsTheReaderEndsThem) {
  const std::string text = "a\r\nbb\rc\n\nd";
  const std::tuple<std::size_t, std::size_t, std::string_view> cases[] = {
      {0, 1, "a"}, {1, 1, "a"}, {3, 2, "bb"}, {6, 3, "c"}, {8, 4, ""}, {9, 5, "d"}, {99, 5, "d"}};
  LineOfText from;
  for (const auto& [offset, number, line] : cases) {
    const LineOfText found = LineAt(text, offset);
    EXPECT_EQ(std::pair(found.number, found.text), std::pair(number, line)) << offset;
    from = LineAt(text, offset, from);
    EXPECT_EQ(from.number, number) << "from the line before, " << offset;
  }
}

// Serves "1," and then fails the way a file stream buffer does when the system refuses a read.
struct FailingBuffer : std::streambuf {
  std::string text = "1,";
  FailingBuffer() { setg(text.data(), text.data(), text.data() + text.size()); }
  int_type underflow() override { throw std::ios_base::failure("device gone"); }
};

TEST(Reader, FailingStreamGivesReadErrorFromThenOn) {
  FailingBuffer buffer;
  std::istream in(&buffer);
  FieldReader reader(in);
  Value v;
  EXPECT_EQ(reader.next(v), FieldFault::None);
  EXPECT_EQ(reader.next(v), FieldFault::ReadError);
  EXPECT_TRUE(v.isEmpty());
  EXPECT_EQ(reader.next(v), FieldFault::ReadError);
}

}  // namespace
