#include "forms/web/wait.h"

#include <emscripten.h>

// The script side is wait.js.
extern "C" {
void kepler_wait_prepare();
void kepler_wait_until(double deadline);
}

namespace web {

double NowMs() {
  return emscripten_get_now();
}

void PrepareWait() {
  kepler_wait_prepare();
}

void WaitUntil(double deadlineMs) {
  kepler_wait_prepare();
  kepler_wait_until(deadlineMs);
}

}  // namespace web
