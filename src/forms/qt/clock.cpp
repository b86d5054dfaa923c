#include "forms/qt/clock.h"

#include <QCoreApplication>
#include <QTimerEvent>

#include <QSocketNotifier>

#include <chrono>

#ifdef __linux__
#include <sys/timerfd.h>
#include <unistd.h>
#endif

namespace forms::qt {
namespace {

std::int64_t steadyNanoseconds() {
  return std::chrono::duration_cast<std::chrono::nanoseconds>(
             std::chrono::steady_clock::now().time_since_epoch())
      .count();
}

// The millisecond count of the monotonic clock, wrapped to 32 bits and read as signed.
std::int32_t millisecondsOf(std::int64_t nanoseconds) {
  return static_cast<std::int32_t>(static_cast<std::uint32_t>(nanoseconds / 1000000));
}

}  // namespace

SteadyClock::SteadyClock() {
#ifdef __linux__
  timerFd_ = timerfd_create(CLOCK_MONOTONIC, TFD_NONBLOCK | TFD_CLOEXEC);
  if (timerFd_ >= 0) {
    notifier_ = new QSocketNotifier(static_cast<qintptr>(timerFd_), QSocketNotifier::Read, this);
    QObject::connect(notifier_, &QSocketNotifier::activated, this, [this] {
      std::uint64_t expirations = 0;
      [[maybe_unused]] const auto n = ::read(timerFd_, &expirations, sizeof expirations);
      armedAt_ = -1;
    });
  }
#endif
}

SteadyClock::~SteadyClock() {
  delete notifier_;
#ifdef __linux__
  if (timerFd_ >= 0) ::close(timerFd_);
#endif
}

std::int32_t SteadyClock::now() {
  return millisecondsOf(steadyNanoseconds());
}

void SteadyClock::pumpEvents(std::int32_t deadline) {
  const std::int64_t nanoseconds = steadyNanoseconds();
  const std::int32_t remaining = ClockDifference(deadline, millisecondsOf(nanoseconds));
  if (remaining <= 0) {
    QCoreApplication::processEvents(QEventLoop::AllEvents);
    return;
  }
  // The reading turns over to the deadline at the start of the millisecond `remaining` on from
  // the current one: up to a millisecond before `remaining` ms from now.
  const std::int64_t turnover =
      nanoseconds - nanoseconds % 1000000 + std::int64_t{remaining} * 1000000;
  armAt(turnover, remaining);
  QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
  wake_.stop();
}

void SteadyClock::armAt([[maybe_unused]] std::int64_t wakeNanoseconds, std::int32_t remaining) {
#ifdef __linux__
  if (timerFd_ >= 0) {
    // Every wake-up costs: the timerfd is set once per wait. An event that ends a pass early
    // leaves it armed for the turnover the next pass of the same wait asks for again; a timerfd
    // that has fired disarms itself; a new wait's turnover replaces the old one.
    if (armedAt_ == wakeNanoseconds) return;
    itimerspec at{};
    at.it_value.tv_sec = static_cast<time_t>(wakeNanoseconds / 1000000000);
    at.it_value.tv_nsec = static_cast<long>(wakeNanoseconds % 1000000000);
    if (timerfd_settime(timerFd_, TFD_TIMER_ABSTIME, &at, nullptr) == 0) {
      armedAt_ = wakeNanoseconds;
      return;
    }
  }
#endif
  // A precise Qt timer wakes `remaining` ms from now, to the sub-millisecond.
  wake_.start(remaining, Qt::PreciseTimer, this);
}

void SteadyClock::timerEvent(QTimerEvent* event) {
  if (event->timerId() == wake_.timerId()) wake_.stop();
}

}  // namespace forms::qt
