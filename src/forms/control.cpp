#include "forms/control.h"

#include <QWidget>

#include <cmath>

#include "forms/trace.h"

namespace forms {

int toPixel(float value) {
  const double r = std::floor(static_cast<double>(value) + 0.5);
  if (!(r > -1e6 && r < 1e6)) return r > 0 ? 1000000 : -1000000;  // far off the surface either way
  return static_cast<int>(r);
}

Control::Control(QString name, QWidget* widget) : name_(std::move(name)), widget_(widget) {}

void Control::trace(const QString& operation) const {
  if (tracing()) traceLine(name_ + QLatin1Char(' ') + operation);
}

void Control::setLeft(float value) {
  left_ = value;
  trace(QStringLiteral("Left ") + number(value));
  applyGeometry();
}

void Control::setTop(float value) {
  top_ = value;
  trace(QStringLiteral("Top ") + number(value));
  applyGeometry();
}

void Control::setWidth(float value) {
  width_ = value;
  trace(QStringLiteral("Width ") + number(value));
  applyGeometry();
}

void Control::setHeight(float value) {
  height_ = value;
  trace(QStringLiteral("Height ") + number(value));
  applyGeometry();
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

void Control::applyGeometry() {
  widget_->setGeometry(toPixel(left_), toPixel(top_), std::max(0, toPixel(width_)),
                       std::max(0, toPixel(height_)));
}

}  // namespace forms
