// Every input file of the program through every fault: the button that needs the file ends the
// program through the run-time error path at once (a Japanese message naming the file and its
// own cause, one stderr line, a non-zero status), or, where the fault is no error, plays on as
// stated.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QElapsedTimer>
#include <QRandomGenerator>

#include "core/program_files.h"
#include "window_fixture.h"

namespace {

// A fault by the name the test cases are called by, and the cause a picture and a data file are
// reported with: "" where it depends on the bytes; no data cause: the picture's; no picture
// cause: a fault of a record's field, made in the data files only.
const struct Fault {
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
    {"its name in upper case", "", nullptr},  // no fault: it plays
    {"a non-numeric field", nullptr, ""},
    {"an empty field", nullptr, "値が空です"},
    {"a 10 MB line", nullptr, ""},
    {"NUL bytes", nullptr, ""},
};

// Every file of the program with the button that reads it (WindowTest::button).
const std::pair<std::string_view, int> kFiles[] = {
    {kepler::kLawsPicture, 8},  {kepler::kPlanetPicture, 0},  {kepler::kEarthPicture, 1},
    {kepler::kMarsPicture, 2},  {kepler::kMercuryPicture, 3}, {kepler::kCometPicture, 5},
    {kepler::kVenusPicture, 7}, {kepler::kMarsData, 6},       {kepler::kMercuryData, 7},
};
static_assert(std::size(kFiles) == kepler::kProgramFiles.size());

struct Case {
  std::string_view file;
  int button;
  const Fault* fault;
  bool data() const { return file.ends_with(".dat"); }
  QString name() const {
    return QString::fromUtf8(file.data(), static_cast<qsizetype>(file.size()));
  }
};

class FaultMatrixTest : public WindowTest, public ::testing::WithParamInterface<Case> {
 protected:
  void TearDown() override {
    if (writer_ >= 0) ::close(writer_);
    WindowTest::TearDown();
  }

  void applyFault(const QString& name, std::string_view fault) {
    QFile file(name);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray original = file.readAll();
    file.close();
    if (fault == "its name in upper case" || fault == "two case variants") {
      ASSERT_TRUE(QFile::rename(name, name.toUpper()));
      // A second variant, its first letter's case turned over: "Kepler.bmp", "venus01.gif".
      QString other = name;
      other[0] = other[0].isUpper() ? other[0].toLower() : other[0].toUpper();
      ASSERT_TRUE(fault != "two case variants" || QFile::copy(name.toUpper(), other));
      return;
    }
    QFile::remove(name);
    // The faults of the content, written in the file's place.
    QByteArray content = original;
    const qsizetype field = content.indexOf(',') + 1;  // a record's second field
    if (fault == "empty") content.clear();
    if (fault == "truncated") content.truncate(content.size() / 2);
    if (fault == "random bytes") {
      QRandomGenerator random(20261206);
      content.resize(4096);
      for (char& c : content) c = static_cast<char>(random.bounded(256));
    }
    if (fault == "a non-numeric field") content.replace(field, 3, "abc");
    if (fault == "an empty field") content.remove(field, content.indexOf(',', field) - field);
    if (fault == "a 10 MB line") content.insert(field, QByteArray(10 * 1024 * 1024, '7'));
    if (fault == "NUL bytes") content.replace(field + 1, 1, QByteArray(1, '\0'));
    if (content != original) {
      ASSERT_TRUE(file.open(QIODevice::WriteOnly));
      file.write(content);
      return;
    }
    // Something else in the file's place, or nothing at all.
    const QByteArray path = name.toLocal8Bit();
    ASSERT_TRUE(fault != "a directory" || QDir().mkdir(name));
    ASSERT_TRUE(!fault.starts_with("a FIFO") || ::mkfifo(path.constData(), 0600) == 0);
    if (fault == "a FIFO with a writer") {
      // A writer that keeps the FIFO open and full of blank lines.
      writer_ = ::open(path.constData(), O_RDWR | O_NONBLOCK);
      ASSERT_GE(writer_, 0);
      while (::write(writer_, "\n\n\n\n\n\n\n\n", 8) > 0) {
      }
    }
    ASSERT_TRUE(fault != "a symbolic link loop" || QFile::link(name, name));
    // A sparse gibibyte of zero bytes.
    ASSERT_TRUE(fault != "a gibibyte" ||
                (file.open(QIODevice::WriteOnly) && file.resize(qint64{1} << 30)));
  }

  int writer_ = -1;
};

}  // namespace

TEST_P(FaultMatrixTest, EndsThroughTheErrorPathOrPlaysAsStated) {
  const Case c = GetParam();
  const QString name = c.name();
  useCopyOfAssets();
  applyFault(name, c.fault->name);
  TraceRecorder trace;
  const bool plays = c.fault->name == std::string_view("its name in upper case");
  if (!plays) modal.answer("OK");
  QElapsedTimer timer;
  timer.start();
  const QString err = QString::fromStdString(quietClick(c.button));
  if (plays) {
    // Found under its changed name, as the desktop the program was written for found it.
    EXPECT_FALSE(form->ending()) << modal.seen().join(' ').toStdString();
    EXPECT_EQ(trace.lines().last(),
              "Form1 Return " + QString::fromStdString(button(c.button).name()));
    return;
  }
  ASSERT_TRUE(form->ending()) << "the fault went unnoticed";
  EXPECT_NE(form->exitCode(), 0);
  ASSERT_EQ(modal.seen().size(), 1);
  // The message names the file and its own cause, in Japanese.
  const QString shown = modal.seen().first();
  static const QRegularExpression japaneseCause(
      QStringLiteral("[\\x{3040}-\\x{30ff}\\x{4e00}-\\x{9fff}]{4}"));
  EXPECT_TRUE(shown.startsWith("実行時エラー|") && shown.contains("\"" + name + "\"") &&
              shown.contains(japaneseCause) &&
              shown.contains(QString::fromUtf8(
                  c.data() && c.fault->dataCause ? c.fault->dataCause : c.fault->pictureCause)))
      << shown.toStdString();
  // A FIFO without a writer used to hold the window for good, a gibibyte of blank lines for
  // seconds; the error comes in milliseconds now. The bound leaves room for a loaded machine.
  EXPECT_LT(timer.elapsed(), 3000) << "nothing in a file's place may hold the window up";
  const QStringList stderrLines = err.split('\n').filter(QRegularExpression("^kepler-laws: "));
  ASSERT_EQ(stderrLines.size(), 1) << err.toStdString();
  EXPECT_TRUE(stderrLines.first().contains(name));
  EXPECT_EQ(trace.lines().last(), "Form1 End");
  EXPECT_EQ(trace.starting("Form1 Error").size(), 1);
}

// Every fault for every file; the faults of a record's fields for the data files only.
std::vector<Case> AllCases() {
  std::vector<Case> cases;
  for (const auto& [file, button] : kFiles)
    for (const Fault& fault : kFaults)
      if (file.ends_with(".dat") || fault.pictureCause) cases.push_back({file, button, &fault});
  return cases;
}

INSTANTIATE_TEST_SUITE_P(NineFiles, FaultMatrixTest, ::testing::ValuesIn(AllCases()),
                         [](const ::testing::TestParamInfo<Case>& p) {
                           return QString(p.param.name() + "_" + p.param.fault->name)
                               .replace(QRegularExpression("[^A-Za-z0-9]"), "_")
                               .toStdString();
                         });
