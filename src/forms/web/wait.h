#pragma once
// The pacing wait of the browser build. WaitUntil suspends the calling C++ code (Asyncify) until
// performance.now() reaches a deadline and gives the browser its turn meanwhile, so that drawing
// reaches the screen and clicks are queued during the wait. Link with -sASYNCIFY. It knows
// nothing of clicks: the page's script may end a wait early through Module.keplerWait (below).

namespace web {

// performance.now(): milliseconds since the page began to load [ms]. Chromium coarsens it to
// 0.1 ms for a page that is not cross-origin isolated, which a file:// page never is.
double NowMs();

// Returns once NowMs() >= deadlineMs (on a timer, so up to about a millisecond after it, more on
// a busy machine), having yielded to the browser at least once;
// a deadline of infinity waits for a wake alone. The wait returns early, after its first yield or
// at any later task, once Module.keplerWait.pending() is true: script sets `pending` (by default
// always false) and calls Module.keplerWait.wake() when it becomes true.
void WaitUntil(double deadlineMs);

// Makes Module.keplerWait (its hop, `pending` and `wake`) before the first wait, for a page that
// sets `pending`.
void PrepareWait();

}  // namespace web
