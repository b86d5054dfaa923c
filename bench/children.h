#pragma once
// The figures taken from the real kepler-laws binary run as a child process, unchanged: the time
// from its start to its window's first frame, and its peak memory, idle and playing a
// demonstration. Prints nothing; a figure that could not be taken comes back with a note.

#include <cstdint>
#include <string>
#include <vector>

namespace bench {

struct ProgramFiles {
  std::string binary;             // the kepler-laws executable
  std::string assetDir;           // its working directory: the pictures and data files
  std::string offscreenPlatform;  // QT_QPA_PLATFORM for its offscreen starts
};

struct StartupRuns {
  std::vector<double> firstFrameMs;  // start to first frame, one per run [ms]
  std::vector<long> peakRssKib;      // each child's peak resident set, ended at its first frame
  std::string note;                  // why some run gave no figure; empty if all did
};

// Starts the program `count` times on the offscreen platform, one after the other.
StartupRuns MeasureStartups(const ProgramFiles& program, int count);

struct XServerRun {
  bool measured = false;
  double cpuPercent = 0;  // the program's processor time over the span, all threads [%]
  long sleeps = 0;        // times the program's main thread went to sleep over the span
  long peakRssKib = 0;    // the program's peak resident set at the end of the span
  std::string note;       // why nothing was measured
};

// Starts a private Xvfb (1280 x 800) and the program on it as a user runs it (xcb, trace off),
// clicks Command1(index) at (x, y) in the window [px] with xdotool, and takes the program's
// processor time over the `spanMs` that follow, the demonstration's nominal wait total. A click
// that missed would leave the program asleep: the run counts only if its main thread went to
// sleep and woke at least `minimumSleeps` times. Needs Xvfb and xdotool in PATH.
XServerRun MeasureOnXServer(const ProgramFiles& program, int index, int x, int y,
                            std::int64_t spanMs, int minimumSleeps);

}  // namespace bench
