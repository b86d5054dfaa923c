#pragma once
// The browser's event model. The page's script only queues clicks; they run here, on the C++
// side: in the event loop while no handler runs, and inside WebClock::pumpEvents, nested, when a
// handler waits, exactly where the desktop's processEvents runs them. One Asyncify sleep is in
// flight at any time. The browser program's main() shows the window and calls RunEventLoop().

#include <cstdint>

#include "forms/clock.h"

namespace forms::web {

// The millisecond clock of the page: performance.now() as a wrapping 32-bit count. With
// ?clock=virtual in the URL, time stands still until a wait lets it pass and then jumps to the
// wait's deadline after one yield to the browser, so queued clicks and painting still happen and
// a 45-second demonstration plays in a second or two.
//
// On the real clock the reading is kept on the waits' schedule (forms/scheduled_reading.h): a
// wait that starts within a display frame of the previous wait's deadline starts at that
// deadline, so a late wake-up or a frame's drawing is absorbed instead of added up. A click runs
// on the real reading.
class WebClock final : public Clock {
 public:
  WebClock();
  std::int32_t now() override;
  // Copies the drawing to the screen, runs every queued click; if there was none, yields to the
  // browser until the next click or until the clock reads `deadline`, then runs what arrived.
  void pumpEvents(std::int32_t deadline) override;
  bool isVirtual() const { return virtual_; }

 private:
  bool virtual_;
  std::uint32_t virtualTime_ = 1000;  // [ms]
};

// Runs clicks as they arrive, sleeping in between, until the program ends.
void RunEventLoop();

}  // namespace forms::web
