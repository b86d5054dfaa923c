#pragma once
// The millisecond clock the pacing wait reads, and how it lets time pass: a wrapping 32-bit
// count read as signed, like the system's timeGetTime. The program uses the steady clock; tests
// use a virtual clock that jumps to the next deadline, so a long demonstration runs at once.

#include <QBasicTimer>
#include <QObject>

class QSocketNotifier;

#include <cstdint>

namespace forms {

class Clock {
 public:
  virtual ~Clock() = default;
  // Milliseconds, wrapping modulo 2^32, read as a signed 32-bit value.
  virtual std::int32_t now() = 0;
  // Handles every pending event (clicks run their handlers here, nested); if there was none,
  // lets time pass until an event arrives or the clock reads `deadline`, then handles it.
  virtual void pumpEvents(std::int32_t deadline) = 0;
};

// Signed distance from reading `from` to reading `to`, taken modulo 2^32 so that it stays exact
// across both wraps of the counter.
constexpr std::int32_t ClockDifference(std::int32_t to, std::int32_t from) {
  return static_cast<std::int32_t>(static_cast<std::uint32_t>(to) -
                                   static_cast<std::uint32_t>(from));
}

// The program's clock: the monotonic system clock. Waiting blocks in the event loop until an
// event arrives or the clock's reading reaches the deadline, so a wait costs no processor time.
// The wake-up is armed at the very nanosecond the reading turns over to the deadline, as a poll
// of the millisecond count would see it: on Linux a timerfd, elsewhere a precise Qt timer.
class SteadyClock final : public Clock, private QObject {
 public:
  SteadyClock();
  ~SteadyClock() override;
  std::int32_t now() override;
  void pumpEvents(std::int32_t deadline) override;

 private:
  void timerEvent(QTimerEvent* event) override;
  void armAt(std::int64_t wakeNanoseconds, std::int32_t remaining);
  QBasicTimer wake_;
  int timerFd_ = -1;
  std::int64_t armedAt_ = -1;  // the turnover the timerfd is set to fire at [ns]; -1 none
  QSocketNotifier* notifier_ = nullptr;
};

// The old runtime's wait: polls the clock and pumps events without ever sleeping. Kept for the
// benchmark's comparison only.
class PollingClock final : public Clock {
 public:
  std::int32_t now() override;
  void pumpEvents(std::int32_t deadline) override;
};

}  // namespace forms
