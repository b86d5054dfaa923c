#include "jump_clock.h"

#include <QCoreApplication>

namespace bench {

std::int32_t JumpClock::now() {
  return static_cast<std::int32_t>(static_cast<std::uint32_t>(time_));
}

void JumpClock::pumpEvents(std::int32_t deadline) {
  QCoreApplication::processEvents();
  const std::int32_t remaining = forms::ClockDifference(deadline, now());
  if (remaining > 0) {
    time_ += static_cast<std::uint64_t>(remaining);
    ++waits_;
  }
}

}  // namespace bench
