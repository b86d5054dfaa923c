#pragma once
// A clock that lets no real time pass: every wait jumps the reading straight to its deadline. A
// demonstration played on it ends at once, and the time it has advanced by is the nominal total of
// the waits that demonstration asks for. It measures nothing real.

#include <cstdint>

#include "forms/clock.h"

namespace bench {

class JumpClock final : public forms::Clock {
 public:
  std::int32_t now() override;
  // Handles the pending events, then moves the reading to `deadline`.
  void pumpEvents(std::int32_t deadline) override;

  // Time passed since construction [ms]: the sum of the waits so far.
  std::int64_t elapsedMs() const { return static_cast<std::int64_t>(time_ - kStart); }
  // Waits that let time pass; each pumps exactly once, since its deadline is reached at once.
  int waits() const { return waits_; }

 private:
  static constexpr std::uint64_t kStart = 1000;  // [ms]
  std::uint64_t time_ = kStart;                  // [ms], never wraps; the reading does
  int waits_ = 0;
};

}  // namespace bench
