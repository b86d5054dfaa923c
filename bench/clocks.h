#pragma once
// The clocks the benchmark plays demonstrations on besides the program's own. JumpClock lets no
// real time pass and so yields a demonstration's nominal wait total; PumpTimingClock passes
// everything to a real clock and only sums the time spent inside its pumps; PollingClock waits as
// the old runtime did, for the comparison of the waits' cost.

#include <chrono>
#include <cstdint>

#include "forms/clock.h"

namespace bench {

// Every wait jumps the reading straight to its deadline, so a demonstration played on it ends at
// once, and the time it has advanced by is the sum of the waits that demonstration asks for.
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

// Reads and pumps through `inner` and adds up the wall time spent in its pumps: waiting, and the
// repaints and clicks handled there. What a demonstration spends outside the pumps is its frames'
// own work. Costs two steady-clock reads per pump (well under a microsecond).
class PumpTimingClock final : public forms::Clock {
 public:
  explicit PumpTimingClock(forms::Clock& inner) : inner_(inner) {}
  std::int32_t now() override { return inner_.now(); }
  void pumpEvents(std::int32_t deadline) override;

  // Wall time spent inside pumpEvents so far [ms].
  double insideMs() const;

 private:
  forms::Clock& inner_;
  std::chrono::steady_clock::duration inside_{};
};

// The old runtime's wait: reads the monotonic clock's millisecond count, as the program's clock
// does, and pumps events without ever sleeping.
class PollingClock final : public forms::Clock {
 public:
  std::int32_t now() override;
  void pumpEvents(std::int32_t deadline) override;
};

}  // namespace bench
