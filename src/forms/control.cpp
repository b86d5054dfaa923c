#include "forms/control.h"

#include <QWidget>

#include <algorithm>
#include <cmath>

#include "forms/fonts.h"
#include "forms/scaled_window.h"
#include "forms/trace.h"

namespace forms {

int toPixel(float value) {
  const double r = std::floor(static_cast<double>(value) + 0.5);
  if (!(r > -1e6 && r < 1e6)) return r > 0 ? 1000000 : -1000000;  // far off the surface either way
  return static_cast<int>(r);
}

Control::Control(QString name, QWidget* widget)
    : name_(std::move(name)), widget_(widget), window_(ScaledWindow::of(widget)) {
  if (window_) window_->attach(this);
}

Control::~Control() {
  if (window_) window_->detach(this);
}

double Control::scale() const {
  return window_ ? window_->scale() : 1.0;
}

void Control::setFont(const QFont& font) {
  font_ = font;
  widget_->setFont(ScaledFont(font, scale()));
}

void Control::trace(const QString& operation) const {
  traceLine(name_ + QLatin1Char(' ') + operation);
}

// Stores one of the four place-and-size values, traces it and shows it. The trace line is built
// only when the trace is on: bodies move every frame.
void Control::setDimension(float& field, const char* property, float value) {
  field = value;
  if (tracing())
    traceLine(name_ + QLatin1Char(' ') + QLatin1String(property) + QLatin1Char(' ') +
              number(value));
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
  trace(visible ? QStringLiteral("Visible True") : QStringLiteral("Visible False"));
  widget_->setVisible(visible);
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

QRect Control::shownGeometry() const {
  const QRect logical(toPixel(left_), toPixel(top_), std::max(0, toPixel(width_)),
                      std::max(0, toPixel(height_)));
  return window_ ? window_->toDevice(logical, widget_->parentWidget()) : logical;
}

void Control::applyGeometry() {
  const QRect shown = shownGeometry();
  // A body that moves by less than a pixel a frame often stays on the same pixel.
  if (widget_->geometry() != shown) widget_->setGeometry(shown);
}

void Control::applyScale() {
  if (font_) widget_->setFont(ScaledFont(*font_, scale()));
  applyGeometry();
}

}  // namespace forms
