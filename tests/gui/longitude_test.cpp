// The data demonstrations on files made by hand: which records fill the table, faults found while
// reading or playing, and what nesting leaves a run to continue with.
#include <QFile>

#include <functional>
#include <vector>

#include "forms/qt/access.h"
#include "forms/qt/color.h"
#include "frame_log.h"
#include "post_click.h"
#include "window_fixture.h"

using testing_support::FrameLog;
using testing_support::WindowTest;

namespace {

const std::string kMars = "kasei-kouten-Koukei.dat";
const std::string kMercury = "Suisei-kouten-Koukei.dat";

// A recognisable record n: longitude n / 4 degrees, distance 200 + n / 1000.
double longitudeOf(int n) {
  return n / 4.0;
}
double distanceOf(int n) {
  return 200 + n / 1000.0;
}

QByteArray records(int count, const std::function<QByteArray(int)>& format) {
  QByteArray text;
  for (int n = 1; n <= count; ++n) text += format(n);
  return text;
}

QByteArray plainRecord(int n) {
  return QStringLiteral("\"day %1\",%2,%3\n")
      .arg(n)
      .arg(longitudeOf(n))
      .arg(distanceOf(n))
      .toUtf8();
}

// Runs in a folder holding copies of the program's pictures and data files that a test may
// replace.
class LongitudeTest : public WindowTest {
 protected:
  void SetUp() override {
    WindowTest::SetUp();
    useCopyOfAssets();
  }
  void write(const std::string& name, const QByteArray& content) {
    QFile file(QString::fromStdString(name));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(content);
  }
  void press(int index) { click(form->Command1(index)); }
  double cell(int row, int column) { return *form->LongitudeTable(row, column).number(); }
  // The error message shown, after answering the box.
  QString errorAfter(int index) {
    modal.answer("OK");
    testing::internal::CaptureStderr();
    press(index);
    testing::internal::GetCapturedStderr();
    EXPECT_TRUE(form->ending());
    EXPECT_NE(form->exitCode(), 0);
    return modal.seen().value(modal.seen().size() - 1);
  }
};

}  // namespace

TEST_F(LongitudeTest, TheTableTakesTheRecordsCountedAndNothingAfterThem) {
  // The reader's own tests cover the layouts; here, that the table fills from the fields it reads.
  write(kMars, records(700, [](int n) {
                 return QByteArray("  \"a, b\",") +
                        plainRecord(n).mid(plainRecord(n).indexOf(',') + 1);
               }) + "# made by hand\nnot, a, record\n");
  form->LoadLongitudeTable(kMars, 686);
  for (int n = 1; n <= 686; ++n) {
    ASSERT_EQ(cell(n, 1), longitudeOf(n)) << n;
    ASSERT_EQ(cell(n, 2), distanceOf(n)) << n;
  }
  EXPECT_TRUE(form->LongitudeTable(687, 1).isEmpty());
}

TEST_F(LongitudeTest, MercuryOverwritesOnlyItsRowsOfTheMarsTable) {
  press(6);
  std::vector<double> mars(687);
  for (int n = 1; n <= 686; ++n) mars[n] = cell(n, 1);
  press(7);
  QFile mercury(QString::fromStdString(kMercury));
  ASSERT_TRUE(mercury.open(QIODevice::ReadOnly));
  const QList<QByteArray> first = mercury.readLine().split(',');
  EXPECT_EQ(cell(1, 1), first[1].toDouble()) << "row 1 holds Mercury's first record";
  for (int n = 440; n <= 686; ++n) ASSERT_EQ(cell(n, 1), mars[n]) << n;
  EXPECT_NE(cell(439, 1), mars[439]);
}

// ---- Faults in the files ----

TEST_F(LongitudeTest, AMarsFileOneRecordShortEndsTheProgramWhileReading) {
  write(kMars, records(685, plainRecord));
  FrameLog log(clock, *form);
  const QString message = errorAfter(6);
  EXPECT_TRUE(message.contains("記録 686 の項目 1"));
  EXPECT_TRUE(message.contains("ファイルの終わり"));
  EXPECT_TRUE(log.samples().empty()) << "no frame played";
  EXPECT_EQ(forms::qt::ImageOf(form->Picture1).pixel(150, 250),
            forms::qt::ToQRgb(form->Picture1.foreColor()))
      << "the Earth's circle was drawn before the file was read";
}

TEST_F(LongitudeTest, AFaultyFieldEndsTheProgramWhileReadingOrAtTheFrameThatUsesIt) {
  // A field that is no number, or no single, fails at its frame: frames 1 to 4 played. Empty cells
  // and another spreadsheet's separators would otherwise play a wrong path in silence (an empty
  // cell reads as 0, which puts Mars on the Sun and every later record a day late; decimal commas
  // and tabs shift every field), so they fail while reading, naming the file.
  const auto fifth = [](const char* record) {
    return records(686, [record](int n) { return n == 5 ? QByteArray(record) : plainRecord(n); });
  };
  const auto withDecimalCommas = [](int n) { return plainRecord(n).replace('.', ','); };
  const auto withTabs = [](int n) { return plainRecord(n).replace(',', '\t'); };
  const struct {
    const char* what;
    QByteArray file;
    const char* message;
    std::size_t frames;
  } cases[] = {
      {"a word", fifth("\"day 5\",east,201\n"), "記録 5 の経度 \"east\" は数値ではありません", 4},
      // A no-break space after a number is shown, not left to look like a blank.
      {"a no-break space", fifth("\"day 5\",93.2712\u00a0,201\n"),
       "記録 5 の経度 \"93.2712\\u00A0\" は数値ではありません", 4},
      // 1e308 is a double; Mars 1.14e308 px left of the Sun is no single (3.4e38 at most).
      {"1e308", fifth("\"day 5\",0,1e308\n"), "実行時エラー|オーバーフローしました。", 4},
      {"an empty row after record 300",
       records(300, plainRecord) + ",,\n" + records(386, plainRecord),
       "記録 301 の項目 2（経度）: 値が空です", 0},
      {"an empty longitude", fifth("\"day 5\",,201\n"), "記録 5 の項目 2（経度）: 値が空です", 0},
      {"an empty distance", records(685, plainRecord) + "\"day 686\",3,\n",
       "記録 686 の項目 3（距離）: 値が空です", 0},
      {"a file cut after a comma", records(685, plainRecord) + "\"day 686\",3,",
       "記録 686 の項目 3（距離）: ファイルの終わり", 0},
      {"decimal commas", records(686, withDecimalCommas),
       "記録 1 の項目 1（先頭の項目）: 1 行目: 数値の中にカンマがあります（小数点はピリオドで書いて"
       "ください）: \"0,25\"",
       0},
      {"tabs", records(686, withTabs),
       "記録 1 の項目 1（先頭の項目）: 1 行目: カンマの代わりにタブで区切られています: "
       "\"\"day 1\"\\x090.25\\x09200.001\"",
       0},
      {"tabs from record 3 on",
       records(2, plainRecord) + records(686, withTabs).mid(records(2, withTabs).size()),
       "記録 3 の項目 1（先頭の項目）: 3 行目: カンマの代わりにタブ", 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    write(kMars, c.file);
    restart();  // the case before ended the program
    FrameLog log(clock, *form);
    const QString message = errorAfter(6);
    EXPECT_TRUE(message.contains(QString::fromUtf8(c.message))) << message.toStdString();
    if (c.frames == 0) {
      EXPECT_TRUE(message.contains(QString::fromStdString(kMars))) << message.toStdString();
    }
    EXPECT_EQ(log.samples().size(), c.frames);
  }
}

// ---- Clicks during a data demonstration ----

TEST_F(LongitudeTest, EarthAndMarsInsideItselfEndsTheInterruptedRun) {
  FrameLog log(clock, *form);
  clock.after(100, [this] { testing_support::PostClick(form->Command1(6)); });
  press(6);
  // The fourth frame's wait held the nested run; the outer run shows day 1371 and waits no more.
  EXPECT_EQ(log.outerFrames().size(), 4u);
  EXPECT_EQ(form->Label5.caption(), "　　　　　　　　　　　　 1371　日経過");
  EXPECT_EQ(form->FrameCounter, 1372);
}
