#include "forms/trace.h"

#include "core/shortest_float.h"

namespace forms {

std::string quoted(std::string_view text) {
  // Byte by byte: '"' and '\' never occur inside a multi-byte UTF-8 sequence.
  std::string out;
  out.reserve(text.size() + 2);
  out += '"';
  for (const char c : text) {
    if (c == '"' || c == '\\') out += '\\';
    out += c;
  }
  out += '"';
  return out;
}

std::string shortestRoundTrip(float value) {
  return kepler::ShortestFloat(value);
}

}  // namespace forms
