// The page's script state, the URL's options, the trace sink and the program's error lines.
#include "forms/web/page.h"

#include <string>

#include "forms/backend.h"
#include "forms/web/wait.h"

// The page's script state, its options and the trace sink, in page.js.
extern "C" {
// Module.kepler: the element table, the click queue and the URL's options. Once.
void kepler_page_prepare();
// Sets the custom property `property` of the page's style sheet to a CSS colour.
void kepler_page_color(const char* property, const char* css, int length);
int kepler_page_virtual_clock();
int kepler_page_trace();
void kepler_page_trace_line(const char* line, int length);
// One line of the program's own on the console, as an error.
void kepler_page_error_line(const char* line, int length);
}

namespace forms::web {
namespace {

// Asked before every traced operation: read once.
bool traceOn() {
  static const bool on = (PreparePage(), kepler_page_trace() != 0);
  return on;
}

// The desktop's system colours as the custom properties the shell's style sheet draws the
// controls' bevels, the lesson strip and the message boxes with.
void setSystemColors() {
  const struct {
    const char* property;
    Color color;
  } colors[] = {
      {"--kepler-window-text", systemWindowText()},
      {"--kepler-button-text", systemButtonText()},
      {"--kepler-button-face", systemButtonFace()},
      {"--kepler-3d-light", system3DLight()},
      {"--kepler-3d-highlight", system3DHighlight()},
      {"--kepler-button-shadow", systemButtonShadow()},
      {"--kepler-3d-dark-shadow", system3DDarkShadow()},
      {"--kepler-gray-text", systemGrayText()},
      {"--kepler-active-caption", systemActiveCaption()},
      {"--kepler-gradient-active-caption", systemGradientActiveCaption()},
      {"--kepler-caption-text", systemCaptionText()},
  };
  for (const auto& c : colors) {
    const std::string css = CssColor(c.color);
    kepler_page_color(c.property, css.data(), static_cast<int>(css.size()));
  }
}

}  // namespace

void PreparePage() {
  static bool prepared = false;
  if (prepared) return;
  prepared = true;
  ::web::PrepareWait();
  kepler_page_prepare();
  setSystemColors();
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

void WriteErrorLine(std::string_view utf8Line) {
  web::PreparePage();
  kepler_page_error_line(utf8Line.data(), static_cast<int>(utf8Line.size()));
}

}  // namespace forms
