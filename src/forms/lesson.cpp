#include "forms/lesson.h"

#include <iterator>
#include <utility>

#include "forms/lesson_symbols.h"
#include "forms/trace.h"

namespace forms {
namespace {

// The rates as the trace writes them, and as the strip shows them.
constexpr const char* kRateNumbers[kLessonRateCount] = {"0.1", "0.25", "0.5", "1", "2"};
constexpr const char* kRateTexts[kLessonRateCount] = {"×1/10", "×1/4", "×1/2", "×1", "×2"};
constexpr int kSectorCounts[] = {6, 8, 12, 24};

}  // namespace

Lesson::Lesson(LessonClock& clock) : clock_(clock) {}

void Lesson::trace(const std::string& what) const {
  traceLine("Lesson " + what);
}

void Lesson::setRateIndex(int index) {
  if (index < 0 || index >= kLessonRateCount || index == clock_.rateIndex()) return;
  clock_.setRateIndex(index);
  trace(std::string("Rate ") + kRateNumbers[index]);
  if (changed) changed();
}

void Lesson::act(LessonAction action) {
  switch (action) {
    case LessonAction::PauseOrResume:
      clock_.setPaused(!clock_.paused());
      trace(clock_.paused() ? "Pause" : "Resume");
      break;
    case LessonAction::Step:
      if (!clock_.step()) return;
      trace("Step");
      break;
    case LessonAction::Slower:
      setRateIndex(clock_.rateIndex() - 1);
      return;
    case LessonAction::Faster:
      setRateIndex(clock_.rateIndex() + 1);
      return;
    case LessonAction::Stop:
      trace("Stop");
      if (stopDemonstrations) stopDemonstrations();
      break;
    case LessonAction::Replay:
      trace("Replay");
      // A replay plays: it does not start a demonstration that stands still.
      if (clock_.paused()) {
        clock_.setPaused(false);
        trace("Resume");
      }
      if (replayDemonstration) replayDemonstration();
      break;
    case LessonAction::ToggleStrip:
      stripShown_ = !stripShown_;
      trace(stripShown_ ? "Strip Shown" : "Strip Hidden");
      break;
    case LessonAction::ToggleSectors:
      sectorsShown_ = !sectorsShown_;
      trace(sectorsShown_ ? "Sectors On" : "Sectors Off");
      if (sectorsChanged) sectorsChanged();
      break;
    case LessonAction::NextSectorCount:
      sectorCountIndex_ = (sectorCountIndex_ + 1) % static_cast<int>(std::size(kSectorCounts));
      trace("Sectors " + std::to_string(sectorCount()));
      if (sectorsChanged) sectorsChanged();
      break;
  }
  if (changed) changed();
}

int Lesson::sectorCount() const {
  return kSectorCounts[sectorCountIndex_];
}

void Lesson::setAreaText(std::string text) {
  if (text == areaText_) return;
  areaText_ = std::move(text);
  if (areaChanged) areaChanged();
}

std::optional<LessonAction> Lesson::actionOf(LessonKey key) const {
  switch (key) {
    case LessonKey::P:
    case LessonKey::B:
    case LessonKey::Period:
      return LessonAction::PauseOrResume;
    case LessonKey::Right:
      if (clock_.paused()) return LessonAction::Step;
      return std::nullopt;
    case LessonKey::Plus:
      return LessonAction::Faster;
    case LessonKey::Minus:
      return LessonAction::Slower;
    case LessonKey::S:
      return LessonAction::Stop;
    case LessonKey::R:
      return LessonAction::Replay;
    case LessonKey::H:
      return LessonAction::ToggleStrip;
    case LessonKey::A:
      return LessonAction::ToggleSectors;
  }
  return std::nullopt;
}

std::string Lesson::RateText(int index) {
  return index >= 0 && index < kLessonRateCount ? kRateTexts[index] : "";
}

std::string Lesson::stateText() const {
  return std::string(clock_.paused() ? "一時停止中" : "再生中") + "　" +
         RateText(clock_.rateIndex());
}

std::string Lesson::pauseCaption() const {
  return clock_.paused() ? std::string(kPlaySymbol) + " 再開"
                         : std::string(kPauseSymbol) + " 一時停止";
}

std::string Lesson::sectorsCaption() const {
  return std::string(sectorsShown_ ? "●" : "○") + " 面積速度";
}

std::string Lesson::sectorCountCaption() const {
  return std::to_string(sectorCount()) + "等分";
}

const char* Lesson::KeysHelp() {
  return "P・B・. 一時停止／再開　→ コマ送り（一時停止中）　＋／－ 速さ　S 停止　R もう一度　"
         "A 面積速度（等しい時間に掃く面積）　H この帯を隠す／出す　PageDown／PageUp "
         "次／前のボタン";
}

}  // namespace forms
