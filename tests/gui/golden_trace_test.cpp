// Every button's whole operation trace on the virtual clock, pinned by its digest, so that a
// refactor or a new forms backend that changes one line of what the window does fails here.
// KEPLER_TRACE_DUMP=<folder> writes each trace as <case>.trace for reading the difference, and
// for comparing another build's trace with this one's.
#include <QCryptographicHash>

#include <algorithm>
#include <clocale>
#include <fstream>
#include <sstream>

#include "forms/lesson.h"
#include "window_fixture.h"

namespace {

struct GoldenCase {
  std::string name;
  int button = 0;        // WindowTest::button's number, or -1: start-up only
  std::string answer;    // the quit box's answer for Command3, or empty
  int nestedAt = 0;      // virtual ms after the click at which a second scenario click comes, or 0
  int nestedButton = 0;  // the Command1 index of that click
  int lines = 0;
  std::string sha256;  // of the lines joined by "\n"
};

// The cases, shared with the page's trace test (tests/web/program_trace_test.py).
const std::vector<GoldenCase>& Cases() {
  static const std::vector<GoldenCase> cases = [] {
    std::vector<GoldenCase> read;
    std::ifstream in(KEPLER_GOLDEN_TRACES);
    for (std::string line; std::getline(in, line);) {
      if (line.empty() || line[0] == '#') continue;
      std::istringstream fields(line);
      GoldenCase c;
      fields >> c.name >> c.button >> c.answer >> c.nestedAt >> c.nestedButton >> c.lines >>
          c.sha256;
      if (c.answer == "-") c.answer.clear();
      read.push_back(fields ? c : GoldenCase{"unreadable_line", -1, {}, 0, 0, 0, {}});
    }
    return read;
  }();
  return cases;
}

std::string Digest(const QStringList& lines) {
  const QByteArray text = lines.join(QLatin1Char('\n')).toUtf8();
  return QCryptographicHash::hash(text, QCryptographicHash::Sha256).toHex().toStdString();
}

class GoldenTraceTest : public WindowTest, public ::testing::WithParamInterface<GoldenCase> {
 protected:
  // The window is started inside the test, with the trace on, so start-up is recorded too.
  void SetUp() override {}
};

}  // namespace

TEST_P(GoldenTraceTest, TraceIsUnchanged) {
  const GoldenCase& c = GetParam();
  TraceRecorder trace;
  WindowTest::SetUp();
  forms::Lesson lesson(lessonClock);
  lesson.sectorsChanged = [&] { form->SetSectors(lesson.sectorsShown(), lesson.sectorCount()); };
  if (c.button >= 0) {
    trace.clear();
    if (c.name.starts_with("sectors_")) lesson.act(forms::LessonAction::ToggleSectors);
    if (!c.answer.empty()) modal.answer(QString::fromStdString(c.answer));
    if (c.nestedAt > 0) clickLater(static_cast<std::uint32_t>(c.nestedAt), c.nestedButton);
    click(c.button);
  }
  const QStringList lines = trace.lines();
  if (const QByteArray dump = qgetenv("KEPLER_TRACE_DUMP"); !dump.isEmpty()) {
    QFile file(QString::fromLocal8Bit(dump) + QLatin1Char('/') + QString::fromStdString(c.name) +
               QStringLiteral(".trace"));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(lines.join(QLatin1Char('\n')).toUtf8() + '\n');
  }
  EXPECT_EQ(lines.size(), c.lines) << c.name;
  EXPECT_EQ(Digest(lines), c.sha256)
      << c.name << ": rerun with KEPLER_TRACE_DUMP=<folder> and compare the traces";
}

TEST(GoldenTraces, TheFileHoldsEveryCase) {
  EXPECT_EQ(Cases().size(), 19u) << KEPLER_GOLDEN_TRACES;
}

INSTANTIATE_TEST_SUITE_P(EveryButton, GoldenTraceTest, ::testing::ValuesIn(Cases()),
                         [](const auto& param) { return param.param.name; });

// Qt takes the C library's whole locale from the desktop's environment. A German or French
// desktop writes 9673.1 as 9673,1 there, so the window must not ask the C library for its
// numbers: an orbit and a data demonstration trace the same lines in every locale. The program
// itself also puts LC_NUMERIC back to "C" once Qt has started (the end-to-end run checks that).
TEST_F(WindowTest, EveryLocaleTracesTheSameNumbers) {
  for (const char* locale : {"C.UTF-8", "de_DE.UTF-8", "fr_FR.UTF-8", "ja_JP.UTF-8"}) {
    ASSERT_NE(std::setlocale(LC_ALL, locale), nullptr)
        << locale << ", LOCPATH " << getenv("LOCPATH");
    for (const std::string name : {"command1_2", "command1_6"}) {
      const auto c = std::find_if(Cases().begin(), Cases().end(),
                                  [&](const GoldenCase& g) { return g.name == name; });
      ASSERT_NE(c, Cases().end()) << name;
      restart();
      EXPECT_EQ(Digest(traceOf(c->button)), c->sha256) << name << " in " << locale;
    }
  }
  std::setlocale(LC_ALL, "C");
}
