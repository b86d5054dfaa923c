#include "children.h"

#include <algorithm>
#include <cctype>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <string>
#include <system_error>
#include <thread>

#include "child_process.h"
#include "measure.h"

namespace bench {
namespace {

using std::chrono::milliseconds;
using std::chrono::seconds;
using std::chrono::steady_clock;

// Qt's widget painting log writes this line when the repaint manager flushes the top-level window
// to its backing store: the first one marks the window's first complete frame. The program's own
// trace has no such line, and turning the log on changes nothing in the program.
constexpr std::string_view kFirstFrameLine = "Flushing top level";
constexpr const char* kPaintingLog = "qt.widgets.painting.info=true";
// A pattern that keeps the message text whatever the user's QT_MESSAGE_PATTERN says.
constexpr const char* kMessagePattern = "%{category}: %{message}";

constexpr auto kStartLimit = seconds(30);
constexpr auto kDisplayLimit = seconds(10);

bool contains(std::string_view line, std::string_view part) {
  return line.find(part) != std::string_view::npos;
}

struct ThreadTimes {
  double cpuMs = 0;           // processor time of every thread of the process [ms]
  long mainThreadSleeps = 0;  // voluntary context switches of its main thread
};

// From /proc: each thread's run time in nanoseconds (schedstat), and the main thread's voluntary
// context switches, which count how often it went to sleep.
ThreadTimes ReadThreadTimes(pid_t pid) {
  ThreadTimes times;
  const std::string base = "/proc/" + std::to_string(pid);
  std::error_code error;
  for (const auto& task : std::filesystem::directory_iterator(base + "/task", error)) {
    std::ifstream schedstat(task.path() / "schedstat");
    long long nanoseconds = 0;
    if (schedstat >> nanoseconds) times.cpuMs += static_cast<double>(nanoseconds) / 1e6;
  }
  std::ifstream status(base + "/status");
  std::string line;
  while (std::getline(status, line)) {
    if (line.rfind("voluntary_ctxt_switches:", 0) == 0) {
      times.mainThreadSleeps = std::stol(line.substr(line.find(':') + 1));
    }
  }
  return times;
}

bool isDisplayNumber(std::string_view line) {
  return !line.empty() && std::all_of(line.begin(), line.end(), [](char c) {
    return std::isdigit(static_cast<unsigned char>(c)) != 0;
  });
}

}  // namespace

StartupRuns MeasureStartups(const ProgramFiles& program, int count) {
  StartupRuns runs;
  for (int i = 0; i < count; ++i) {
    try {
      ChildProcess child(Launch{{program.binary},
                                {{"QT_QPA_PLATFORM", program.offscreenPlatform},
                                 {"QT_LOGGING_RULES", kPaintingLog},
                                 {"QT_MESSAGE_PATTERN", kMessagePattern}},
                                program.assetDir});
      SteadyTime shownAt;
      const bool shown =
          child.waitForLine([](std::string_view line) { return contains(line, kFirstFrameLine); },
                            steady_clock::now() + kStartLimit, nullptr, &shownAt);
      const rusage usage = child.end();
      if (!shown) {
        runs.note = "a run showed no frame within 30 s";
        continue;
      }
      runs.firstFrameMs.push_back(MillisecondsBetween(child.started(), shownAt));
      runs.peakRssKib.push_back(usage.ru_maxrss);
    } catch (const std::system_error& error) {
      runs.note = error.what();
      break;
    }
  }
  return runs;
}

XServerRun MeasureOnXServer(const ProgramFiles& program, int index, int x, int y,
                            std::int64_t spanMs, int minimumSleeps) {
  XServerRun result;
  try {
    // -displayfd 1 makes Xvfb pick a free display and print its number once it accepts clients.
    ChildProcess server(
        Launch{{"Xvfb", "-displayfd", "1", "-nolisten", "tcp", "-screen", "0", "1280x800x24"},
               {},
               {},
               true});
    std::string number;
    if (!server.waitForLine(isDisplayNumber, steady_clock::now() + kDisplayLimit, &number)) {
      result.note = "Xvfb gave no display number";
      return result;
    }
    const std::string display = ":" + number;

    ChildProcess app(Launch{{program.binary},
                            {{"DISPLAY", display},
                             {"QT_QPA_PLATFORM", "xcb"},
                             {"QT_LOGGING_RULES", "kepler.forms.debug=false"}},
                            program.assetDir});
    const std::string button = "Command1(" + std::to_string(index) + ")";
    ChildProcess click(
        Launch{{"xdotool", "search", "--sync", "--onlyvisible", "--name", "^Form1$", "sleep", "1",
                "mousemove", "--window", "%1", std::to_string(x), std::to_string(y), "click", "1"},
               {{"DISPLAY", display}},
               {},
               true});
    if (click.waitForExit(steady_clock::now() + kStartLimit) != 0) {
      result.note = "xdotool could not click " + button;
      return result;
    }
    const ThreadTimes before = ReadThreadTimes(app.pid());
    const SteadyTime from = steady_clock::now();
    std::this_thread::sleep_for(milliseconds(spanMs));
    const ThreadTimes after = ReadThreadTimes(app.pid());
    const double wallMs = MillisecondsBetween(from, steady_clock::now());
    const rusage usage = app.end();
    result.sleeps = after.mainThreadSleeps - before.mainThreadSleeps;
    if (result.sleeps < minimumSleeps) {
      result.note =
          button + " did not play: the program slept " + std::to_string(result.sleeps) + " times";
      return result;
    }
    result.cpuPercent = 100.0 * (after.cpuMs - before.cpuMs) / wallMs;
    result.peakRssKib = usage.ru_maxrss;
    result.measured = true;
  } catch (const std::system_error& error) {
    result.note = std::string("not measured: ") + error.what();
  }
  return result;
}

}  // namespace bench
