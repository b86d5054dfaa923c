// The data demonstrations on files made by hand: which records fill the table, faults found while
// reading or playing, and what nesting leaves a run to continue with.
#include <functional>
#include <vector>

#include "frame_log.h"
#include "window_fixture.h"

namespace {

const std::string kMars = "kasei-kouten-Koukei.dat";

// A recognisable record n: longitude n / 4 degrees, distance 200 + n / 1000.
constexpr auto longitudeOf = [](int n) { return n / 4.0; };
constexpr auto distanceOf = [](int n) { return 200 + n / 1000.0; };
QByteArray plainRecord(int n) {
  return QString::asprintf("\"day %d\",%g,%g\n", n, longitudeOf(n), distanceOf(n)).toUtf8();
}
QByteArray records(int count, const std::function<QByteArray(int)>& format = plainRecord) {
  QByteArray text;
  for (int n = 1; n <= count; ++n) text += format(n);
  return text;
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
  double cell(int row, int column) { return *form->LongitudeTable(row, column).number(); }
};

}  // namespace

TEST_F(LongitudeTest, TheTableTakesTheRecordsCountedAndNothingAfterThem) {
  // The reader's own tests cover the layouts; here, that the table fills from the fields it reads.
  write(kMars, records(700, [](int n) {
                 return "  \"a, b\"," + plainRecord(n).mid(plainRecord(n).indexOf(',') + 1);
               }) + "# made by hand\nnot, a, record\n");
  form->LoadLongitudeTable(kMars, 686);
  for (int n = 1; n <= 686; ++n) {
    ASSERT_EQ(cell(n, 1), longitudeOf(n)) << n;
    ASSERT_EQ(cell(n, 2), distanceOf(n)) << n;
  }
  EXPECT_TRUE(form->LongitudeTable(687, 1).isEmpty());
}

TEST_F(LongitudeTest, MercuryOverwritesOnlyItsRowsOfTheMarsTable) {
  click(6);
  std::vector<double> mars(687);
  for (int n = 1; n <= 686; ++n) mars[n] = cell(n, 1);
  click(7);
  QFile mercury("Suisei-kouten-Koukei.dat");
  ASSERT_TRUE(mercury.open(QIODevice::ReadOnly));
  EXPECT_EQ(cell(1, 1), mercury.readLine().split(',')[1].toDouble())
      << "row 1 holds Mercury's first record";
  for (int n = 440; n <= 686; ++n) ASSERT_EQ(cell(n, 1), mars[n]) << n;
  EXPECT_NE(cell(439, 1), mars[439]);
}

TEST_F(LongitudeTest, AFaultyFieldEndsTheProgramWhileReadingOrAtTheFrameThatUsesIt) {
  // A field that is no number, or no single, fails at its frame: frames 1 to 4 played. Empty cells
  // and another spreadsheet's separators would otherwise play a wrong path in silence (an empty
  // cell reads as 0, which puts Mars on the Sun and every later record a day late; decimal commas
  // and tabs shift every field), so they fail while reading, naming the file.
  const auto fifth = [](const char* record) {
    return records(686, [record](int n) { return n == 5 ? QByteArray(record) : plainRecord(n); });
  };
  const auto withTabs = [](int n) { return plainRecord(n).replace(',', '\t'); };
  // Each case: what is wrong, the file, the message, and the frames played before it.
  const std::tuple<const char*, QByteArray, const char*, std::size_t> cases[] = {
      {"a word", fifth("\"day 5\",east,201\n"), "記録 5 の経度 \"east\" は数値ではありません", 4},
      // A no-break space after a number is shown, not left to look like a blank.
      {"a no-break space", fifth("\"day 5\",93.2712\u00a0,201\n"),
       "記録 5 の経度 \"93.2712\\u00A0\" は数値ではありません", 4},
      // 1e308 is a double; Mars 1.14e308 px left of the Sun is no single (3.4e38 at most).
      {"1e308", fifth("\"day 5\",0,1e308\n"), "実行時エラー|オーバーフローしました。", 4},
      {"one record short", records(685), "記録 686 の項目 1（先頭の項目）: ファイルの終わり", 0},
      {"an empty row after record 300", records(300) + ",,\n" + records(386),
       "記録 301 の項目 2（経度）: 値が空です", 0},
      {"an empty longitude", fifth("\"day 5\",,201\n"), "記録 5 の項目 2（経度）: 値が空です", 0},
      {"an empty distance", records(685) + "\"day 686\",3,\n",
       "記録 686 の項目 3（距離）: 値が空です", 0},
      {"a file cut after a comma", records(685) + "\"day 686\",3,",
       "記録 686 の項目 3（距離）: ファイルの終わり", 0},
      {"decimal commas", records(686, [](int n) { return plainRecord(n).replace('.', ','); }),
       "記録 1 の項目 1（先頭の項目）: 1 行目: 数値の中にカンマがあります（小数点はピリオドで書いて"
       "ください）: \"0,25\"",
       0},
      {"tabs", records(686, withTabs),
       "記録 1 の項目 1（先頭の項目）: 1 行目: カンマの代わりにタブで区切られています: "
       "\"\"day 1\"\\x090.25\\x09200.001\"",
       0},
      {"tabs from record 3 on",
       records(2) + records(686, withTabs).mid(records(2, withTabs).size()),
       "記録 3 の項目 1（先頭の項目）: 3 行目: カンマの代わりにタブ", 0},
  };
  for (const auto& [what, file, expected, frames] : cases) {
    SCOPED_TRACE(what);
    write(kMars, file);
    restart();  // the case before ended the program
    FrameLog log(clock, *form);
    modal.answer("OK");
    quietClick(6);
    EXPECT_TRUE(form->ending());
    EXPECT_NE(form->exitCode(), 0);
    const QString message = modal.seen().value(modal.seen().size() - 1);
    EXPECT_TRUE(message.contains(QString::fromUtf8(expected))) << message.toStdString();
    EXPECT_EQ(log.samples.size(), frames);
    if (frames > 0) continue;
    EXPECT_TRUE(message.contains(QString::fromStdString(kMars))) << message.toStdString();
    EXPECT_EQ(forms::qt::ImageOf(form->Picture1).pixel(150, 250),
              forms::qt::ToQRgb(form->Picture1.foreColor()))
        << "the Earth's circle was drawn before the file was read";
  }
}

// ---- Clicks during a data demonstration ----

TEST_F(LongitudeTest, EarthAndMarsInsideItselfEndsTheInterruptedRun) {
  FrameLog log(clock, *form);
  clickLater(100, 6);
  click(6);
  // The fourth frame's wait held the nested run; the outer run shows day 1371 and waits no more.
  EXPECT_EQ(log.frames(1).size(), 4u);
  EXPECT_EQ(form->Label5.caption(), "　　　　　　　　　　　　 1371　日経過");
  EXPECT_EQ(form->FrameCounter, 1372);
}
