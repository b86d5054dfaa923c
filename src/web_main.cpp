// kepler-laws in a browser: Form1 on the forms layer's browser backend, and the lesson strip. The
// page's script has put the program's nine files into the working folder of Emscripten's file
// system before this runs.
//
// ?remove=NAME (repeatable) deletes the file NAME from that folder before the window starts, so
// that a click which needs it takes the same error path as a missing file on the desktop.
#include <emscripten.h>

#include "forms/lesson.h"
#include "forms/lesson_clock.h"
#include "forms/web/event_loop.h"
#include "forms/web/lesson_strip.h"
#include "window/form1.h"

namespace {

// clang-format off
// Deletes every file that a ?remove= of the page's URL names. Only bare names in the working
// folder: nothing else of the file system is the page's to delete.
EM_JS(void, kepler_remove_requested_files, (), {
  for (const name of new URLSearchParams(location.search).getAll("remove")) {
    if (name.includes("/")) continue;
    try {
      FS.unlink(name);
    } catch (error) {
      console.warn("kepler-laws: ?remove=" + name + ": no such file");
    }
  }
});
// clang-format on

}  // namespace

int main() {
  kepler_remove_requested_files();
  forms::web::WebClock clock;
  // The window's waits read lesson time, which the lesson strip pauses, steps and slows down.
  forms::LessonClock lessonClock(clock);
  Form1 form(lessonClock);
  form.Form_Load();
  forms::Lesson lesson(lessonClock);
  form.UseLesson(lesson);
  const forms::web::LessonStrip strip(lesson);
  form.show();
  forms::web::RunEventLoop();
  return 0;
}
