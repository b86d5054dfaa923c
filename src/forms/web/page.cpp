// The page's script state, the URL's options, the trace sink and the program's one error line.
#include "forms/web/page.h"

#include <emscripten.h>

#include <string>

#include "forms/backend.h"
#include "wait.h"

namespace forms::web {
namespace {

// clang-format off
// Module.kepler: elements by number (0 is no element), clicks queued by the buttons' listeners
// as element numbers for the C++ side to dispatch, and the options. A queued click ends the
// wait in flight.
EM_JS(void, kepler_page_prepare, (), {
  if (Module.kepler) return;
  const query = new URLSearchParams(location.search);
  const scale = Number(query.get("scale"));
  const decoder = new TextDecoder();
  const k = Module.kepler = {
    elements: [null],
    clicks: [],
    ended: false,
    trace: query.has("trace"),
    virtualClock: query.get("clock") == "virtual",
    // ?scale=N pins the window at N times its size, at the top left; otherwise it fills the view.
    scale: scale > 0 && scale <= 16 ? scale : 0,
    add: element => k.elements.push(element) - 1,
    text: (pointer, length) => decoder.decode(HEAPU8.subarray(pointer, pointer + length)),
    // Enter clicks a focused button once, as on the desktop: not again while it is held, and not
    // with Ctrl, Alt or Meta.
    guardEnter: element => element.addEventListener("keydown", event => {
      if (event.key == "Enter" && (event.repeat || event.ctrlKey || event.altKey || event.metaKey))
        event.preventDefault();
    }),
  };
  if (k.trace) window.keplerTrace = [];
  Module.keplerWait.pending = () => k.clicks.length > 0;
  // Safari on iPad shows :active (a pressed button sunken) only where a touch listener exists.
  document.addEventListener("touchstart", () => {}, {passive: true});
});

EM_JS(int, kepler_page_virtual_clock, (), {
  return Module.kepler.virtualClock;
});

EM_JS(int, kepler_page_trace, (), {
  return Module.kepler.trace;
});

EM_JS(void, kepler_page_trace_line, (const char* line, int length), {
  window.keplerTrace.push(performance.now().toFixed(3) + " kepler.forms: " +
                          Module.kepler.text(line, length));
});

EM_JS(void, kepler_page_fatal, (const char* message, int length), {
  console.error("kepler-laws: " + Module.kepler.text(message, length));
});
// clang-format on

// Asked before every traced operation: read once.
bool traceOn() {
  static const bool on = (PreparePage(), kepler_page_trace() != 0);
  return on;
}

}  // namespace

void PreparePage() {
  static bool prepared = false;
  if (prepared) return;
  prepared = true;
  ::web::PrepareWait();
  kepler_page_prepare();
  kepler_page_keep_focus();
  kepler_page_accessible();
}

bool VirtualClockRequested() {
  PreparePage();
  return kepler_page_virtual_clock() != 0;
}

std::string CssColor(Color color) {
  return "rgb(" + std::to_string(RedOf(color)) + "," + std::to_string(GreenOf(color)) + "," +
         std::to_string(BlueOf(color)) + ")";
}

}  // namespace forms::web

namespace forms {

bool tracing() {
  return web::traceOn();
}

void traceLine(std::string_view utf8Line) {
  if (!web::traceOn()) return;
  web::kepler_page_trace_line(utf8Line.data(), static_cast<int>(utf8Line.size()));
}

void ReportFatal(std::string_view utf8Message) {
  web::PreparePage();
  web::kepler_page_fatal(utf8Message.data(), static_cast<int>(utf8Message.size()));
}

}  // namespace forms
