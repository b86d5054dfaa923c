#include "forms/clock.h"

#include <QCoreApplication>
#include <QTimerEvent>

#include <chrono>

namespace forms {
namespace {

std::int32_t steadyMilliseconds() {
  const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(
                      std::chrono::steady_clock::now().time_since_epoch())
                      .count();
  return static_cast<std::int32_t>(static_cast<std::uint32_t>(ms));
}

}  // namespace

std::int32_t SteadyClock::now() {
  return steadyMilliseconds();
}

void SteadyClock::pumpEvents(std::int32_t deadline) {
  const std::int32_t remaining = ClockDifference(deadline, now());
  if (remaining <= 0) {
    QCoreApplication::processEvents(QEventLoop::AllEvents);
    return;
  }
  // The precise timer fires `remaining` ms from now, to the sub-millisecond; the coarse default
  // would wake up to several milliseconds late.
  wake_.start(remaining, Qt::PreciseTimer, this);
  QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
  wake_.stop();
}

void SteadyClock::timerEvent(QTimerEvent* event) {
  if (event->timerId() == wake_.timerId()) wake_.stop();
}

std::int32_t PollingClock::now() {
  return steadyMilliseconds();
}

void PollingClock::pumpEvents(std::int32_t) {
  QCoreApplication::processEvents(QEventLoop::AllEvents);
}

}  // namespace forms
