#pragma once
// The operation trace: one line per forms operation. End-to-end checks read it, so the line
// formats here are an interface. It records; it never changes what is shown. Where the lines go
// (Qt's logging category "kepler.forms", the page's keplerTrace) is the backend's: tracing() and
// traceLine() are declared in forms/backend.h.

#include <string>
#include <string_view>

#include "forms/backend.h"

namespace forms {

// A text in double quotes with '"' and '\' escaped by a backslash.
std::string quoted(std::string_view text);
// A single-precision value in shortest round-trip form ("602.22", "15", "-0.5").
std::string shortestRoundTrip(float value);

}  // namespace forms
