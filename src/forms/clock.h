#pragma once
// The millisecond clock the pacing wait reads, and how it lets time pass: a wrapping 32-bit count
// read as signed, like the system's timeGetTime. Platform-free interface; the desktop's steady
// clock lives in the Qt backend, the browser's in the web backend; tests use a virtual clock that
// jumps to the next deadline, so a long demonstration runs at once.

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

}  // namespace forms
