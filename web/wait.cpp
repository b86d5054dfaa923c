#include "wait.h"

#include <emscripten.h>

namespace {

// clang-format off
// A message posted to a MessageChannel is a task of its own that no timer clamp applies to. The
// hops are queued, so that a benchmark can share them.
EM_JS(void, kepler_wait_prepare, (), {
  if (Module.keplerWait) return;
  const channel = new MessageChannel();
  const hops = [];
  channel.port1.onmessage = () => hops.shift()();
  Module.keplerWait = {
    hop: () => new Promise(resolve => {
      hops.push(resolve);
      channel.port2.postMessage(0);
    }),
    pending: () => false,
    wake: () => {},
  };
});

// A timer task chained from a timer task is clamped to at least 4 ms after a few links, which
// every wait of an Asyncify program is; running a message task resets the nesting. So: hop once
// through the channel, sleep by timer until 1 ms before the deadline (timers fire up to about
// 1 ms late), then spin on the clock until the deadline without yielding. The hop and the sleep
// are where the browser paints and takes input. The browser's rendering step (style, layout,
// paint, commit: a millisecond or more, at every display frame) can then no longer start in the
// wait's last stretch and carry it past the deadline; it runs at the start of the next wait,
// where a short wait has room for it. A wake ends the timer's sleep; `pending` is looked at
// after every task.
EM_ASYNC_JS(void, kepler_wait_until, (double deadline), {
  const wait = Module.keplerWait;
  await wait.hop();
  // A wake that finds nothing pending, or a timer that ends a sleep longer than setTimeout takes
  // (2^31 - 1 ms), sends the wait back to sleep; an infinite one ends by a wake only.
  const longest = 2147483647;
  let sleep = deadline - performance.now() - 1;
  while (sleep > 0 && !wait.pending()) {
    const whole = sleep <= longest;
    const timedOut = await new Promise(resolve => {
      const timer = isFinite(sleep) ? setTimeout(() => done(true), Math.min(sleep, longest)) : 0;
      function done(byTimer) {
        clearTimeout(timer);
        wait.wake = () => {};
        resolve(byTimer);
      }
      wait.wake = () => done(false);
    });
    sleep = timedOut && whole ? 0 : deadline - performance.now() - 1;
  }
  // At most about a millisecond: the sleep ends 1 ms before the deadline, plus a timer's lateness.
  if (wait.pending() || !isFinite(deadline)) return;
  while (performance.now() < deadline) {}
});
// clang-format on

}  // namespace

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
