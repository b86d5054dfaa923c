#include "forms/lesson_clock.h"

namespace forms {
namespace {

// Lesson ticks per platform millisecond at the rate of `index`.
std::int64_t TicksPerMs(int index) {
  const LessonRate rate = kLessonRates[index];
  return 20 * rate.numerator / rate.denominator;
}

std::int64_t FloorDiv(std::int64_t a, std::int64_t b) {
  return a / b - (a % b != 0 && (a < 0) != (b < 0));
}

std::int32_t Wrapped(std::int64_t milliseconds) {
  return static_cast<std::int32_t>(static_cast<std::uint32_t>(milliseconds));
}

std::int32_t Later(std::int32_t reading, std::int32_t milliseconds) {
  return static_cast<std::int32_t>(static_cast<std::uint32_t>(reading) +
                                   static_cast<std::uint32_t>(milliseconds));
}

// Removes the innermost deadline however its pump ends.
class DeadlineScope {
 public:
  DeadlineScope(std::vector<std::int32_t>& deadlines, std::int32_t deadline)
      : deadlines_(deadlines) {
    deadlines_.push_back(deadline);
  }
  ~DeadlineScope() { deadlines_.pop_back(); }
  DeadlineScope(const DeadlineScope&) = delete;
  DeadlineScope& operator=(const DeadlineScope&) = delete;

 private:
  std::vector<std::int32_t>& deadlines_;
};

}  // namespace

LessonClock::LessonClock(Clock& platform) : platform_(platform) {}

std::int64_t LessonClock::exact(std::int32_t platformNow) const {
  if (paused_) return anchorLesson_;
  return anchorLesson_ +
         std::int64_t{ClockDifference(platformNow, anchorPlatform_)} * TicksPerMs(rateIndex_);
}

void LessonClock::rebase() {
  const std::int32_t platformNow = platform_.now();
  anchorLesson_ = following_ ? std::int64_t{platformNow} * kTicksPerMs : exact(platformNow);
  anchorPlatform_ = platformNow;
  following_ = false;
}

std::int32_t LessonClock::now() {
  if (following_) return platform_.now();
  const std::int32_t platformNow = platform_.now();
  // A lesson played for weeks without a change: keep the platform difference far from its wrap.
  if (ClockDifference(platformNow, anchorPlatform_) > (1 << 30)) rebase();
  return Wrapped(FloorDiv(exact(platformNow), kTicksPerMs));
}

void LessonClock::pumpEvents(std::int32_t deadline) {
  // Untouched, the wait is the platform's own: nothing to convert, and nothing to step, since a
  // step needs a pause, which ends following.
  if (following_) {
    platform_.pumpEvents(deadline);
    return;
  }
  const DeadlineScope scope(deadlines_, deadline);
  const std::int32_t platformNow = platform_.now();
  if (paused_) {
    platform_.pumpEvents(Later(platformNow, kPausedPoll));
    return;
  }
  const std::int64_t lesson = exact(platformNow);
  const std::int64_t whole = FloorDiv(lesson, kTicksPerMs);
  const std::int64_t remaining =
      (whole + ClockDifference(deadline, Wrapped(whole))) * kTicksPerMs - lesson;  // [ticks]
  // The first platform millisecond at which lesson time has reached the deadline.
  const std::int64_t perMs = TicksPerMs(rateIndex_);
  const std::int64_t sleep = remaining <= 0 ? 0 : (remaining + perMs - 1) / perMs;
  platform_.pumpEvents(Later(platformNow, static_cast<std::int32_t>(sleep)));
}

void LessonClock::setPaused(bool paused) {
  if (paused == paused_) return;
  rebase();
  paused_ = paused;
}

void LessonClock::setRateIndex(int index) {
  if (index < 0 || index >= kLessonRateCount || index == rateIndex_) return;
  rebase();
  rateIndex_ = index;
}

bool LessonClock::step() {
  if (!paused_ || deadlines_.empty()) return false;
  const std::int64_t whole = FloorDiv(anchorLesson_, kTicksPerMs);
  const std::int64_t target =
      (whole + ClockDifference(deadlines_.back(), Wrapped(whole))) * kTicksPerMs;
  if (target > anchorLesson_) anchorLesson_ = target;
  return true;
}

}  // namespace forms
