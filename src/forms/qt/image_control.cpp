// Image controls on the picture box's surface, showing a picture at its natural size.
#include <QPaintEvent>
#include <QPainter>
#include <QPixmap>

#include <algorithm>
#include <cstring>

#include "core/picture.h"
#include "forms/qt/peers.h"

namespace forms::qt {

BodyWidget::BodyWidget(QWidget* container) : QWidget(container), layer_(BodyLayer::of(container)) {
  hide();
  layer_->add(this);
}

BodyWidget::~BodyWidget() {
  if (layer_) layer_->remove(this);
}

void BodyWidget::repaint(const QRect& area) {
  if (shown_ && layer_ && !pixmap_.isNull()) layer_->update(area);
}

void BodyWidget::setPixmap(const QPixmap& pixmap) {
  repaint(geometry());
  pixmap_ = pixmap;
  repaint(geometry());
}

void BodyWidget::setShown(bool shown) {
  if (shown == shown_) return;
  shown_ = shown;
  if (layer_ && !pixmap_.isNull()) layer_->update(geometry());
}

void BodyWidget::moved(const QRect& before) {
  repaint(before);
  repaint(geometry());
}

BodyLayer::BodyLayer(QWidget* container) : QWidget(container) {
  setAttribute(Qt::WA_TransparentForMouseEvents);
  setAttribute(Qt::WA_NoSystemBackground);
  setGeometry(container->rect());
  container->installEventFilter(this);
}

BodyLayer* BodyLayer::of(QWidget* container) {
  for (QObject* child : container->children()) {
    if (auto* layer = dynamic_cast<BodyLayer*>(child)) return layer;
  }
  return new BodyLayer(container);
}

void BodyLayer::remove(BodyWidget* body) {
  bodies_.erase(std::remove(bodies_.begin(), bodies_.end(), body), bodies_.end());
  update(body->geometry());
}

bool BodyLayer::eventFilter(QObject* watched, QEvent* event) {
  if (watched == parent() && event->type() == QEvent::Resize) setGeometry(parentWidget()->rect());
  return QWidget::eventFilter(watched, event);
}

void BodyLayer::paintEvent(QPaintEvent* event) {
  QPainter painter(this);
  for (const BodyWidget* body : bodies_) {
    if (!body->shown() || body->pixmap().isNull()) continue;
    const QRect place = body->geometry();
    const QRect area = event->rect() & place;
    if (area.isEmpty()) continue;
    painter.drawPixmap(area, body->pixmap(), area.translated(-place.topLeft()));
  }
}

ImageWidgetPeer::ImageWidgetPeer(QWidget* surface)
    : PeerWidget(new BodyWidget(surface)), body_(static_cast<BodyWidget*>(widget())) {}

void ImageWidgetPeer::setPicture(const kepler::Picture* picture) {
  if (picture == nullptr || picture->width <= 0 || picture->height <= 0) {
    picture_ = QImage();
    shown_ = QSize();
    body_->clear();
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
