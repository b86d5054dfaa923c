// The data demonstrations: reading the longitude files, the frame-to-record mapping, the moving
// planets and day count, faults in the files, and what nesting leaves them to continue with.
#include <QFile>
#include <QRegularExpression>

#include <cmath>
#include <functional>

#include "core/data_demo.h"
#include "core/legacy_number.h"
#include "forms/trace.h"
#include "window_fixture.h"

using testing_support::TraceRecorder;
using testing_support::WindowTest;

namespace {

const QString kMars = QStringLiteral("kasei-kouten-Koukei.dat");
const QString kMercury = QStringLiteral("Suisei-kouten-Koukei.dat");

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

// The data demonstrations place their planets before each frame's wait: one placement per frame.
struct Placement {
  float left;
  float top;
};
std::vector<Placement> placements(const QStringList& lines, const QString& body) {
  std::vector<Placement> out;
  for (const QString& line : lines) {
    if (line.startsWith(body + " Left ")) out.push_back({line.section(' ', 2).toFloat(), 0});
    if (line.startsWith(body + " Top ") && !out.empty())
      out.back().top = line.section(' ', 2).toFloat();
  }
  return out;
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
  void write(const QString& name, const QByteArray& content) {
    QFile file(name);
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

TEST_F(LongitudeTest, EveryLayoutOfTheFieldsFillsTheTableAlike) {
  // The reader's own tests cover every layout; here, that the table fills from whichever.
  const std::vector<QByteArray> layouts = {
      records(686, [](int n) { return plainRecord(n).replace('\n', ','); }),
      records(700,
              [](int n) {
                return QByteArray("  \"a, b\",") +
                       plainRecord(n).mid(plainRecord(n).indexOf(',') + 1);
              }) +
          "# made by hand\nnot, a, record\n",
  };

  for (std::size_t i = 0; i < layouts.size(); ++i) {
    write(kMars, layouts[i]);
    form->LoadLongitudeTable(kMars, 686);
    for (int n = 1; n <= 686; ++n) {
      ASSERT_EQ(cell(n, 1), longitudeOf(n)) << "layout " << i << " record " << n;
      ASSERT_EQ(cell(n, 2), distanceOf(n)) << "layout " << i << " record " << n;
    }
  }
}

TEST_F(LongitudeTest, ReadingIsTracedAsOpenAndClose) {
  TraceRecorder trace;
  form->LoadLongitudeTable(kMars, 686);
  EXPECT_EQ(trace.lines(), QStringList({"Form1 Open \"kasei-kouten-Koukei.dat\"", "Form1 Close"}));
}

TEST_F(LongitudeTest, MarsPlaysItsRecordsDayByDayWithTheDayCount) {
  write(kMars, records(686, plainRecord));
  TraceRecorder trace;
  const auto start = clock.elapsed();
  press(6);
  EXPECT_EQ(clock.elapsed() - start, 1370u * 30u);
  const auto frames = placements(trace.lines(), "Image2");
  ASSERT_EQ(frames.size(), 1370u);
  for (const int frame : {1, 686, 687, 1370}) {
    const int row = kepler::MarsRow(frame);
    const kepler::PlotPoint p = kepler::RecordPoint(longitudeOf(row), distanceOf(row), 1.14);
    EXPECT_EQ(frames[frame - 1].left, static_cast<float>(p.x - 15)) << frame;
    EXPECT_EQ(frames[frame - 1].top, static_cast<float>(p.y - 15)) << frame;
  }
  EXPECT_EQ(kepler::MarsRow(687), 1);
  EXPECT_EQ(kepler::MarsRow(1370), 684);
  const QStringList days = trace.starting("Label5 Caption");
  ASSERT_EQ(days.size(), 1 + 1370) << "the ratio, then one read-out per frame";
  EXPECT_EQ(days[1], "Label5 Caption \"　　　　　　　　　　　　 1　日経過\"");
  EXPECT_EQ(days.last(), "Label5 Caption \"　　　　　　　　　　　　 1370　日経過\"");
  EXPECT_EQ(trace.starting("Image1 Left").value(0), "Image1 Left 135.02219");
  EXPECT_EQ(trace.starting("Image1 Top").value(0), "Image1 Top 237.57991");
  EXPECT_EQ(form->Label4.caption(), "");
  EXPECT_EQ(form->Label7.caption(), "");
  EXPECT_EQ(form->Label11.caption(), "");
  EXPECT_EQ(form->SemiMajorAxis, 228.53);
  EXPECT_EQ(form->Eccentricity, 0.093);
  EXPECT_NEAR(form->FocusX, 321.25329, 5e-6);
  EXPECT_EQ(form->FocusY, 250);
  EXPECT_EQ(form->FrameCounter, 1371);
}

TEST_F(LongitudeTest, InnerPlanetsPlayAFifthOfADayPerFrame) {
  write(kMercury, records(439, plainRecord));
  TraceRecorder trace;
  press(7);
  const auto frames = placements(trace.lines(), "Image2");
  ASSERT_EQ(frames.size(), 1800u);
  for (const int frame : {1, 439, 440, 878, 879, 1800}) {
    const int row = kepler::MercuryRow(frame);
    const kepler::PlotPoint p = kepler::RecordPoint(longitudeOf(row), distanceOf(row), 0.4645);
    EXPECT_EQ(frames[frame - 1].left, static_cast<float>(p.x - 15)) << frame;
  }
  EXPECT_EQ(kepler::MercuryRow(440), 1);
  EXPECT_EQ(kepler::MercuryRow(1800), 44);
  const QStringList days = trace.starting("Label5 Caption");
  ASSERT_EQ(days.size(), 1 + 1800);
  for (int frame = 1; frame <= 4; ++frame)
    EXPECT_EQ(days[frame], "Label5 Caption \"　　　　　　　　　　　　 0　日経過\"");
  EXPECT_EQ(days[5], "Label5 Caption \"　　　　　　　　　　　　 1　日経過\"");
  EXPECT_EQ(days.last(), "Label5 Caption \"　　　　　　　　　　　　 360　日経過\"");
  EXPECT_EQ(trace.starting("Image1 Left").value(0), "Image1 Left 45.00142");
  EXPECT_EQ(trace.starting("Image1 Top").value(0), "Image1 Top 235.8256");
  EXPECT_EQ(trace.starting("Image4 Left").value(0), "Image4 Left 111.4027");
  EXPECT_EQ(trace.starting("Image4 Top").value(0), "Image4 Top 235.96907");
  EXPECT_EQ(form->SemiMajorAxis, 92.78);
  EXPECT_NEAR(form->FocusX, 319.07842, 5e-6);
  EXPECT_EQ(form->FrameCounter, 1801);
  EXPECT_TRUE(form->Image4.isVisible());
}

TEST_F(LongitudeTest, MercuryOverwritesOnlyItsRowsOfTheMarsTable) {
  press(6);
  std::vector<double> mars(687);
  for (int n = 1; n <= 686; ++n) mars[n] = cell(n, 1);
  press(7);
  QFile mercury(kMercury);
  ASSERT_TRUE(mercury.open(QIODevice::ReadOnly));
  const QList<QByteArray> first = mercury.readLine().split(',');
  EXPECT_EQ(cell(1, 1), first[1].toDouble()) << "row 1 holds Mercury's first record";
  for (int n = 440; n <= 686; ++n) ASSERT_EQ(cell(n, 1), mars[n]) << n;
  EXPECT_NE(cell(439, 1), mars[439]);
}

// ---- Faults in the files ----

TEST_F(LongitudeTest, AMarsFileOneRecordShortEndsTheProgramWhileReading) {
  write(kMars, records(685, plainRecord));
  TraceRecorder trace;
  const QString message = errorAfter(6);
  EXPECT_TRUE(message.contains("kasei-kouten-Koukei.dat"));
  EXPECT_TRUE(message.contains("記録 686 の項目 1"));
  EXPECT_TRUE(message.contains("ファイルの終わり"));
  EXPECT_EQ(trace.starting("Image2 Left").size(), 0) << "nothing moved";
  EXPECT_LT(trace.find("Picture1 Circle 300 250 150 - -"),
            trace.find("Form1 Open \"kasei-kouten-Koukei.dat\""));
}

TEST_F(LongitudeTest, AMissingFileIsNoticedAfterTheOrbitsAreDrawn) {
  QFile::remove(kMercury);
  TraceRecorder trace;
  const QString message = errorAfter(7);
  EXPECT_TRUE(message.contains("Suisei-kouten-Koukei.dat"));
  EXPECT_TRUE(message.contains("ファイルが見つかりません"));
  EXPECT_TRUE(message.contains(QDir::currentPath()));
  const auto open = trace.find("Form1 Open \"Suisei-kouten-Koukei.dat\"");
  EXPECT_GT(open, trace.find("Picture1 Circle 300 250 10 65535 -")) << "the Sun is drawn first";
  EXPECT_EQ(trace.starting("Image2 Left").size(), 0);
  EXPECT_EQ(trace.starting("Form1 Close").size(), 0);
}

TEST_F(LongitudeTest, ANonNumericLongitudeFailsAtTheFirstFrameThatUsesIt) {
  write(kMars, records(686, [](int n) {
          return n == 5 ? QByteArray("\"day 5\",east,201\n") : plainRecord(n);
        }));
  TraceRecorder trace;
  const QString message = errorAfter(6);
  EXPECT_TRUE(message.contains("記録 5 の経度 \"east\" は数値ではありません"))
      << message.toStdString();
  EXPECT_EQ(trace.starting("Image2 Left").size(), 4) << "frames 1 to 4 played";
}

TEST_F(LongitudeTest, ADistanceBeyondASingleOverflowsAtTheFrameThatPlacesIt) {
  // 1e308 is a double; Mars 1.14e308 px left of the Sun is no single (3.4e38 at most).
  write(kMars, records(686, [](int n) {
          return n == 5 ? QByteArray("\"day 5\",0,1e308\n") : plainRecord(n);
        }));
  TraceRecorder trace;
  const QString message = errorAfter(6);
  EXPECT_EQ(message, "実行時エラー|オーバーフローしました。");
  EXPECT_EQ(trace.starting("Image2 Left").size(), 4) << "frames 1 to 4 played";
}

TEST_F(LongitudeTest, AnEmptyFieldReadsAsZero) {
  write(kMars, records(686, [](int n) {
          return n == 3 ? QByteArray("\"day 3\",,201\n") : plainRecord(n);
        }));
  form->LoadLongitudeTable(kMars, 686);
  EXPECT_TRUE(form->LongitudeTable(3, 1).isEmpty());
  EXPECT_EQ(cell(3, 1), 0);
}

// ---- Clicks during a data demonstration ----

TEST_F(LongitudeTest, EarthAndMarsInsideAnInnerPlanetWaitLeavesItToFinishOnMarsRows) {
  TraceRecorder trace;
  clock.after(31, [this] { form->Command1(6).postClick(); });
  press(7);
  const auto nestedEnd = trace.find("Form1 Return Command1(6)");
  ASSERT_GT(nestedEnd, 0);
  const QStringList after = trace.lines().mid(nestedEnd);
  EXPECT_EQ(after.filter(QRegularExpression("^Label5 Caption")).value(0),
            "Label5 Caption \"　　　　　　　　　　　　 274　日経過\"");
  EXPECT_EQ(after.filter(QRegularExpression("^Form1 Wait 3$")).size(), 1800 - 1371);
  // Frame 1372 plays row ((1372 - 1) mod 439) + 1 = 55 of a table whose rows 1..439 are Mars's.
  const auto frames = placements(after, "Image2");
  ASSERT_FALSE(frames.empty());
  const kepler::PlotPoint p = kepler::RecordPoint(cell(55, 1), cell(55, 2), 0.4645);
  EXPECT_EQ(frames[0].left, static_cast<float>(p.x - 15));
  EXPECT_EQ(form->FrameCounter, 1801);
  EXPECT_FALSE(form->ending());
}

TEST_F(LongitudeTest, EarthAndMarsInsideItselfEndsTheInterruptedRun) {
  TraceRecorder trace;
  clock.after(100, [this] { form->Command1(6).postClick(); });
  press(6);
  const auto nestedEnd = trace.find("Form1 Return Command1(6)");
  ASSERT_GT(nestedEnd, 0);
  EXPECT_EQ(trace.lines().mid(nestedEnd + 1),
            QStringList({"Label5 Caption \"　　　　　　　　　　　　 1371　日経過\"",
                         "Form1 Return Command1(6)"}));
}
