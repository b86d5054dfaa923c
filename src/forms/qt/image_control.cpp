// Image controls on the picture box's surface, showing a picture at its natural size.
#include <QPaintEvent>
#include <QPainter>
#include <QPixmap>

#include <cstring>

#include "core/picture.h"
#include "forms/qt/peers.h"

namespace forms::qt {

void BodyWidget::setPixmap(const QPixmap& pixmap) {
  pixmap_ = pixmap;
  update();
}

void BodyWidget::paintEvent(QPaintEvent* event) {
  if (!pixmap_.isNull()) QPainter(this).drawPixmap(event->rect(), pixmap_, event->rect());
}

ImageWidgetPeer::ImageWidgetPeer(QWidget* surface)
    : PeerWidget(new BodyWidget(surface)), body_(static_cast<BodyWidget*>(widget())) {}

void ImageWidgetPeer::setPicture(const kepler::Picture* picture) {
  if (picture == nullptr || picture->width <= 0 || picture->height <= 0) {
    picture_ = QImage();
    shown_ = QSize();
    body_->setPixmap(QPixmap());
    return;
  }
  QImage image(picture->width, picture->height, QImage::Format_ARGB32);
  const auto rowBytes = static_cast<std::size_t>(picture->width) * sizeof(std::uint32_t);
  for (int y = 0; y < picture->height; ++y) {
    std::memcpy(image.scanLine(y),
                picture->pixels.data() + static_cast<std::size_t>(y) * picture->width, rowBytes);
  }
  picture_ = std::move(image);
  // The new picture is shown at once, at the body's present size: a picture of the same size
  // brings no change of geometry that would show it later.
  showPicture();
}

void ImageWidgetPeer::showPicture() {
  if (picture_.isNull() || body_->size().isEmpty()) return;
  shown_ = body_->size();
  body_->setPixmap(QPixmap::fromImage(
      shown_ == picture_.size()
          ? picture_
          : picture_.scaled(shown_, Qt::IgnoreAspectRatio, PictureMagnification())));
}

void ImageWidgetPeer::applyGeometry() {
  // A body that only moves is moved on the screen when the window next repaints: of the frames
  // placed between two refreshes only the last is seen, and each move costs region work.
  ScaledWindow* window = scaledWindow();
  if (window && window->pacer().defersMoves() && shownGeometry().size() == body_->size()) {
    window->pacer().deferMove(this);
    return;
  }
  PeerWidget::applyGeometry();
  // A moving body keeps its size: the picture is magnified only when the shown size changes.
  if (body_->size() != shown_) showPicture();
}

}  // namespace forms::qt
