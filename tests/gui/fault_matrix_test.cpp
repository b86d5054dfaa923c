// Every input file of the program through every fault: the button that needs the file ends the
// program through the run-time error path (a Japanese message naming the file and the cause, one
// stderr line, a non-zero status), or, where the fault is no error, plays on as stated.
#include <QFile>
#include <QRandomGenerator>
#include <QRegularExpression>

#include "window_fixture.h"

using testing_support::TraceRecorder;
using testing_support::WindowTest;

namespace {

enum class Fault {
  Missing,
  Empty,
  Truncated,
  RandomBytes,
  Directory,
  NonNumeric,
  EmptyField,
  LongLine,
  NulBytes
};

const char* faultName(Fault f) {
  switch (f) {
    case Fault::Missing:
      return "missing";
    case Fault::Empty:
      return "empty";
    case Fault::Truncated:
      return "truncated";
    case Fault::RandomBytes:
      return "random bytes";
    case Fault::Directory:
      return "a directory";
    case Fault::NonNumeric:
      return "a non-numeric field";
    case Fault::EmptyField:
      return "an empty field";
    case Fault::LongLine:
      return "a 10 MB line";
    case Fault::NulBytes:
      return "NUL bytes";
  }
  return "?";
}

struct InputFile {
  const char* name;
  int button;  // Command1 index, or -2 for Command2
  bool data;
};

const InputFile kFiles[] = {
    {"kepler.bmp", -2, false},
    {"wakusei01.gif", 0, false},
    {"earth02.gif", 1, false},
    {"mars01.gif", 2, false},
    {"suisei02.gif", 3, false},
    {"harei01.gif", 5, false},
    {"Venus01.gif", 7, false},
    {"kasei-kouten-Koukei.dat", 6, true},
    {"Suisei-kouten-Koukei.dat", 7, true},
};

struct Case {
  InputFile file;
  Fault fault;
};

std::vector<Case> allCases() {
  std::vector<Case> cases;
  for (const InputFile& file : kFiles) {
    for (const Fault fault :
         {Fault::Missing, Fault::Empty, Fault::Truncated, Fault::RandomBytes, Fault::Directory}) {
      cases.push_back({file, fault});
    }
    if (file.data) {
      for (const Fault fault :
           {Fault::NonNumeric, Fault::EmptyField, Fault::LongLine, Fault::NulBytes}) {
        cases.push_back({file, fault});
      }
    }
  }
  return cases;
}

class FaultMatrixTest : public WindowTest, public ::testing::WithParamInterface<Case> {
 protected:
  void SetUp() override {
    WindowTest::SetUp();
    useCopyOfAssets();
  }

  void applyFault(const QString& name, Fault fault) {
    QFile file(name);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    QByteArray content = file.readAll();
    file.close();
    QFile::remove(name);
    if (fault == Fault::Missing) return;
    if (fault == Fault::Directory) {
      ASSERT_TRUE(QDir().mkdir(name));
      return;
    }
    switch (fault) {
      case Fault::Empty:
        content.clear();
        break;
      case Fault::Truncated:
        content.truncate(content.size() / 2);
        break;
      case Fault::RandomBytes: {
        QRandomGenerator random(20261206);
        content.resize(4096);
        for (char& c : content) c = static_cast<char>(random.bounded(256));
        break;
      }
      case Fault::NonNumeric:
        content.replace(content.indexOf(',') + 1, 3, "abc");
        break;
      case Fault::EmptyField: {
        const auto first = content.indexOf(',') + 1;
        content.remove(first, content.indexOf(',', first) - first);
        break;
      }
      case Fault::LongLine:
        content.insert(content.indexOf(',') + 1, QByteArray(10 * 1024 * 1024, '7'));
        break;
      case Fault::NulBytes:
        content.replace(content.indexOf(',') + 2, 1, QByteArray(1, '\0'));
        break;
      default:
        break;
    }
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(content);
  }

  void press(int button) { click(button == -2 ? form->Command2 : form->Command1(button)); }
};

}  // namespace

TEST_P(FaultMatrixTest, EndsThroughTheErrorPathOrPlaysAsStated) {
  const Case c = GetParam();
  const QString name = QString::fromLatin1(c.file.name);
  applyFault(name, c.fault);
  TraceRecorder trace;
  if (c.fault != Fault::EmptyField) modal.answer("OK");
  testing::internal::CaptureStderr();
  press(c.file.button);
  const QString err = QString::fromStdString(testing::internal::GetCapturedStderr());

  if (c.fault == Fault::EmptyField) {
    // Not an error: the empty longitude reads as 0 and the demonstration plays to its end, the
    // first record's planet shown at longitude 0, left of the Sun.
    EXPECT_FALSE(form->ending());
    EXPECT_TRUE(form->LongitudeTable(1, 1).isEmpty());
    EXPECT_EQ(trace.lines().last(), QStringLiteral("Form1 Return Command1(%1)").arg(c.file.button));
    return;
  }
  ASSERT_TRUE(form->ending()) << "the fault went unnoticed";
  EXPECT_NE(form->exitCode(), 0);
  ASSERT_EQ(modal.seen().size(), 1);
  const QString shown = modal.seen().first();
  EXPECT_TRUE(shown.startsWith("実行時エラー|")) << shown.toStdString();
  EXPECT_TRUE(shown.contains("\"" + name + "\"")) << shown.toStdString();
  static const QRegularExpression japaneseCause(
      QStringLiteral("[\\x{3040}-\\x{30ff}\\x{4e00}-\\x{9fff}]{4}"));
  EXPECT_TRUE(shown.contains(japaneseCause)) << shown.toStdString();
  const QStringList stderrLines = err.split('\n').filter(QRegularExpression("^kepler-laws: "));
  ASSERT_EQ(stderrLines.size(), 1) << err.toStdString();
  EXPECT_TRUE(stderrLines.first().contains(name));
  EXPECT_EQ(trace.lines().last(), "Form1 End");
  EXPECT_EQ(trace.starting("Form1 Error").size(), 1);
}

INSTANTIATE_TEST_SUITE_P(NineFiles, FaultMatrixTest, ::testing::ValuesIn(allCases()),
                         [](const ::testing::TestParamInfo<Case>& p) {
                           QString name = QStringLiteral("%1_%2").arg(p.param.file.name,
                                                                      faultName(p.param.fault));
                           name.replace(QRegularExpression("[^A-Za-z0-9]"), "_");
                           return name.toStdString();
                         });
