#include "forms/web/event_loop.h"

#include <cmath>
#include <limits>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

#include "forms/backend.h"
#include "forms/scheduled_reading.h"
#include "forms/web/page.h"
#include "forms/web/wait.h"

namespace forms::web {
namespace {

std::unordered_map<int, std::function<void()>>& handlers() {
  static std::unordered_map<int, std::function<void()>> all;
  return all;
}

// The clicks whose handlers run now, innermost last: whether the handler has waited yet, and how
// often the drawing had changed when it started.
struct RunningClick {
  int element;
  bool waited;
  unsigned drawingChanges;
};

std::vector<RunningClick>& running() {
  static std::vector<RunningClick> all;
  return all;
}

// The real clock's reading, kept on the schedule of the waits (see WebClock).
ScheduledReading schedule;

// Set once the program has ended: queued clicks are dropped and the event loop stops.
bool ended = false;

// performance.now() as the clock reads it: whole milliseconds, wrapped to 32 bits.
std::int32_t readingOf(double milliseconds) {
  return static_cast<std::int32_t>(
      static_cast<std::uint32_t>(static_cast<std::uint64_t>(milliseconds)));
}

}  // namespace

void SetClickHandler(int element, std::function<void()> handler) {
  handlers()[element] = std::move(handler);
}

void ForgetClickHandler(int element) {
  handlers().erase(element);
}

bool DispatchQueuedClicks() {
  bool any = false;
  for (int element = kepler_next_click(); element != 0 && !ended; element = kepler_next_click()) {
    any = true;
    const auto found = handlers().find(element);
    if (found == handlers().end() || !found->second) continue;
    // A copy: the handler may make or drop buttons while it runs.
    const std::function<void()> handler = found->second;
    // A click is not on the demonstration's schedule: its waits start at the real reading.
    schedule.leave();
    running().push_back({element, false, DrawingChanges()});
    handler();
    const RunningClick click = running().back();
    running().pop_back();
    kepler_page_click_returned(element, click.waited, DrawingChanges() != click.drawingChanges);
  }
  return any;
}

WebClock::WebClock() : virtual_(VirtualClockRequested()) {}

std::int32_t WebClock::now() {
  if (virtual_) return static_cast<std::int32_t>(virtualTime_);
  return schedule.read(readingOf(::web::NowMs()));
}

void WebClock::pumpEvents(std::int32_t deadline) {
  // The first wait of a click's handler: a screen reader hears what started.
  if (!running().empty() && !running().back().waited) {
    running().back().waited = true;
    kepler_page_click_started(running().back().element);
  }
  FlushDrawing();
  if (DispatchQueuedClicks()) return;
  if (virtual_) {
    ::web::WaitUntil(0);
    // A test may hold the clock here to look at the screen; it lets go within 20 ms.
    while (kepler_page_held() != 0) ::web::WaitUntil(::web::NowMs() + 20);
    const std::int32_t remaining = ClockDifference(deadline, now());
    if (remaining > 0) virtualTime_ += static_cast<std::uint32_t>(remaining);
  } else {
    // The reading turns over to the deadline at the start of the millisecond `remaining` on from
    // the current one: the wait sleeps towards it however late it started, and one that reaches
    // it within the slack puts the reading on the schedule.
    schedule.leave();
    const double nowMs = ::web::NowMs();
    const std::int32_t remaining = ClockDifference(deadline, readingOf(nowMs));
    if (remaining > 0) ::web::WaitUntil(std::floor(nowMs) + remaining);
    schedule.reached(deadline, readingOf(::web::NowMs()));
  }
  DispatchQueuedClicks();
}

void RunEventLoop() {
  PreparePage();
  while (!ended) {
    FlushDrawing();
    if (!DispatchQueuedClicks()) ::web::WaitUntil(std::numeric_limits<double>::infinity());
  }
}

}  // namespace forms::web

namespace forms {

void EndProgram(int exitCode) {
  constexpr std::string_view kEndedLine = "プログラムを終了しました。";
  constexpr std::string_view kStartAgain = "もう一度始める";
  web::ended = true;
  web::PreparePage();
  kepler_page_end(exitCode, kEndedLine.data(), static_cast<int>(kEndedLine.size()),
                  kStartAgain.data(), static_cast<int>(kStartAgain.size()));
}

}  // namespace forms
