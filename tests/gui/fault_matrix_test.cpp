// Every input file of the program through every fault: the button that needs the file ends the
// program through the run-time error path at once (a Japanese message naming the file and its
// own cause, one stderr line, a non-zero status), or, where the fault is no error, plays on as
// stated.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QElapsedTimer>
#include <QFile>
#include <QRandomGenerator>
#include <QRegularExpression>

#include "core/program_files.h"
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
  Fifo,
  FifoWithWriter,
  SymlinkLoop,
  Oversized,
  TwoCaseVariants,
  CaseChanged,
  NonNumeric,
  EmptyField,
  LongLine,
  NulBytes
};

// In the order of Fault: the name the test cases are called by, and the cause a picture and a
// data file are reported with ("" where it depends on the bytes; no data cause: the picture's).
const struct {
  const char* name;
  const char* pictureCause;
  const char* dataCause;
} kFaults[] = {
    {"missing", "ファイルが見つかりません", nullptr},
    {"empty", "ファイルが空です", "ファイルの終わり"},
    {"truncated", "画像が途中で切れています", "ファイルの終わり"},
    {"random bytes", "BMP または GIF の画像ではありません", ""},
    {"a directory", "ファイルではなくフォルダーです", nullptr},
    {"a FIFO", "ファイルではなく名前付きパイプ（FIFO）です", nullptr},
    {"a FIFO with a writer", "ファイルではなく名前付きパイプ（FIFO）です", nullptr},
    {"a symbolic link loop", "シンボリックリンクが多すぎます", nullptr},
    {"a gibibyte", "ファイルが大きすぎます", nullptr},
    {"two case variants", "大文字と小文字だけが違う名前のファイルが複数あります", nullptr},
    {"its name in upper case", "", nullptr},
    {"a non-numeric field", "", nullptr},
    {"an empty field", "", "値が空です"},
    {"a 10 MB line", "", nullptr},
    {"NUL bytes", "", nullptr},
};
static_assert(std::size(kFaults) == static_cast<std::size_t>(Fault::NulBytes) + 1);

struct InputFile {
  std::string_view name;
  int button;  // Command1 index, or -2 for Command2
  bool data;
};

// Every file of the program with the button that reads it.
const InputFile kFiles[] = {
    {kepler::kLawsPicture, -2, false},   {kepler::kPlanetPicture, 0, false},
    {kepler::kEarthPicture, 1, false},   {kepler::kMarsPicture, 2, false},
    {kepler::kMercuryPicture, 3, false}, {kepler::kCometPicture, 5, false},
    {kepler::kVenusPicture, 7, false},   {kepler::kMarsData, 6, true},
    {kepler::kMercuryData, 7, true},
};
static_assert(std::size(kFiles) == kepler::kProgramFiles.size());

struct Case {
  InputFile file;
  Fault fault;
};

QString expectedCause(const Case& c) {
  const auto& fault = kFaults[static_cast<int>(c.fault)];
  return QString::fromUtf8(c.file.data && fault.dataCause ? fault.dataCause : fault.pictureCause);
}

// Every fault for every file; the faults of a record's fields for the data files only.
std::vector<Case> allCases() {
  std::vector<Case> cases;
  for (const InputFile& file : kFiles) {
    for (std::size_t f = 0; f < std::size(kFaults); ++f) {
      const auto fault = static_cast<Fault>(f);
      if (file.data || fault < Fault::NonNumeric) cases.push_back({file, fault});
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

  void TearDown() override {
    if (writer_ >= 0) ::close(writer_);
    WindowTest::TearDown();
  }

  void applyFault(const QString& name, Fault fault) {
    QFile file(name);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    QByteArray content = file.readAll();
    file.close();
    if (fault == Fault::CaseChanged || fault == Fault::TwoCaseVariants) {
      ASSERT_TRUE(QFile::rename(name, name.toUpper()));
      if (fault == Fault::TwoCaseVariants) {
        // A second variant, its first letter's case turned over: "Kepler.bmp", "venus01.gif".
        QString other = name;
        other[0] = other[0].isUpper() ? other[0].toLower() : other[0].toUpper();
        ASSERT_TRUE(QFile::copy(name.toUpper(), other));
      }
      return;
    }
    QFile::remove(name);
    const QByteArray path = name.toLocal8Bit();
    switch (fault) {
      case Fault::Missing:
        return;
      case Fault::Directory:
        ASSERT_TRUE(QDir().mkdir(name));
        return;
      case Fault::Fifo:
        ASSERT_EQ(::mkfifo(path.constData(), 0600), 0);
        return;
      case Fault::FifoWithWriter:
        // A writer that keeps the FIFO open and full of blank lines.
        ASSERT_EQ(::mkfifo(path.constData(), 0600), 0);
        writer_ = ::open(path.constData(), O_RDWR | O_NONBLOCK);
        ASSERT_GE(writer_, 0);
        while (::write(writer_, "\n\n\n\n\n\n\n\n", 8) > 0) {
        }
        return;
      case Fault::SymlinkLoop:
        ASSERT_TRUE(QFile::link(name, name));
        return;
      case Fault::Oversized:
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        ASSERT_TRUE(file.resize(qint64{1} << 30));  // sparse: a gibibyte of zero bytes
        return;
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
      default:  // the case variants, renamed above
        break;
    }
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(content);
  }

  int writer_ = -1;
};

}  // namespace

TEST_P(FaultMatrixTest, EndsThroughTheErrorPathOrPlaysAsStated) {
  const Case c = GetParam();
  const QString name =
      QString::fromUtf8(c.file.name.data(), static_cast<qsizetype>(c.file.name.size()));
  applyFault(name, c.fault);
  TraceRecorder trace;
  const bool plays = c.fault == Fault::CaseChanged;
  if (!plays) modal.answer("OK");
  testing::internal::CaptureStderr();
  QElapsedTimer timer;
  timer.start();
  click(c.file.button == -2 ? form->Command2 : form->Command1(c.file.button));
  const qint64 elapsedMs = timer.elapsed();
  const QString err = QString::fromStdString(testing::internal::GetCapturedStderr());

  if (c.fault == Fault::CaseChanged) {
    // Found under its changed name, as the desktop the program was written for found it.
    EXPECT_FALSE(form->ending()) << modal.seen().join(' ').toStdString();
    EXPECT_EQ(trace.lines().last(),
              c.file.button == -2 ? QStringLiteral("Form1 Return Command2")
                                  : QStringLiteral("Form1 Return Command1(%1)").arg(c.file.button));
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
  EXPECT_TRUE(shown.contains(expectedCause(c))) << shown.toStdString();
  // A FIFO without a writer used to hold the window for good, a gibibyte of blank lines for
  // seconds; the error comes in milliseconds now. The bound leaves room for a loaded machine.
  EXPECT_LT(elapsedMs, 3000) << "nothing in a file's place may hold the window up";
  const QStringList stderrLines = err.split('\n').filter(QRegularExpression("^kepler-laws: "));
  ASSERT_EQ(stderrLines.size(), 1) << err.toStdString();
  EXPECT_TRUE(stderrLines.first().contains(name));
  EXPECT_EQ(trace.lines().last(), "Form1 End");
  EXPECT_EQ(trace.starting("Form1 Error").size(), 1);
}

INSTANTIATE_TEST_SUITE_P(NineFiles, FaultMatrixTest, ::testing::ValuesIn(allCases()),
                         [](const ::testing::TestParamInfo<Case>& p) {
                           QString name = QStringLiteral("%1_%2").arg(
                               QString::fromUtf8(p.param.file.name.data(),
                                                 static_cast<qsizetype>(p.param.file.name.size())),
                               kFaults[static_cast<int>(p.param.fault)].name);
                           name.replace(QRegularExpression("[^A-Za-z0-9]"), "_");
                           return name.toStdString();
                         });
