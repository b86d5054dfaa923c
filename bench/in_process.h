#pragma once
// The figures taken inside this process on Qt's offscreen platform: the nominal wait total of a
// demonstration (played on a JumpClock), a demonstration played at real speed, and single pacing
// waits. Needs a QApplication and the asset folder as working directory; prints nothing.

#include <cstdint>
#include <vector>

#include "clocks.h"
#include "measure.h"
#include "window/form1.h"

namespace bench {

struct Nominal {
  std::int64_t totalMs = 0;  // sum of the waits the demonstration asks for [ms]
  int waits = 0;             // waits that let time pass (frames, or sub-frames of the comet)
};

// Plays each demonstration in `indices` on a window with a JumpClock, in that order.
std::vector<Nominal> NominalWaits(const std::vector<int>& indices);

struct DemonstrationRun {
  Span span;                 // from the click to the return of its handler
  double insideWaitsMs = 0;  // of span.wallMs, the time inside the waits' pumps [ms]
  bool completed = false;    // false if the window ended on the way (a run-time error)
};

// Clicks Command1(index) on a started window whose clock is `clock` and times its handler to the
// return.
DemonstrationRun PlayDemonstration(Form1& form, const PumpTimingClock& clock, int index);

struct WaitRun {
  int askedMs = 0;  // [ms]
  int repeats = 0;
  double medianOvershootMs = 0;  // measured duration - asked [ms]
  double maxOvershootMs = 0;     // [ms]
  double cpuPercent = 0;         // over the whole series [%]
};

// Calls form.WaitMilliseconds(askedMs) `repeats` times back to back, after one untimed call that
// takes the first-use costs out of the series, and times every call to the nanosecond.
WaitRun MeasureWaits(Form1& form, int askedMs, int repeats);

// Handles events for `ms` (repaints left by the previous run) so that runs do not overlap [ms].
void Settle(int ms);

}  // namespace bench
