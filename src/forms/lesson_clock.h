#pragma once
// Lesson time: the clock the window's waits read, which a teacher can pause, step and run slower
// or faster than the platform's clock. It runs at a rate while playing and stands still while
// paused; every change rebases it, so the part of a wait already spent still counts. Until the
// first change it reads exactly what the platform's clock reads, and waits exactly as it waits.
// It knows nothing of what plays: the window's pacing wait reads it like any other clock.

#include <cstdint>
#include <vector>

#include "forms/clock.h"

namespace forms {

struct LessonRate {
  int numerator;
  int denominator;
};

// The rates a teacher can choose, slowest first; kNormalRate is 1.
inline constexpr LessonRate kLessonRates[] = {{1, 10}, {1, 4}, {1, 2}, {1, 1}, {2, 1}};
inline constexpr int kLessonRateCount = 5;
inline constexpr int kNormalRate = 3;

class LessonClock final : public Clock {
 public:
  explicit LessonClock(Clock& platform);

  // Lesson milliseconds, wrapping like the platform's reading.
  std::int32_t now() override;
  // Handles pending events and lets lesson time pass until `deadline` (a lesson reading) or an
  // event: the platform sleeps to the deadline converted at the current rate, and while paused
  // until an event comes (the clock's poll of a second at most).
  void pumpEvents(std::int32_t deadline) override;

  bool paused() const { return paused_; }
  void setPaused(bool paused);
  // An index into kLessonRates.
  int rateIndex() const { return rateIndex_; }
  void setRateIndex(int index);
  // While paused inside a wait: lesson time moves on to the deadline of the innermost wait under
  // way, so that it ends and exactly one frame plays; it stays paused. False when there is no wait
  // to end or the clock is not paused.
  bool step();
  // While paused the platform is woken this often [ms], only to look again.
  static constexpr std::int32_t kPausedPoll = 1000;

 private:
  // Lesson time is counted in ticks of 1/20 ms, so that every rate advances it by a whole number
  // of ticks per platform millisecond (2, 5, 10, 20, 40) and no rounding ever creeps in.
  static constexpr std::int64_t kTicksPerMs = 20;
  // Lesson time [ticks], not wrapped, from one platform reading.
  std::int64_t exact(std::int32_t platformNow) const;
  // Moves the anchor to the platform reading now, keeping lesson time where it is.
  void rebase();

  Clock& platform_;
  bool following_ = true;          // reads the platform's clock as it is: nothing was changed yet
  std::int64_t anchorLesson_ = 0;  // [ticks]
  std::int32_t anchorPlatform_ = 0;
  int rateIndex_ = kNormalRate;
  bool paused_ = false;
  // The waits under way since the first change, innermost last [lesson ms]: what a step ends.
  std::vector<std::int32_t> deadlines_;
};

}  // namespace forms
