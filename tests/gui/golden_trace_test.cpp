// Every button's whole operation trace on the virtual clock, pinned by its digest, so that a
// refactor or a new forms backend that changes one line of what the window does fails here.
// KEPLER_TRACE_DUMP=<folder> writes each trace as <case>.trace for reading the difference, and
// for comparing another build's trace with this one's.
#include <QCryptographicHash>
#include <QFile>

#include <clocale>
#include <cstdlib>

#include "forms/lesson.h"
#include "post_click.h"
#include "window_fixture.h"

using testing_support::TraceRecorder;
using testing_support::WindowTest;

namespace {

struct GoldenCase {
  const char* name;
  int button;          // 0..7 Command1(i), 8 Command2, 9 Command3, -1 start-up only
  const char* answer;  // the quit box's answer for Command3
  int nestedAt;        // virtual ms after the click at which a second scenario click comes, or 0
  int nestedButton;    // the Command1 index of that click
  int lines;
  const char* sha256;  // of the lines joined by "\n"
};

// clang-format off
const GoldenCase kCases[] = {
    {"start_up", -1, nullptr, 0, 0, 111,
     "9d69cd40607fdcd511cb4ee05b9f1f0c75701d1c1e497b98c06cdbb12d23674a"},
    {"command1_0", 0, nullptr, 0, 0, 3280,
     "b84a0050d25c73edb0fe4e3d78458c8521beb6088252d7047875b35b95eb470a"},
    {"command1_1", 1, nullptr, 0, 0, 3280,
     "6bbd1a677dc97a7c92bc240ff26a5eb0a943a0a4ea4c78393d68a443f0cbf480"},
    {"command1_2", 2, nullptr, 0, 0, 3280,
     "a98d8a5b92fb880ef181bb216a8a24b0992d0314018a5004a0221f52121c3a4d"},
    {"command1_3", 3, nullptr, 0, 0, 3280,
     "b06492cde0d59488009c042051059d7173573d1331e65c4071d922ce29baceb4"},
    {"command1_4", 4, nullptr, 0, 0, 3280,
     "46ba87773b84c11724b7d1efd80e03c7c4a2d239bae9364e04616858e6c165b3"},
    {"command1_5", 5, nullptr, 0, 0, 1992,
     "2f54475d03b97049879055e538368a27ff08ffa7b0a8cad2554da98c8525fe14"},
    {"command1_6", 6, nullptr, 0, 0, 8250,
     "214a26eae207644637627589697738239dc5bda3beceb441c808a43f0e7fa2fb"},
    {"command1_7", 7, nullptr, 0, 0, 14434,
     "0bc29a5b5ac82337c4b8a2cc65c8c33f0ef007e6f66ecd405384c6f18c7dbbda"},
    {"command2", 8, nullptr, 0, 0, 10,
     "71f92352e9980836ed8eeb1f7abd84339540fd09a2b1467d7571fc241e11020a"},
    {"command3_no", 9, "いいえ", 0, 0, 3,
     "550f7001b04972ab2e86e0113dade0fba0bd5006d68d99bdb88716828b837b01"},
    {"command3_yes", 9, "はい", 0, 0, 3,
     "37227d01354fdd291a5c6e67aa0a54bc3c0f4c2d6e6859be5699f7af987b7b13"},
    // A click during a wait runs nested and leaves its state to the interrupted loop.
    {"comet_then_earth", 5, nullptr, 20000, 1, 4297,
     "7785eb63a73effc4c896415e4cb391ffdae38cfde51502bc9679ceb689c49d79"},
    {"circle_then_earth_and_mars", 0, nullptr, 5000, 6, 11530,
     "c85ba6accb275013681d924b4fe6f3d60cc4086bcb43082c65eefec018cbb623"},
    {"inner_planets_then_earth_and_mars", 7, nullptr, 2000, 6, 17052,
     "f71de79803c2b2f1b6e79bad0f6e68222c7d0afaa8f9afa0f7879dec18752c9a"},
    // With the lesson's sectors on (the A key, then the click): the shading is drawing too.
    {"sectors_command1_4", 4, nullptr, 0, 0, 3842,
     "5dcec6e50fe1c40ea86149b1dfe496e8bfb8068f3ec152d8eff63826595eaf7c"},
    {"sectors_command1_5", 5, nullptr, 0, 0, 2513,
     "3c0ca2b71adb9000de1238b63094b1acbd0b22cc0dd1b8adae27bc9a7007eb68"},
    {"sectors_command1_6", 6, nullptr, 0, 0, 12184,
     "9acf34204e89af83212699b63cab16606b389c9871b2ea1e185bc61ed40996b5"},
    {"sectors_command1_7", 7, nullptr, 0, 0, 27740,
     "591cdaf959cc77056f02bddf122c9e2b8554b34a9fb2614195aeffc5f02652f6"},
};
// clang-format on

std::string Digest(const QStringList& lines) {
  const QByteArray text = lines.join(QLatin1Char('\n')).toUtf8();
  return QCryptographicHash::hash(text, QCryptographicHash::Sha256).toHex().toStdString();
}

class GoldenTraceTest : public WindowTest, public ::testing::WithParamInterface<GoldenCase> {
 protected:
  // The window is started inside the test, with the trace on, so start-up is recorded too.
  void SetUp() override {}
  void startRecorded() { WindowTest::SetUp(); }
};

}  // namespace

TEST_P(GoldenTraceTest, TraceIsUnchanged) {
  const GoldenCase& c = GetParam();
  QStringList lines;
  {
    TraceRecorder trace;
    startRecorded();
    forms::Lesson lesson(lessonClock);
    lesson.sectorsChanged = [&] { form->SetSectors(lesson.sectorsShown(), lesson.sectorCount()); };
    if (c.button >= 0) {
      trace.clear();
      if (std::string_view(c.name).starts_with("sectors_")) {
        lesson.act(forms::LessonAction::ToggleSectors);
      }
      if (c.answer) modal.answer(QString::fromUtf8(c.answer));
      if (c.nestedAt > 0) {
        clock.after(static_cast<std::uint32_t>(c.nestedAt),
                    [this, &c] { testing_support::PostClick(form->Command1(c.nestedButton)); });
      }
      if (c.button <= 7) click(form->Command1(c.button));
      if (c.button == 8) click(form->Command2);
      if (c.button == 9) click(form->Command3);
    }
    lines = trace.lines();
  }
  const QByteArray text = lines.join(QLatin1Char('\n')).toUtf8();
  if (const QByteArray dump = qgetenv("KEPLER_TRACE_DUMP"); !dump.isEmpty()) {
    QFile file(QString::fromLocal8Bit(dump) + QLatin1Char('/') + QLatin1String(c.name) +
               QStringLiteral(".trace"));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(text + '\n');
  }
  EXPECT_EQ(lines.size(), c.lines) << c.name;
  EXPECT_EQ(Digest(lines), c.sha256)
      << c.name << ": rerun with KEPLER_TRACE_DUMP=<folder> and compare the traces";
}

std::string CaseName(const ::testing::TestParamInfo<GoldenCase>& param) {
  return param.param.name;
}

INSTANTIATE_TEST_SUITE_P(EveryButton, GoldenTraceTest, ::testing::ValuesIn(kCases), CaseName);

// Qt takes the C library's whole locale from the desktop's environment. A German or French
// desktop writes 9673.1 as 9673,1 there, so the window must not ask the C library for its
// numbers: an orbit and a data demonstration trace the same lines in every locale. The program
// itself also puts LC_NUMERIC back to "C" once Qt has started (the end-to-end run checks that).
TEST_F(WindowTest, EveryLocaleTracesTheSameNumbers) {
  for (const char* locale : {"C.UTF-8", "de_DE.UTF-8", "fr_FR.UTF-8", "ja_JP.UTF-8"}) {
    ASSERT_NE(std::setlocale(LC_ALL, locale), nullptr)
        << locale << ", LOCPATH " << getenv("LOCPATH");
    for (const GoldenCase& c : {kCases[3], kCases[7]}) {
      restart();
      TraceRecorder trace;
      click(form->Command1(c.button));
      EXPECT_EQ(Digest(trace.lines()), c.sha256) << c.name << " in " << locale;
    }
  }
  std::setlocale(LC_ALL, "C");
}
