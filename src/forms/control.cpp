#include "forms/control.h"

#include <algorithm>
#include <cmath>

#include "forms/trace.h"

namespace forms {

int toPixel(float value) {
  const double r = std::floor(static_cast<double>(value) + 0.5);
  if (!(r > -1e6 && r < 1e6)) return r > 0 ? 1000000 : -1000000;  // far off the surface either way
  return static_cast<int>(r);
}

PixelRect PixelGeometry(float left, float top, float width, float height) {
  return {toPixel(left), toPixel(top), std::max(0, toPixel(width)), std::max(0, toPixel(height))};
}

Control::~Control() = default;

void Control::trace(std::string_view operation) const {
  std::string line = name_;
  line += ' ';
  line += operation;
  traceLine(line);
}

// Stores one of the four place-and-size values, traces it and shows it. The trace line is built
// only when the trace is on: bodies move every frame.
void Control::setDimension(float& field, const char* property, float value) {
  field = value;
  if (tracing()) trace(std::string(property) + ' ' + shortestRoundTrip(value));
  applyGeometry();
}

void Control::setLeft(float value) {
  setDimension(left_, "Left", value);
}
void Control::setTop(float value) {
  setDimension(top_, "Top", value);
}
void Control::setWidth(float value) {
  setDimension(width_, "Width", value);
}
void Control::setHeight(float value) {
  setDimension(height_, "Height", value);
}

void Control::setVisible(bool visible) {
  visible_ = visible;
  trace(visible ? "Visible True" : "Visible False");
  peer_->setVisible(visible);
}

void Control::setGeometryQuietly(float left, float top, float width, float height) {
  left_ = left;
  top_ = top;
  width_ = width;
  height_ = height;
  applyGeometry();
}

void Control::setSizeQuietly(float width, float height) {
  width_ = width;
  height_ = height;
  applyGeometry();
}

void Control::applyGeometry() {
  if (peer_) peer_->setGeometry(PixelGeometry(left_, top_, width_, height_));
}

}  // namespace forms
