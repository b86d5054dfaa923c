#include "children.h"

#include <algorithm>
#include <cctype>
#include <chrono>
#include <system_error>

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
constexpr auto kClickLimit = seconds(15);
constexpr auto kReturnMargin = seconds(60);

bool contains(std::string_view line, std::string_view part) {
  return line.find(part) != std::string_view::npos;
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
                                {{"QT_QPA_PLATFORM", "offscreen"},
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

PlayingChild MeasurePlayingChild(const ProgramFiles& program, int index, int x, int y,
                                 std::int64_t nominalMs) {
  PlayingChild result;
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

    const std::string button = "Command1(" + std::to_string(index) + ")";
    ChildProcess app(
        Launch{{program.binary},
               {{"DISPLAY", display},
                {"QT_QPA_PLATFORM", "xcb"},
                {"QT_LOGGING_RULES", std::string("kepler.forms.debug=true;") + kPaintingLog},
                {"QT_MESSAGE_PATTERN", kMessagePattern}},
               program.assetDir});
    if (!app.waitForLine([](std::string_view line) { return contains(line, kFirstFrameLine); },
                         steady_clock::now() + kStartLimit)) {
      result.note = "kepler-laws showed no frame on Xvfb";
      return result;
    }
    ChildProcess click(
        Launch{{"xdotool", "search", "--sync", "--onlyvisible", "--name", "^Form1$", "mousemove",
                "--window", "%1", std::to_string(x), std::to_string(y), "click", "1"},
               {{"DISPLAY", display}},
               {},
               true});
    if (click.waitForExit(steady_clock::now() + kClickLimit) != 0) {
      result.note = "xdotool could not click the button";
      return result;
    }
    const auto clicked = [&](std::string_view line) {
      return contains(line, "Form1 Click " + button);
    };
    if (!app.waitForLine(clicked, steady_clock::now() + kClickLimit)) {
      result.note = "the click did not reach " + button;
      return result;
    }
    const auto returned = [&](std::string_view line) {
      return contains(line, "Form1 Return " + button);
    };
    if (!app.waitForLine(returned, steady_clock::now() + milliseconds(nominalMs) + kReturnMargin)) {
      result.note = button + " did not return";
      return result;
    }
    const rusage usage = app.end();
    result.measured = true;
    result.peakRssKib = usage.ru_maxrss;
    result.note = "kepler-laws on Xvfb (xcb), " + button + " played to its return";
  } catch (const std::system_error& error) {
    result.note = std::string("not measured: ") + error.what();
  }
  return result;
}

}  // namespace bench
