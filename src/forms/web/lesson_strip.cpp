#include "forms/web/lesson_strip.h"

#include <initializer_list>
#include <string>

#include "forms/lesson.h"
#include "forms/lesson_symbols.h"
#include "forms/web/page.h"

// The strip's script functions, in lesson_strip.js.
extern "C" {
void kepler_strip_make(const char* name, const char* keysHelp, int shown);
int kepler_strip_remembered();
int kepler_strip_button(const char* caption, const char* name);
int kepler_strip_text(const char* text, int kind);
void kepler_strip_space();
void kepler_strip_key(const char* key, int code);
void kepler_strip_update(int element, const char* text, const char* name, int enabled);
void kepler_strip_shown(int shown);
void kepler_strip_hidden(int element, int hidden);
}

namespace forms::web {
namespace {

// A key press reaches the C++ side as a click of this pseudo element: negative numbers are never
// an element's.
int KeyCode(LessonKey key) {
  return -1 - static_cast<int>(key);
}

// The keys as the page's script names them: a letter by itself or by its place (KeyP), anything
// else by its KeyboardEvent.key; "=" is "+" without Shift on many keyboards.
struct KeyName {
  const char* name;
  LessonKey key;
};
constexpr KeyName kKeys[] = {
    {"P", LessonKey::P},      {"B", LessonKey::B},
    {".", LessonKey::Period}, {"ArrowRight", LessonKey::Right},
    {"+", LessonKey::Plus},   {"=", LessonKey::Plus},
    {"-", LessonKey::Minus},  {"S", LessonKey::S},
    {"R", LessonKey::R},      {"H", LessonKey::H},
    {"A", LessonKey::A},
};

std::string Caption(const char* symbol, const char* words) {
  return std::string(symbol) + " " + words;
}

}  // namespace

LessonStrip::LessonStrip(Lesson& lesson) : lesson_(lesson) {
  PreparePage();
  const int remembered = kepler_strip_remembered();
  if (remembered >= 0) lesson_.restoreStripShown(remembered != 0);
  kepler_strip_make("授業用の操作", Lesson::KeysHelp(), lesson_.stripShown());
  const auto button = [this](const std::string& caption, const char* name, LessonAction action) {
    const int element = kepler_strip_button(caption.c_str(), name);
    SetClickHandler(element, [this, action] { lesson_.act(action); });
    return element;
  };
  pause_ = button({}, "一時停止", LessonAction::PauseOrResume);
  step_ = button(Caption(kStepSymbol, "コマ送り"), "コマ送り", LessonAction::Step);
  kepler_strip_space();
  kepler_strip_text("速さ", 0);
  button("－", "遅く", LessonAction::Slower);
  rate_ = kepler_strip_text("", 0);
  button("＋", "速く", LessonAction::Faster);
  kepler_strip_space();
  button(Caption(kStopSymbol, "停止"), "停止", LessonAction::Stop);
  button(Caption(kReplaySymbol, "もう一度"), "もう一度", LessonAction::Replay);
  kepler_strip_space();
  sectors_ = button({}, "面積速度", LessonAction::ToggleSectors);
  sectorCount_ = button({}, "12等分", LessonAction::NextSectorCount);
  area_ = kepler_strip_text("", 2);
  state_ = kepler_strip_text("", 1);
  button(Caption(kHideSymbol, "隠す"), "隠す", LessonAction::ToggleStrip);
  for (const KeyName& key : kKeys) {
    kepler_strip_key(key.name, KeyCode(key.key));
    SetClickHandler(KeyCode(key.key), [this, key = key.key] {
      if (const auto action = lesson_.actionOf(key)) lesson_.act(*action);
    });
  }
  lesson_.changed = [this] { refresh(); };
  lesson_.areaChanged = [this] {
    kepler_strip_update(area_, lesson_.areaText().c_str(), nullptr, 1);
  };
  refresh();
}

LessonStrip::~LessonStrip() {
  lesson_.changed = nullptr;
  lesson_.areaChanged = nullptr;
}

void LessonStrip::refresh() {
  const bool paused = lesson_.paused();
  kepler_strip_update(pause_, lesson_.pauseCaption().c_str(), paused ? "再開" : "一時停止", 1);
  kepler_strip_update(step_, nullptr, nullptr, paused);
  kepler_strip_update(rate_, Lesson::RateText(lesson_.rateIndex()).c_str(), nullptr, 1);
  kepler_strip_update(state_, lesson_.stateText().c_str(), nullptr, 1);
  kepler_strip_update(sectors_, lesson_.sectorsCaption().c_str(), nullptr, 1);
  kepler_strip_update(sectorCount_, lesson_.sectorCountCaption().c_str(),
                      lesson_.sectorCountCaption().c_str(), 1);
  // While the sectors show, their areas take the state's place; the buttons show the state.
  kepler_strip_hidden(area_, !lesson_.sectorsShown());
  kepler_strip_hidden(state_, lesson_.sectorsShown());
  kepler_strip_shown(lesson_.stripShown());
}

}  // namespace forms::web
