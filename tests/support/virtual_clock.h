#pragma once
// A clock for tests: time stands still until a wait lets it pass, and then jumps straight to the
// wait's deadline or to the next scheduled action, whichever comes first. Pending events are
// handled at every pump, so clicks posted by actions run nested inside the wait, as in the
// program, and a 45-second demonstration runs in a fraction of a second.

#include <cstdint>
#include <functional>
#include <map>

#include "forms/clock.h"

namespace testing_support {

class VirtualClock final : public forms::Clock {
 public:
  explicit VirtualClock(std::uint32_t start = 1000) : time_(start) {}

  std::int32_t now() override {
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(time_));
  }
  void pumpEvents(std::int32_t deadline) override;

  // Runs `action` once virtual time reaches `delay` ms from now, inside whichever wait gets there.
  void after(std::uint32_t delay, std::function<void()> action);
  // Called at every pump before time moves: a place to look at the window at each wait.
  std::function<void()> onPump;
  // The deadline of the pump under way.
  std::int32_t deadline() const { return deadline_; }

  std::uint64_t elapsed() const { return time_ - start_; }
  int pumps() const { return pumps_; }
  // Runs every remaining action, letting time jump between them, outside any wait.
  void runPending();

 private:
  std::uint64_t time_;  // never wraps; the reading does
  std::uint64_t start_ = time_;
  std::multimap<std::uint64_t, std::function<void()>> actions_;
  int pumps_ = 0;
  std::int32_t deadline_ = 0;
};

}  // namespace testing_support
