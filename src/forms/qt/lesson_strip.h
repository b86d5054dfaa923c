#pragma once
// The lesson strip on the desktop: a row of controls below the window's layout, scaled with it,
// and the lesson keys anywhere in the window. Hidden, the window shows the layout alone, exactly
// as without it. Whether it is shown is remembered (QSettings) from one start to the next.

#include <memory>

namespace forms {
class FormWindow;
class Lesson;
}  // namespace forms

namespace forms::qt {

class LessonStripPeer;

// Adds the strip for `lesson` below `window`'s layout and answers the keys; before the window
// is first shown, so that its opening size takes the strip in. Lives as long as the window.
class LessonStrip {
 public:
  LessonStrip(FormWindow& window, Lesson& lesson);
  ~LessonStrip();
  LessonStrip(const LessonStrip&) = delete;
  LessonStrip& operator=(const LessonStrip&) = delete;

  // The strip's height in the window's logical pixels.
  static constexpr int kHeight = 44;

 private:
  std::unique_ptr<LessonStripPeer> peer_;
};

}  // namespace forms::qt
