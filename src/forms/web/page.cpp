// The page's script state, the URL's options, the trace sink and the program's one error line.
#include "forms/web/page.h"

#include <string>

#include "forms/backend.h"
#include "forms/web/wait.h"

// The page's script state, its options and the trace sink, in page.js.
extern "C" {
// Module.kepler: the element table, the click queue and the URL's options. Once.
void kepler_page_prepare();
int kepler_page_virtual_clock();
int kepler_page_trace();
void kepler_page_trace_line(const char* line, int length);
// The program's one error line on the console.
void kepler_page_fatal(const char* message, int length);
}

namespace forms::web {
namespace {

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
  kepler_page_trace_line(utf8Line.data(), static_cast<int>(utf8Line.size()));
}

void ReportFatal(std::string_view utf8Message) {
  web::PreparePage();
  kepler_page_fatal(utf8Message.data(), static_cast<int>(utf8Message.size()));
}

}  // namespace forms
