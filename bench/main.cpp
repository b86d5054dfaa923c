// kepler-bench: plays the demonstrations at real speed on Qt's offscreen platform, times single
// pacing waits against the old busy poll, starts the real program to time its first frame, plays
// the demonstrations again in the real program on an X server (Xvfb) for its processor time, and
// prints the figures beside their targets. Run from anywhere; it works in the asset folder.
#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QWidget>

#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "children.h"
#include "clocks.h"
#include "core/program_files.h"
#include "forms/qt/access.h"
#include "forms/qt/clock.h"
#include "forms/qt/fonts.h"
#include "in_process.h"
#include "measure.h"
#include "window/form1.h"

namespace {

using bench::Median;

// Targets the figures are held against.
constexpr double kOverheadTarget = 1.0;         // demonstration overhead [%]
constexpr double kCpuTarget = 5.0;              // processor share while playing or waiting [%]
constexpr double kXServerCpuTarget = 1.5;       // the real program's share on an X server [%]
constexpr double kMedianOvershootTarget = 0.5;  // [ms]
constexpr double kMaxOvershootTarget = 2.0;     // [ms]
constexpr double kStartTarget = 300;            // start to first frame [ms]
constexpr double kPeakRssTarget = 80;           // [MB]

// The inner planets wait only 3 ms a frame: their overhead is reported, not held to a target.
constexpr int kInnerPlanets = 7;
// Command1 indices of the demonstrations, and how they are named in the table.
constexpr int kDemonstrationCount = 8;
const char* const kDemonstrationNames[kDemonstrationCount] = {
    "e 0.000", "Earth e 0.017",  "Mars e 0.093",   "Mercury e 0.206",
    "e 0.500", "Halley e 0.967", "Earth and Mars", "inner planets",
};

struct WaitSeries {
  int askedMs;  // [ms]
  int repeats;
};

struct Options {
  bool quick = false;
  std::optional<int> only;
};

struct Plan {
  std::vector<int> demonstrations;
  std::vector<WaitSeries> waits;  // empty: no wait series
  int startups = 0;               // runs of the program to its first frame
  // Demonstrations the real program plays on Xvfb, and how many fresh starts each gets: a
  // program's processor share may differ from one start to the next.
  std::vector<std::pair<int, int>> xServerRuns;
};

void usage(std::FILE* out) {
  std::fprintf(
      out,
      "usage: kepler-bench [--quick] [--only N]\n"
      "  (no option)  all eight demonstrations at real speed offscreen and again on Xvfb,\n"
      "               the inner planets five times there (about nine minutes), the wait\n"
      "               series, ten program starts and the program's memory\n"
      "  --quick      a smoke run under 40 s: the inner planets (5.4 s) offscreen and once\n"
      "               on Xvfb, short wait series and three program starts\n"
      "  --only N     only demonstration N (Command1(N), 0 to 7), offscreen and on Xvfb\n");
}

std::optional<Options> parseOptions(int argc, char* argv[]) {
  Options options;
  for (int i = 1; i < argc; ++i) {
    const std::string argument = argv[i];
    if (argument == "--quick") {
      options.quick = true;
    } else if (argument == "--only") {
      const std::string value = i + 1 < argc ? argv[++i] : "";
      if (value.size() != 1 || value[0] < '0' || value[0] > '7') {
        std::fprintf(stderr, "kepler-bench: --only takes a demonstration from 0 to 7, not '%s'\n",
                     value.c_str());
        return std::nullopt;
      }
      options.only = value[0] - '0';
    } else if (argument == "--help" || argument == "-h") {
      usage(stdout);
      std::exit(0);
    } else {
      std::fprintf(stderr, "kepler-bench: unknown argument '%s'\n", argument.c_str());
      usage(stderr);
      return std::nullopt;
    }
  }
  return options;
}

Plan planFor(const Options& options) {
  Plan plan;
  // The inner planets, the most wake-ups per second, are played from five starts.
  const auto xServerStarts = [](int index) { return index == kInnerPlanets ? 5 : 1; };
  if (options.only) {
    plan.demonstrations = {*options.only};
    plan.xServerRuns = {{*options.only, xServerStarts(*options.only)}};
    return plan;
  }
  if (options.quick) {
    plan.demonstrations = {kInnerPlanets};
    plan.waits = {{1, 40}, {3, 40}, {30, 10}, {142, 4}};
    plan.startups = 3;
    plan.xServerRuns = {{kInnerPlanets, 1}};
    return plan;
  }
  for (int i = 0; i < kDemonstrationCount; ++i) {
    plan.demonstrations.push_back(i);
    plan.xServerRuns.emplace_back(i, xServerStarts(i));
  }
  plan.waits = {{1, 200}, {3, 200}, {30, 60}, {142, 20}};
  plan.startups = 10;
  return plan;
}

std::string cpuModel() {
  std::ifstream cpuinfo("/proc/cpuinfo");
  std::string line;
  while (std::getline(cpuinfo, line)) {
    if (line.rfind("model name", 0) == 0) {
      const std::size_t colon = line.find(':');
      if (colon != std::string::npos) return line.substr(line.find_first_not_of(' ', colon + 1));
    }
  }
  return "unknown processor";
}

// The one-minute load average, a first hint of how busy a shared machine was.
std::string loadAverage() {
  std::ifstream loadavg("/proc/loadavg");
  std::string oneMinute;
  if (!(loadavg >> oneMinute)) return "?";
  return oneMinute;
}

const char* mark(bool ok) {
  return ok ? "✓" : "✗";
}

void progress(const std::string& text) {
  std::fprintf(stderr, "kepler-bench: %s\n", text.c_str());
}

// A started window as the program has it.
void start(Form1& form) {
  form.Form_Load();
  form.show();
  bench::Settle(500);
}

struct WaitComparison {
  bench::WaitRun steady;
  bench::WaitRun polling;
};

// The series on one clock, in a window of its own.
std::vector<bench::WaitRun> measureWaitSeriesOn(forms::Clock& clock, const char* clockName,
                                                const std::vector<WaitSeries>& series) {
  std::vector<bench::WaitRun> runs;
  Form1 form(clock);
  start(form);
  for (const WaitSeries& s : series) {
    progress("waits of " + std::to_string(s.askedMs) + " ms on the " + clockName + " clock");
    runs.push_back(bench::MeasureWaits(form, s.askedMs, s.repeats));
  }
  return runs;
}

std::vector<WaitComparison> measureWaitSeries(const std::vector<WaitSeries>& series) {
  forms::qt::SteadyClock steadyClock;
  const std::vector<bench::WaitRun> steady = measureWaitSeriesOn(steadyClock, "steady", series);
  bench::PollingClock pollingClock;
  const std::vector<bench::WaitRun> polling = measureWaitSeriesOn(pollingClock, "polling", series);
  std::vector<WaitComparison> result;
  for (std::size_t i = 0; i < series.size(); ++i) result.push_back({steady[i], polling[i]});
  return result;
}

void printDemonstrations(const std::vector<int>& indices,
                         const std::vector<bench::Nominal>& nominals,
                         const std::vector<bench::DemonstrationRun>& runs) {
  std::printf(
      "\nDemonstrations at real speed on the SteadyClock, from the click to the handler's "
      "return\n");
  std::printf(
      "  #  demonstration    waits  nominal  measured  overhead   cost =  work +  late"
      "    CPU  overhead  CPU\n");
  std::printf(
      "                               [ms]      [ms]       [%%]   [ms per wait]        "
      "    [%%]  <= 1 %%    <= 5 %%\n");
  for (std::size_t i = 0; i < runs.size(); ++i) {
    const int index = indices[i];
    const bench::Nominal& nominal = nominals[i];
    const bench::DemonstrationRun& run = runs[i];
    const double nominalMs = static_cast<double>(nominal.totalMs);
    const double waits = nominal.waits > 0 ? nominal.waits : 1;
    // Overhead: what the run took beyond its waits, (measured - nominal) / nominal. Spread over
    // the waits it splits into the work between waits (frames and set-up, outside the pumps) and
    // the time the waits ran late (wake-up delay; repaints that outlast a wait).
    const double overheadMs = run.span.wallMs - nominalMs;
    const double overhead = nominalMs > 0 ? 100.0 * overheadMs / nominalMs : 0.0;
    const double workMs = run.span.wallMs - run.insideWaitsMs;
    const double lateMs = run.insideWaitsMs - nominalMs;
    const double cpu = run.span.cpuPercent();
    const std::string overheadMark =
        index == kInnerPlanets ? "report" : mark(overhead <= kOverheadTarget);
    std::printf("  %d  %-15s %6d  %7lld  %8.1f  %8.2f  %6.3f  %6.3f  %5.3f  %5.1f  %-8s  %s%s\n",
                index, kDemonstrationNames[index], nominal.waits,
                static_cast<long long>(nominal.totalMs), run.span.wallMs, overhead,
                overheadMs / waits, workMs / waits, lateMs / waits, cpu, overheadMark.c_str(),
                mark(cpu <= kCpuTarget), run.completed ? "" : "  (the window ended on the way)");
    if (index == kInnerPlanets) {
      std::printf("     inner planets: %.1f ms over %d frames of 3 ms = %.3f ms per frame\n",
                  overheadMs, nominal.waits, overheadMs / waits);
    }
  }
}

void printWaits(const std::vector<WaitSeries>& series, const std::vector<WaitComparison>& runs) {
  std::printf("\nSingle pacing waits, back to back; overshoot = duration - asked [ms]\n");
  std::printf(
      "                 SteadyClock (the program's)   PollingClock (busy poll)   "
      "SteadyClock targets\n");
  std::printf(
      "  asked  count   median     max   CPU [%%]     median     max   CPU [%%]   "
      "median<=0.5 max<=2 CPU<=5%%\n");
  for (std::size_t i = 0; i < series.size(); ++i) {
    const bench::WaitRun& s = runs[i].steady;
    const bench::WaitRun& p = runs[i].polling;
    std::printf("  %5d  %5d  %7.3f %7.3f  %7.1f    %7.3f %7.3f  %7.1f      %s         %s      %s\n",
                series[i].askedMs, series[i].repeats, s.medianOvershootMs, s.maxOvershootMs,
                s.cpuPercent, p.medianOvershootMs, p.maxOvershootMs, p.cpuPercent,
                mark(s.medianOvershootMs <= kMedianOvershootTarget),
                mark(s.maxOvershootMs <= kMaxOvershootTarget), mark(s.cpuPercent <= kCpuTarget));
  }
}

struct XServerFigures {
  int index = 0;
  std::vector<bench::XServerRun> runs;
};

void printXServer(const std::vector<XServerFigures>& figures) {
  std::printf(
      "\nThe real program on an X server (Xvfb 1280x800, xcb, trace off), from the click over "
      "the\ndemonstration's nominal span; a fresh Xvfb and program for every run\n");
  std::printf("  #  demonstration    runs   CPU [%%] median  (min - max)   CPU <= %.1f %%\n",
              kXServerCpuTarget);
  for (const XServerFigures& f : figures) {
    std::vector<double> cpu;
    std::string note;
    for (const bench::XServerRun& run : f.runs) {
      if (run.measured) {
        cpu.push_back(run.cpuPercent);
      } else {
        note = run.note;
      }
    }
    if (cpu.empty()) {
      std::printf("  %d  %-15s  not measured: %s\n", f.index, kDemonstrationNames[f.index],
                  note.c_str());
      continue;
    }
    const double median = Median(cpu);
    std::printf("  %d  %-15s %5zu   %6.2f        (%.2f - %.2f)    %s%s%s\n", f.index,
                kDemonstrationNames[f.index], cpu.size(), median,
                *std::min_element(cpu.begin(), cpu.end()), bench::Maximum(cpu),
                mark(median <= kXServerCpuTarget), note.empty() ? "" : "  ", note.c_str());
  }
}

void printStartups(const bench::StartupRuns& runs, int count) {
  std::printf("\nStart and memory\n");
  if (runs.firstFrameMs.empty()) {
    std::printf("  start to first frame: not measured (%s)\n", runs.note.c_str());
    return;
  }
  const double median = Median(runs.firstFrameMs);
  std::printf(
      "  start to first frame, kepler-laws offscreen, %zu of %d runs: median %.1f ms, "
      "max %.1f ms   target <= %.0f ms  %s\n",
      runs.firstFrameMs.size(), count, median, bench::Maximum(runs.firstFrameMs), kStartTarget,
      mark(median <= kStartTarget));
  std::vector<double> rss;
  for (const long kib : runs.peakRssKib) rss.push_back(bench::KibToMegabytes(kib));
  std::printf(
      "  peak RSS kepler-laws ended at its first frame: median %.1f MB, max %.1f MB   "
      "target <= %.0f MB  %s\n",
      Median(rss), bench::Maximum(rss), kPeakRssTarget,
      mark(bench::Maximum(rss) <= kPeakRssTarget));
  if (!runs.note.empty()) std::printf("  (%s)\n", runs.note.c_str());
}

}  // namespace

int main(int argc, char* argv[]) {
  const std::optional<Options> options = parseOptions(argc, argv);
  if (!options) return 2;
  const Plan plan = planFor(*options);

  const QString assetDir = QStringLiteral(KEPLER_ASSET_DIR);
  if (!QDir::setCurrent(assetDir)) {
    std::fprintf(stderr, "kepler-bench: cannot enter the asset folder %s\n", KEPLER_ASSET_DIR);
    return 1;
  }
  for (const std::string_view file : kepler::kProgramFiles) {
    if (!QFileInfo::exists(QString::fromStdString(std::string(file)))) {
      std::fprintf(stderr,
                   "kepler-bench: %s is missing from %s; build the assets and data_files targets "
                   "first\n",
                   std::string(file).c_str(), KEPLER_ASSET_DIR);
      return 1;
    }
  }
  // Offscreen, the window opens on one screen of a projector's size, which it fits at its own.
  const std::string offscreen = std::string("offscreen:configfile=") + KEPLER_OFFSCREEN_SCREEN;
  const bench::ProgramFiles program{KEPLER_LAWS_BINARY, KEPLER_ASSET_DIR, offscreen};
  if ((plan.startups > 0 || !plan.xServerRuns.empty()) &&
      !QFileInfo(QString::fromStdString(program.binary)).isExecutable()) {
    std::fprintf(stderr, "kepler-bench: %s is missing; build the kepler-laws target first\n",
                 program.binary.c_str());
    return 1;
  }

  qputenv("QT_QPA_PLATFORM", offscreen.c_str());
  forms::qt::PinFontSubstitutions();
  int qtArgc = 1;
  QApplication app(qtArgc, argv);
  forms::qt::RegisterEmbeddedFonts();
  QApplication::setStyle(QStringLiteral("Fusion"));

  const std::string loadBefore = loadAverage();
  progress("nominal wait totals (demonstrations on a jumping clock)");
  const std::vector<bench::Nominal> nominals = bench::NominalWaits(plan.demonstrations);

  std::vector<bench::DemonstrationRun> runs;
  // Where the real program's window, at its own size on Xvfb, shows each scenario button.
  std::vector<QPoint> buttonCentres;
  {
    forms::qt::SteadyClock steady;
    bench::PumpTimingClock clock(steady);
    Form1 form(clock);
    start(form);
    for (std::size_t i = 0; i < plan.demonstrations.size(); ++i) {
      const int index = plan.demonstrations[i];
      progress("playing Command1(" + std::to_string(index) + "), " +
               std::to_string(nominals[i].totalMs) + " ms of waits");
      bench::Settle(300);
      runs.push_back(bench::PlayDemonstration(form, clock, index));
      if (form.ending()) break;
    }
    for (int i = 0; i < kDemonstrationCount; ++i) {
      QWidget* button = forms::qt::WidgetOf(form.Command1(i));
      buttonCentres.push_back(
          button->mapTo(forms::qt::WidgetOf(form.window()), button->rect().center()));
    }
  }

  std::vector<WaitComparison> waits;
  if (!plan.waits.empty()) waits = measureWaitSeries(plan.waits);

  bench::StartupRuns startups;
  if (plan.startups > 0) {
    progress("starting kepler-laws " + std::to_string(plan.startups) + " times");
    startups = bench::MeasureStartups(program, plan.startups);
  }
  std::vector<XServerFigures> xServer;
  for (const auto& [index, starts] : plan.xServerRuns) {
    const auto planned = std::find(plan.demonstrations.begin(), plan.demonstrations.end(), index);
    const bench::Nominal nominal =
        planned != plan.demonstrations.end()
            ? nominals[static_cast<std::size_t>(planned - plan.demonstrations.begin())]
            : bench::NominalWaits({index}).front();
    XServerFigures figures{index, {}};
    for (int run = 0; run < starts; ++run) {
      progress("kepler-laws playing Command1(" + std::to_string(index) + ") on Xvfb, start " +
               std::to_string(run + 1) + " of " + std::to_string(starts));
      // Nearly every wait puts the main thread to sleep; a missed click puts it to sleep once.
      const QPoint centre = buttonCentres[static_cast<std::size_t>(index)];
      figures.runs.push_back(bench::MeasureOnXServer(program, index, centre.x(), centre.y(),
                                                     nominal.totalMs, nominal.waits / 2));
    }
    xServer.push_back(std::move(figures));
  }
  const double benchRss = bench::KibToMegabytes(bench::PeakRssKib());

  std::printf("kepler-bench on %s, %ld CPUs, Qt %s offscreen, %s build%s\n", cpuModel().c_str(),
              sysconf(_SC_NPROCESSORS_ONLN), qVersion(), KEPLER_BENCH_BUILD_TYPE,
              KEPLER_BENCH_SANITIZED ? " with sanitizers (figures not representative)" : "");
  std::printf("load average (1 min) %s before the runs, %s after\n", loadBefore.c_str(),
              loadAverage().c_str());
  printDemonstrations(plan.demonstrations, nominals, runs);
  if (!plan.waits.empty()) printWaits(plan.waits, waits);
  if (!xServer.empty()) printXServer(xServer);
  if (plan.startups > 0) printStartups(startups, plan.startups);
  if (plan.startups == 0) std::printf("\nMemory\n");
  long xServerRss = 0;
  for (const XServerFigures& f : xServer) {
    for (const bench::XServerRun& run : f.runs) xServerRss = std::max(xServerRss, run.peakRssKib);
  }
  if (xServerRss > 0) {
    const double rss = bench::KibToMegabytes(xServerRss);
    std::printf("  peak RSS kepler-laws playing on Xvfb: %.1f MB   target <= %.0f MB  %s\n", rss,
                kPeakRssTarget, mark(rss <= kPeakRssTarget));
  }
  std::printf(
      "  peak RSS kepler-bench after all runs (up to three windows): %.1f MB   "
      "target <= %.0f MB  %s\n",
      benchRss, kPeakRssTarget, mark(benchRss <= kPeakRssTarget));
  return runs.size() == plan.demonstrations.size() ? 0 : 1;
}
