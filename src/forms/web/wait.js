// The pacing wait's script side (an Emscripten JS library; wait.cpp holds the C++ side).

mergeInto(LibraryManager.library, {
  // A message posted to a MessageChannel is a task of its own that no timer clamp applies to. The
  // hops are queued, so that a benchmark can share them.
  kepler_wait_prepare: function() {
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
  },

  // A timer task chained from a timer task is clamped to at least 4 ms after a few links, which
  // every wait of an Asyncify program is; running a message task resets the nesting. So: hop once
  // through the channel, then sleep by timer until the deadline, and sleep again for what is left
  // if a timer fires early. No spin: a timer fires up to about a millisecond late, and the page's
  // clock (WebClock) lets the next wait absorb that lateness, so the waits do not add it up. The
  // hop and the sleep are where the browser paints and takes input. A wake ends the sleep;
  // `pending` is looked at after every task.
  kepler_wait_until__deps: ["$Asyncify"],
  kepler_wait_until: function(deadline) {
    return Asyncify.handleAsync(async () => {
      const wait = Module.keplerWait;
      await wait.hop();
      // A wake that finds nothing pending, or a timer that ends a sleep longer than setTimeout
      // takes (2^31 - 1 ms), sends the wait back to sleep; an infinite one ends by a wake only.
      const longest = 2147483647;
      let left = deadline - performance.now();
      while (left > 0 && !wait.pending()) {
        await new Promise(resolve => {
          const timer = isFinite(left) ? setTimeout(done, Math.min(Math.ceil(left), longest)) : 0;
          function done() {
            clearTimeout(timer);
            wait.wake = () => {};
            resolve();
          }
          wait.wake = done;
        });
        left = deadline - performance.now();
      }
    });
  },
});
