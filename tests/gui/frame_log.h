#pragma once
// Reads an animation's frames off the window itself: at the first pump of every wait the virtual
// clock lets the log look at the controls, and it keeps the wait's length and what the window
// shows meanwhile. The orbit animations wait first and then show their frame, so a frame's own
// state is what the window shows at the next wait of the same run (or after the run).

#include <vector>

#include "window_fixture.h"

// A wait with what the window shows: in samples, while the wait lasts; in frames, once the frame
// has been shown.
struct Frame {
  int wait = 0;     // [ms]
  int depth = 0;    // scenario nesting: 1 for the clicked demonstration, 2 inside its wait, ...
  QString readOut;  // Label11
  float left = 0;   // Image1
  float top = 0;
};

class FrameLog {
 public:
  FrameLog(testing_support::VirtualClock& clock, const Form1& form) : clock_(clock), form_(form) {
    clock_.onPump = [this] {
      if (clock_.now() != form_.WaitStartTime) return;  // a later pump of the same wait
      samples.push_back(shownNow());
      samples.back().wait = forms::ClockDifference(clock_.deadline(), form_.WaitStartTime);
    };
  }
  ~FrameLog() { clock_.onPump = nullptr; }

  // Every wait of the runs at `depth` (0: of all runs) with what the next wait of the same or an
  // outer run shows, or the window now.
  std::vector<Frame> frames(int depth = 0) const {
    std::vector<Frame> out;
    for (std::size_t i = 0; i < samples.size(); ++i) {
      std::size_t next = i + 1;
      while (next < samples.size() && samples[next].depth > samples[i].depth) ++next;
      if (depth != 0 && samples[i].depth != depth) continue;
      out.push_back(next < samples.size() ? samples[next] : shownNow());
      out.back().wait = samples[i].wait;
      out.back().depth = samples[i].depth;
    }
    return out;
  }

  std::vector<Frame> samples;

 private:
  // What the window shows now, during a wait at the current depth.
  Frame shownNow() const {
    return {0, form_.scenarioDepth(), QString::fromStdString(form_.Label11.caption()),
            form_.Image1.left(), form_.Image1.top()};
  }

  testing_support::VirtualClock& clock_;
  const Form1& form_;
};
