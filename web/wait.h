#pragma once
// The pacing wait of the browser build. WaitUntil suspends the calling C++ code (Asyncify) until
// performance.now() reaches a deadline and gives the browser its turn meanwhile, so that drawing
// reaches the screen and clicks are dispatched during the wait. Link with -sASYNCIFY. It neither
// knows of clicks nor of the virtual clock of the tests.

namespace web {

// performance.now(): milliseconds since the page began to load [ms]. Chromium coarsens it to
// 0.1 ms for a page that is not cross-origin isolated, which a file:// page never is.
double NowMs();

// Returns at the first moment NowMs() >= deadlineMs, having yielded to the browser at least once.
void WaitUntil(double deadlineMs);

}  // namespace web
