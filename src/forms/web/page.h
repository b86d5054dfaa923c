#pragma once
// What the pieces of the browser backend share: the page's script state (Module.kepler: the
// element table, the click queue, the options of the URL), the pending drawing of the picture
// boxes and the buttons' click handlers. Internal to the browser backend; Form1 never sees it.

#include <functional>
#include <string>
#include <string_view>

#include "forms/color.h"

// The page's script functions kept in page.js (an Emscripten JS library).
extern "C" {
// A press outside a button leaves the focus on the last focused button.
void kepler_page_keep_focus();
// Whether a test holds the virtual clock at this wait (?clock=virtual only).
int kepler_page_held();
// Lets a test read a picture box's pixel buffer (?clock=virtual only).
void kepler_surface_model(int element, const void* pixels, int width, int height);
// The screen reader's side of the page: spoken texts, the live region and the drawing's name.
void kepler_page_accessible();
// A click's handler waited for the first time (it started a demonstration), or returned.
void kepler_page_click_started(int element);
void kepler_page_click_returned(int element, int waited, int drew);
// The oldest queued click's element number, taken off the queue; 0 when none is queued.
int kepler_next_click();
// The window gives way to the end's line and a link that starts the page again.
void kepler_page_end(int exitCode, const char* line, int lineLength, const char* again,
                     int againLength);
}

namespace forms::web {

// Makes the page's script state, once, before any element or wait: the URL's ?trace,
// ?clock=virtual and ?scale=N are read here.
void PreparePage();
bool VirtualClockRequested();

// A colour as CSS writes it: "rgb(255,255,200)".
std::string CssColor(Color color);

// Copies every picture box's changed pixels to its canvas (peers.cpp).
void FlushDrawing();
// How many times the drawing changed so far: a picture box's pixels or an image's picture.
unsigned DrawingChanges();

// The buttons' handlers by element number, and the dispatch of queued clicks (event_loop.cpp).
void SetClickHandler(int element, std::function<void()> handler);
void ForgetClickHandler(int element);
// Runs the handler of every click queued so far, in order, each to its end (a handler that waits
// runs the clicks queued meanwhile nested inside its wait). Whether there was any.
bool DispatchQueuedClicks();

}  // namespace forms::web
