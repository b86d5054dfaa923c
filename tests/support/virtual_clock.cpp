#include "virtual_clock.h"

#include <QCoreApplication>

namespace testing_support {

void VirtualClock::after(std::uint32_t delay, std::function<void()> action) {
  actions_.emplace(time_ + delay, std::move(action));
}

void VirtualClock::pumpEvents(std::int32_t deadline) {
  ++pumps_;
  deadline_ = deadline;
  if (onPump) onPump();
  QCoreApplication::processEvents();
  const std::int32_t remaining = forms::ClockDifference(deadline, now());
  const std::uint64_t target = time_ + static_cast<std::uint64_t>(remaining > 0 ? remaining : 0);
  if (!actions_.empty() && actions_.begin()->first <= target) {
    auto next = actions_.begin();
    if (next->first > time_) time_ = next->first;
    auto action = std::move(next->second);
    actions_.erase(next);
    action();
  } else {
    time_ = target;
  }
  QCoreApplication::processEvents();
}

void VirtualClock::runPending() {
  while (!actions_.empty()) {
    auto next = actions_.begin();
    if (next->first > time_) time_ = next->first;
    auto action = std::move(next->second);
    actions_.erase(next);
    action();
    QCoreApplication::processEvents();
  }
}

}  // namespace testing_support
