#pragma once
// The lesson strip in the page: a row of controls below the window's layout, scaled with it, and
// the lesson keys anywhere in the page. Hidden, the page shows the window alone, exactly as
// without it. Whether it is shown is remembered in the browser's localStorage.

#include <string>

namespace forms {
class Lesson;
}  // namespace forms

namespace forms::web {

// Adds the strip for `lesson` below the window's layout and answers the keys; made after the
// window and before it shows, so that the window's first fit takes the strip in. Lives as long
// as the page's program.
class LessonStrip {
 public:
  explicit LessonStrip(Lesson& lesson);
  ~LessonStrip();
  LessonStrip(const LessonStrip&) = delete;
  LessonStrip& operator=(const LessonStrip&) = delete;

 private:
  void refresh();

  Lesson& lesson_;
  int pause_ = 0;  // element numbers
  int step_ = 0;
  int rate_ = 0;
  int state_ = 0;
  int sectors_ = 0;
  int sectorCount_ = 0;
  int area_ = 0;
};

}  // namespace forms::web
