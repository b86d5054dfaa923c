#pragma once
// A real clock's reading kept on the schedule that a program's own waits define. A wait ends on
// a timer, which wakes up late; the frame drawn after it takes time too. Measured from its own
// start, each wait would add that lateness up. Here, a wait that reached its deadline leaves the
// reading at that deadline for as long as the real reading is at most kSlack past it: the next
// wait, starting meanwhile, starts at the previous deadline and absorbs the lateness. Past the
// slack (a stall: the demonstration is then paced from where it is), once the next wait begins
// to sleep, or after leave(), the reading is the real one again. The reading never goes back.
// Platform-free; the browser's clock uses it.

#include <cstdint>

#include "forms/clock.h"

namespace forms {

class ScheduledReading {
 public:
  static constexpr std::int32_t kSlack = 34;  // [ms] two display frames at 60 Hz

  // The reading to give when the real clock reads `real`.
  std::int32_t read(std::int32_t real) {
    if (on_) {
      const std::int32_t late = ClockDifference(real, deadline_);
      if (late >= 0 && late <= kSlack) return read_ = deadline_;
      on_ = false;
    }
    return read_ = real;
  }

  // The real reading from now on: a wait begins to sleep, or a click runs (it is no part of the
  // schedule).
  void leave() { on_ = false; }

  // A wait asked to reach `deadline` ended with the real clock at `real`.
  void reached(std::int32_t deadline, std::int32_t real) {
    const std::int32_t late = ClockDifference(real, deadline);
    if (late < 0 || late > kSlack || ClockDifference(deadline, read_) < 0) return;
    on_ = true;
    deadline_ = deadline;
  }

 private:
  bool on_ = false;
  std::int32_t deadline_ = 0;  // the deadline the latest wait reached [ms]
  std::int32_t read_ = 0;      // the latest reading given [ms]
};

}  // namespace forms
