// The data demonstrations: reading the longitude files, the frame-to-record mapping, the moving
// planets and day count, faults in the files, and what nesting leaves them to continue with.
#include <QFile>
#include <QRegularExpression>

#include <cmath>
#include <functional>

#include "core/data_demo.h"
#include "core/data_files.h"
#include "core/legacy_number.h"
#include "forms/qt/access.h"
#include "forms/qt/colour.h"
#include "forms/trace.h"
#include "frame_log.h"
#include "window/colours.h"
#include "window_fixture.h"

using testing_support::FrameLog;
using testing_support::TraceRecorder;
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
    return modal.seen().value(0);
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

TEST_F(LongitudeTest, ReadingIsTracedAsOpenAndClose) {
  TraceRecorder trace;
  form->LoadLongitudeTable(kMars, 686);
  EXPECT_EQ(trace.lines(), QStringList({"Form1 Open \"kasei-kouten-Koukei.dat\"", "Form1 Close"}));
}

TEST_F(LongitudeTest, MarsPlaysItsRecordsDayByDayWithTheDayCount) {
  write(kMars, records(686, plainRecord));
  FrameLog log(clock, *form);
  const auto start = clock.elapsed();
  press(6);
  EXPECT_EQ(clock.elapsed() - start, 1370u * 30u);
  // The planets are placed before each wait, the day count after it.
  const auto& placed = log.samples();
  const auto frames = log.frames();
  ASSERT_EQ(placed.size(), 1370u);
  for (const int frame : {1, 686, 687, 1370}) {
    const int row = frame <= 686 ? frame : frame - 686;
    const kepler::PlotPoint p =
        kepler::RecordPoint(longitudeOf(row), distanceOf(row), kepler::kRecordedMars.factor);
    EXPECT_EQ(placed[frame - 1].shown.left2, static_cast<float>(p.x - 15)) << frame;
    EXPECT_EQ(placed[frame - 1].shown.top2, static_cast<float>(p.y - 15)) << frame;
  }
  EXPECT_EQ(frames.front().after.dayCount, "　　　　　　　　　　　　 1　日経過");
  EXPECT_EQ(frames.back().after.dayCount, "　　　　　　　　　　　　 1370　日経過");
  EXPECT_EQ(placed[0].shown.left, 135.02219f) << "the Earth a day on from straight left";
  EXPECT_EQ(placed[0].shown.top, 237.57991f);
  EXPECT_EQ(form->Label4.caption(), "");
  EXPECT_EQ(form->Label7.caption(), "");
  EXPECT_EQ(form->Label11.caption(), "");
  EXPECT_NEAR(form->FocusX, 321.25329, 5e-6) << "the ellipse's centre";
  EXPECT_EQ(form->FrameCounter, 1371);
}

TEST_F(LongitudeTest, InnerPlanetsPlayAFifthOfADayPerFrame) {
  write(kMercury, records(439, plainRecord));
  FrameLog log(clock, *form);
  press(7);
  const auto& placed = log.samples();
  const auto frames = log.frames();
  ASSERT_EQ(placed.size(), 1800u);
  for (const int frame : {1, 439, 440, 878, 879, 1800}) {
    const int row = (frame - 1) % 439 + 1;
    const kepler::PlotPoint p =
        kepler::RecordPoint(longitudeOf(row), distanceOf(row), kepler::kRecordedMercury.factor);
    EXPECT_EQ(placed[frame - 1].shown.left2, static_cast<float>(p.x - 15)) << frame;
  }
  for (std::size_t f = 0; f < 4; ++f)
    EXPECT_EQ(frames[f].after.dayCount, "　　　　　　　　　　　　 0　日経過");
  EXPECT_EQ(frames[4].after.dayCount, "　　　　　　　　　　　　 1　日経過");
  EXPECT_EQ(frames.back().after.dayCount, "　　　　　　　　　　　　 360　日経過");
  EXPECT_EQ(placed[0].shown.left, 45.00142f);
  EXPECT_EQ(placed[0].shown.top, 235.8256f);
  EXPECT_EQ(placed[0].shown.left4, 111.4027f);
  EXPECT_EQ(placed[0].shown.top4, 235.96907f);
  EXPECT_NEAR(form->FocusX, 319.07842, 5e-6);
  EXPECT_EQ(form->FrameCounter, 1801);
  EXPECT_TRUE(form->Image4.isVisible());
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

TEST_F(LongitudeTest, AMissingFileIsNoticedAfterTheOrbitsAreDrawn) {
  QFile::remove(QString::fromStdString(kMercury));
  FrameLog log(clock, *form);
  const QString message = errorAfter(7);
  EXPECT_TRUE(message.contains(QDir::currentPath())) << "the folder searched";
  EXPECT_EQ(forms::qt::ImageOf(form->Picture1).pixel(300, 250),
            forms::qt::ToQRgb(colours::kDataSun))
      << "the Sun was drawn first";
  EXPECT_TRUE(log.samples().empty());
}

TEST_F(LongitudeTest, ANonNumericLongitudeFailsAtTheFirstFrameThatUsesIt) {
  write(kMars, records(686, [](int n) {
          return n == 5 ? QByteArray("\"day 5\",east,201\n") : plainRecord(n);
        }));
  FrameLog log(clock, *form);
  const QString message = errorAfter(6);
  EXPECT_TRUE(message.contains("記録 5 の経度 \"east\" は数値ではありません"))
      << message.toStdString();
  EXPECT_EQ(log.samples().size(), 4u) << "frames 1 to 4 played";
}

TEST_F(LongitudeTest, ADistanceBeyondASingleOverflowsAtTheFrameThatPlacesIt) {
  // 1e308 is a double; Mars 1.14e308 px left of the Sun is no single (3.4e38 at most).
  write(kMars, records(686, [](int n) {
          return n == 5 ? QByteArray("\"day 5\",0,1e308\n") : plainRecord(n);
        }));
  FrameLog log(clock, *form);
  const QString message = errorAfter(6);
  EXPECT_EQ(message, "実行時エラー|オーバーフローしました。");
  EXPECT_EQ(log.samples().size(), 4u) << "frames 1 to 4 played";
}

// ---- Clicks during a data demonstration ----

TEST_F(LongitudeTest, EarthAndMarsInsideAnInnerPlanetWaitLeavesItToFinishOnMarsRows) {
  FrameLog log(clock, *form);
  clock.after(31, [this] { form->Command1(6).postClick(); });
  press(7);
  const auto outer = log.outerFrames();
  // The eleventh frame's wait held the nested run, which left FrameCounter at 1371: the frame
  // shows day 274 and the loop goes on from 1372 to 1800.
  ASSERT_EQ(outer.size(), 11u + (1800 - 1371));
  EXPECT_EQ(outer[10].after.dayCount, "　　　　　　　　　　　　 274　日経過");
  // Frame 1372, placed before the next wait, plays row ((1372 - 1) mod 439) + 1 = 55 of a table
  // whose rows 1..439 are Mars's.
  const kepler::PlotPoint p =
      kepler::RecordPoint(cell(55, 1), cell(55, 2), kepler::kRecordedMercury.factor);
  EXPECT_EQ(outer[10].after.left2, static_cast<float>(p.x - 15));
  EXPECT_EQ(form->FrameCounter, 1801);
  EXPECT_FALSE(form->ending());
}

TEST_F(LongitudeTest, EarthAndMarsInsideItselfEndsTheInterruptedRun) {
  FrameLog log(clock, *form);
  clock.after(100, [this] { form->Command1(6).postClick(); });
  press(6);
  // The fourth frame's wait held the nested run; the outer run shows day 1371 and waits no more.
  EXPECT_EQ(log.outerFrames().size(), 4u);
  EXPECT_EQ(form->Label5.caption(), "　　　　　　　　　　　　 1371　日経過");
  EXPECT_EQ(form->FrameCounter, 1372);
}
