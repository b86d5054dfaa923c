// kepler-laws in a browser: Form1 on the forms layer's browser backend, and the lesson strip. The
// page's script has put the program's nine files into the working folder of Emscripten's file
// system before this runs.
#include "forms/lesson.h"
#include "forms/lesson_clock.h"
#include "forms/web/event_loop.h"
#include "forms/web/lesson_strip.h"
#include "window/form1.h"

int main() {
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
