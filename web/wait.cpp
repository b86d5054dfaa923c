#include "wait.h"

#include <emscripten.h>

namespace {

// A timer task chained from a timer task is clamped to at least 4 ms after a few links, which
// every wait of an Asyncify program is. A message posted to a MessageChannel is a task of its own
// that no clamp applies to, and running it resets the timer nesting. So: hop once through the
// channel, sleep by timer until 1 ms before the deadline (timers fire up to about 1 ms late), then
// hop through the channel until the deadline. Each hop is a task, so painting and input go on.
// clang-format off
EM_ASYNC_JS(void, kepler_wait_until, (double deadline), {
  if (!Module.keplerHop) {
    const channel = new MessageChannel();
    const waiting = [];
    channel.port1.onmessage = () => waiting.shift()();
    Module.keplerHop = () => new Promise(resolve => {
      waiting.push(resolve);
      channel.port2.postMessage(0);
    });
  }
  await Module.keplerHop();
  const sleep = deadline - performance.now() - 1;
  if (sleep > 0) await new Promise(resolve => setTimeout(resolve, sleep));
  while (performance.now() < deadline) await Module.keplerHop();
});
// clang-format on

}  // namespace

namespace web {

double NowMs() {
  return emscripten_get_now();
}

void WaitUntil(double deadlineMs) {
  kepler_wait_until(deadlineMs);
}

}  // namespace web
