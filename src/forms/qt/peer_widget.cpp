#include "forms/qt/peer_widget.h"

#include "forms/qt/fonts.h"
#include "forms/qt/scaled_window.h"

namespace forms::qt {

PeerWidget::PeerWidget(QWidget* widget) : widget_(widget), window_(ScaledWindow::of(widget)) {
  if (window_) window_->attach(this);
}

PeerWidget::~PeerWidget() {
  if (window_) window_->detach(this);
  delete widget_.data();
}

double PeerWidget::scale() const {
  return window_ ? window_->scale() : 1.0;
}

void PeerWidget::setFont(const QFont& font) {
  font_ = font;
  widget_->setFont(ScaledFont(font, scale()));
}

void PeerWidget::showRect(const PixelRect& rect) {
  logical_ = QRect(rect.x, rect.y, rect.width, rect.height);
  applyGeometry();
}

QRect PeerWidget::shownGeometry() const {
  return window_ ? window_->toDevice(logical_, widget_->parentWidget()) : logical_;
}

void PeerWidget::applyGeometry() {
  const QRect shown = shownGeometry();
  // A body that moves by less than a pixel a frame often stays on the same pixel.
  if (widget_->geometry() != shown) widget_->setGeometry(shown);
}

void PeerWidget::applyScale() {
  if (font_) widget_->setFont(ScaledFont(*font_, scale()));
  applyGeometry();
}

QWidget* ContainerWidget(ContainerPeer& container) {
  return dynamic_cast<QtContainer&>(container).containerWidget();
}

}  // namespace forms::qt
