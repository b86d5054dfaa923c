// Picture boxes as widgets that paint the model's drawing, magnified on a scaled window.
#include <QPaintEvent>
#include <QPainter>

#include <cmath>

#include "forms/qt/peers.h"

namespace forms::qt {

Surface::Surface(QWidget* parent, const std::uint32_t* pixels, int width, int height)
    : QWidget(parent),
      image_(reinterpret_cast<const uchar*>(pixels), width, height,
             static_cast<qsizetype>(width) * 4, QImage::Format_RGB32) {
  setAttribute(Qt::WA_OpaquePaintEvent);
}

void Surface::paintEvent(QPaintEvent* event) {
  QPainter painter(this);
  const bool magnified = size() != image_.size();
  painter.setRenderHint(QPainter::SmoothPixmapTransform,
                        magnified && PictureMagnification() == Qt::SmoothTransformation);
  // Rectangle by rectangle: moving bodies leave a few small areas to repaint far apart, whose
  // bounding box would be most of the surface. Under a clip of one rectangle Qt copies or scales
  // just that area, and does not hand the work to other threads as it does for long lists of
  // spans. Magnified, the whole image is mapped onto the whole surface every time, so that a
  // pixel comes out the same whichever area it is repainted with.
  for (const QRect& area : event->region()) {
    if (magnified) {
      painter.setClipRect(area);
      painter.drawImage(QRectF(rect()), image_, QRectF(image_.rect()));
    } else {
      painter.drawImage(area.topLeft(), image_, area);
    }
  }
}

void Surface::updateImage(const QRect& area) {
  if (size() == image_.size() || image_.isNull()) {
    update(area);
    return;
  }
  const double sx = width() / static_cast<double>(image_.width());
  const double sy = height() / static_cast<double>(image_.height());
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

SurfaceWidgetPeer::SurfaceWidgetPeer(QWidget* container, const std::uint32_t* pixels, int width,
                                     int height)
    : PeerWidget(new Surface(container, pixels, width, height)),
      surface_(static_cast<Surface*>(widget())) {}

void SurfaceWidgetPeer::imageChanged(const PixelRect& dirty) {
  const QRect area(dirty.x, dirty.y, dirty.width, dirty.height);
  if (area == surface_->image().rect()) {
    surface_->update();
  } else {
    surface_->updateImage(area);
  }
}

}  // namespace forms::qt
