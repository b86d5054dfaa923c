#pragma once
// The desktop's clock on Qt's event loop.

#include <QBasicTimer>
#include <QObject>

#include <cstdint>

#include "forms/clock.h"

class QSocketNotifier;

namespace forms::qt {

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

}  // namespace forms::qt
