#include "forms/picture_box.h"

#include <QPaintEvent>
#include <QPainter>

#include <algorithm>
#include <cmath>

#include "core/outline_raster.h"
#include "forms/scaled_window.h"
#include "forms/trace.h"

namespace forms {

void Surface::paintEvent(QPaintEvent* event) {
  QPainter painter(this);
  const bool magnified = size() != image.size();
  painter.setRenderHint(QPainter::SmoothPixmapTransform,
                        magnified && PictureMagnification() == Qt::SmoothTransformation);
  // Rectangle by rectangle: moving bodies leave a few small areas to repaint far apart, whose
  // bounding box would be most of the surface. Under a clip of one rectangle Qt copies or scales
  // just that area, and does not hand the work to other threads as it does for long lists of
  // spans. Magnified, the whole image is mapped onto the whole surface every time, so that a
  // pixel comes out the same whichever area it is repainted with.
  for (const QRect& area : event->region()) {
    painter.setClipRect(area);
    if (magnified) {
      painter.drawImage(QRectF(rect()), image, QRectF(image.rect()));
    } else {
      painter.drawImage(area, image, area);
    }
  }
}

void Surface::updateImage(const QRect& area) {
  if (size() == image.size() || image.isNull()) {
    update(area);
    return;
  }
  const double sx = width() / static_cast<double>(image.width());
  const double sy = height() / static_cast<double>(image.height());
  // A smooth magnification blends each image pixel into the surface pixels up to half a
  // magnified pixel beyond its own.
  const int marginX = static_cast<int>(std::ceil(sx / 2)) + 1;
  const int marginY = static_cast<int>(std::ceil(sy / 2)) + 1;
  const int left = static_cast<int>(std::floor(area.left() * sx)) - marginX;
  const int top = static_cast<int>(std::floor(area.top() * sy)) - marginY;
  const int right = static_cast<int>(std::ceil((area.right() + 1) * sx)) + marginX;
  const int bottom = static_cast<int>(std::ceil((area.bottom() + 1) * sy)) + marginY;
  update(QRect(QPoint(left, top), QPoint(right - 1, bottom - 1)));
}

PictureBox::PictureBox(const QString& name, QWidget* container, Color back, Color fore, float left,
                       float top, float width, float height)
    : Control(name, new Surface(container)),
      surface_(static_cast<Surface*>(widget())),
      back_(back),
      fore_(fore) {
  setGeometryQuietly(left, top, width, height);
}

void PictureBox::applyGeometry() {
  Control::applyGeometry();
  // The stored image follows the logical size, keeping what was drawn where it still fits.
  const QSize size = QSize(toPixel(width()), toPixel(height())).expandedTo(QSize(1, 1));
  if (surface_->image.size() == size) return;
  QImage resized(size, QImage::Format_RGB32);
  resized.fill(toQColor(back_));
  if (!surface_->image.isNull()) {
    QPainter painter(&resized);
    painter.drawImage(0, 0, surface_->image);
  }
  surface_->image = std::move(resized);
  surface_->update();
}

void PictureBox::Cls() {
  traceLine(name() + QStringLiteral(" Cls"));
  surface_->image.fill(toQColor(back_));
  surface_->update();
}

void PictureBox::Circle(float x, float y, float radius, std::optional<Color> color,
                        std::optional<float> aspect) {
  if (tracing()) {
    traceLine(name() + QStringLiteral(" Circle ") + number(x) + QLatin1Char(' ') + number(y) +
              QLatin1Char(' ') + number(radius) + QLatin1Char(' ') +
              (color ? QString::number(*color) : QStringLiteral("-")) + QLatin1Char(' ') +
              (aspect ? number(*aspect) : QStringLiteral("-")));
  }
  const kepler::SemiAxes axes = kepler::CircleSemiAxes(radius, aspect.value_or(1.0f));
  const std::vector<kepler::Pixel> pixels = kepler::EllipseOutline(x, y, axes.rx, axes.ry);
  QImage& image = surface_->image;
  const QRgb rgb = toQColor(color.value_or(fore_)).rgb();
  QRect dirty;
  for (const kepler::Pixel& p : pixels) {
    if (p.x < 0 || p.y < 0 || p.x >= image.width() || p.y >= image.height()) continue;
    reinterpret_cast<QRgb*>(image.scanLine(p.y))[p.x] = rgb;
    dirty |= QRect(p.x, p.y, 1, 1);
  }
  if (!dirty.isEmpty()) surface_->updateImage(dirty);
}

void PictureBox::BoxFill(float x1, float y1, float x2, float y2, Color color) {
  if (tracing()) {
    traceLine(name() + QStringLiteral(" BoxFill ") + number(x1) + QLatin1Char(' ') + number(y1) +
              QLatin1Char(' ') + number(x2) + QLatin1Char(' ') + number(y2) + QLatin1Char(' ') +
              QString::number(color));
  }
  const int ax = toPixel(x1);
  const int bx = toPixel(x2);
  const int ay = toPixel(y1);
  const int by = toPixel(y2);
  const QRect box =
      QRect(QPoint(std::min(ax, bx), std::min(ay, by)), QPoint(std::max(ax, bx), std::max(ay, by)))
          .intersected(surface_->image.rect());
  if (box.isEmpty()) return;
  const QRgb rgb = toQColor(color).rgb();
  for (int y = box.top(); y <= box.bottom(); ++y) {
    QRgb* line = reinterpret_cast<QRgb*>(surface_->image.scanLine(y));
    std::fill(line + box.left(), line + box.right() + 1, rgb);
  }
  surface_->updateImage(box);
}

}  // namespace forms
