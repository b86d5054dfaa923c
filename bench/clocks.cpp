#include "clocks.h"

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

void PumpTimingClock::pumpEvents(std::int32_t deadline) {
  const auto start = std::chrono::steady_clock::now();
  inner_.pumpEvents(deadline);
  inside_ += std::chrono::steady_clock::now() - start;
}

double PumpTimingClock::insideMs() const {
  return std::chrono::duration<double, std::milli>(inside_).count();
}

std::int32_t PollingClock::now() {
  const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(
      std::chrono::steady_clock::now().time_since_epoch());
  // Wrapped to 32 bits and read as signed.
  return static_cast<std::int32_t>(static_cast<std::uint32_t>(ms.count()));
}

void PollingClock::pumpEvents(std::int32_t) {
  QCoreApplication::processEvents(QEventLoop::AllEvents);
}

}  // namespace bench
