#pragma once
// Reads an animation's frames off the window itself: at the first pump of every wait the virtual
// clock lets the log look at the controls, and it keeps the wait's length and what the window
// shows meanwhile. The orbit animations wait first and then show their frame, so a frame's own
// state is what the window shows at the next wait of the same run (or after the run).

#include <QString>

#include <vector>

#include "forms/clock.h"
#include "virtual_clock.h"
#include "window/form1.h"

namespace testing_support {

struct Shown {
  QString readOut;  // Label11
  float left = 0;   // Image1
  float top = 0;
};

struct WaitSample {
  int wait = 0;   // [ms]
  int depth = 0;  // scenario nesting: 1 for the clicked demonstration, 2 inside its wait, ...
  Shown shown;    // while the wait lasts
};

struct TracedFrame {
  int wait = 0;
  int depth = 0;
  Shown after;  // once the frame has been shown
};

class FrameLog {
 public:
  FrameLog(VirtualClock& clock, const Form1& form) : clock_(clock), form_(form) {
    clock_.onPump = [this] {
      if (clock_.now() != form_.WaitStartTime) return;  // a later pump of the same wait
      samples_.push_back({forms::ClockDifference(clock_.deadline(), form_.WaitStartTime),
                          form_.scenarioDepth(), shownNow()});
    };
  }
  ~FrameLog() { clock_.onPump = nullptr; }
  FrameLog(const FrameLog&) = delete;
  FrameLog& operator=(const FrameLog&) = delete;

  const std::vector<WaitSample>& samples() const { return samples_; }

  // Every wait with what the next wait of the same or an outer run shows, or the window now.
  std::vector<TracedFrame> frames() const {
    std::vector<TracedFrame> out;
    for (std::size_t i = 0; i < samples_.size(); ++i) {
      std::size_t next = i + 1;
      while (next < samples_.size() && samples_[next].depth > samples_[i].depth) ++next;
      out.push_back({samples_[i].wait, samples_[i].depth,
                     next < samples_.size() ? samples_[next].shown : shownNow()});
    }
    return out;
  }
  // The frames of the clicked demonstration only.
  std::vector<TracedFrame> outerFrames() const {
    std::vector<TracedFrame> out;
    for (const TracedFrame& frame : frames()) {
      if (frame.depth == 1) out.push_back(frame);
    }
    return out;
  }

 private:
  Shown shownNow() const {
    return {QString::fromStdString(form_.Label11.caption()), form_.Image1.left(),
            form_.Image1.top()};
  }

  VirtualClock& clock_;
  const Form1& form_;
  std::vector<WaitSample> samples_;
};

}  // namespace testing_support
