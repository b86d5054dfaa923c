#pragma once
// The figures taken from the real kepler-laws binary run as a child process, unchanged: the time
// from its start to its window's first frame, and its peak memory, idle and playing a
// demonstration. Prints nothing; a figure that could not be taken comes back with a note.

#include <cstdint>
#include <string>
#include <vector>

namespace bench {

struct ProgramFiles {
  std::string binary;    // the kepler-laws executable
  std::string assetDir;  // its working directory: the pictures and data files
};

struct StartupRuns {
  std::vector<double> firstFrameMs;  // start to first frame, one per run [ms]
  std::vector<long> peakRssKib;      // each child's peak resident set, ended at its first frame
  std::string note;                  // why some run gave no figure; empty if all did
};

// Starts the program `count` times on the offscreen platform, one after the other.
StartupRuns MeasureStartups(const ProgramFiles& program, int count);

struct PlayingChild {
  bool measured = false;
  long peakRssKib = 0;
  std::string note;  // what was measured, or why nothing was
};

// Starts the program on a private Xvfb display, clicks Command1(index) at (x, y) in the window
// [px] with xdotool and lets the demonstration play to its return; the child's peak resident set
// comes from wait4. Needs Xvfb and xdotool in PATH.
PlayingChild MeasurePlayingChild(const ProgramFiles& program, int index, int x, int y,
                                 std::int64_t nominalMs);

}  // namespace bench
