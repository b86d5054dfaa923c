#pragma once
// The teacher's controls over the demonstrations, outside the window's own layout: pause and
// resume, step one frame, the speed, stop, replay, and showing or hiding the strip that holds
// them, and the equal-time sectors of the second law with their areas. Platform-free: a backend
// draws the strip from the texts here and hands every press and key to act(); the window supplies
// stopping, replaying and the sectors. Each action that changes something is one trace line
// ("Lesson Pause", "Lesson Rate 0.25", "Lesson Sectors On", ...).

#include <functional>
#include <optional>
#include <string>

#include "forms/lesson_clock.h"

namespace forms {

enum class LessonAction {
  PauseOrResume,
  Step,
  Slower,
  Faster,
  Stop,
  Replay,
  ToggleStrip,
  ToggleSectors,
  NextSectorCount
};

// The keys the strip answers to, whatever the platform calls them.
enum class LessonKey { P, B, Period, Right, Plus, Minus, S, R, H, A };

class Lesson {
 public:
  explicit Lesson(LessonClock& clock);

  // Given by the window: end every running demonstration at its next wait; stop and then play the
  // last one started again.
  std::function<void()> stopDemonstrations;
  std::function<void()> replayDemonstration;
  // Given by the window: show or remove the sectors, or cut them anew, as the choice now stands.
  std::function<void()> sectorsChanged;
  // Called after every action, for the strip to show the new state, and after each new area text.
  std::function<void()> changed;
  std::function<void()> areaChanged;

  void act(LessonAction action);
  // The action of a key, if it has one now: the right arrow steps only while paused (otherwise it
  // moves the focus between the window's buttons, as it always did).
  std::optional<LessonAction> actionOf(LessonKey key) const;

  bool paused() const { return clock_.paused(); }
  int rateIndex() const { return clock_.rateIndex(); }
  void setRateIndex(int index);
  bool stripShown() const { return stripShown_; }
  // The remembered choice, restored at start: not an action, not traced.
  void restoreStripShown(bool shown) { stripShown_ = shown; }

  // The equal-time sectors: off until asked for; a single orbit's turn is cut into 6, 8, 12 or 24.
  bool sectorsShown() const { return sectorsShown_; }
  int sectorCount() const;
  // The areas' read-out, given by the window ("面積 8.33 % ／ 前 8.33 %"), empty while none.
  void setAreaText(std::string text);
  const std::string& areaText() const { return areaText_; }

  // Texts of the strip.
  static std::string RateText(int index);  // "×1/4"
  std::string stateText() const;           // "再生中　×1", "一時停止中　×¼"
  std::string pauseCaption() const;        // "❚❚ 一時停止" or "▶ 再開"
  std::string sectorsCaption() const;      // "◔ 面積速度" with a mark while shown
  std::string sectorCountCaption() const;  // "12等分"
  static const char* KeysHelp();

 private:
  void trace(const std::string& what) const;

  LessonClock& clock_;
  bool stripShown_ = true;
  bool sectorsShown_ = false;
  int sectorCountIndex_ = 2;
  std::string areaText_;
};

}  // namespace forms
