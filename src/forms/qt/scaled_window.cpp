#include "forms/qt/scaled_window.h"

#include <QKeyEvent>
#include <QScreen>

#include <algorithm>
#include <cmath>

#include "forms/qt/peer_widget.h"

namespace forms::qt {
namespace {

int scaled(int logical, double scale) {
  return static_cast<int>(std::lround(logical * scale));
}

}  // namespace

QSize OpeningSize(QSize logical, QSize available, double devicePixelRatio) {
  if (available.isEmpty()) return logical;
  // Qt reports a screen in device-independent pixels rounded to the nearest whole one, so with a
  // ratio other than 1 the screen may be up to half a pixel smaller than reported (1280 pixels at
  // 3 are reported as 427, not 426.67): fit within half a pixel less, and round down.
  const double slack = devicePixelRatio == 1.0 ? 0.0 : 0.5;
  const double fit = std::min({1.0, (available.width() - slack) / logical.width(),
                               (available.height() - slack) / logical.height()});
  if (fit >= 1.0) return logical;
  // The small allowance keeps a product that is whole in exact arithmetic (989 x 800/989) whole.
  const auto fitted = [fit](int size) { return static_cast<int>(std::floor(size * fit + 1e-9)); };
  return QSize(fitted(logical.width()), fitted(logical.height()));
}

Qt::TransformationMode PictureMagnification() {
  // Smooth. A projector magnifies by a factor like 1.87, where nearest-neighbour repeats every
  // other row and column: the 1-pixel orbit outlines come out 1 and 2 pixels thick by turns and
  // the Sun's stair steps grow. Smooth magnification keeps the outlines even, only softer.
  return Qt::SmoothTransformation;
}

ScaledWindow::ScaledWindow(QSize logicalSize) : logicalSize_(logicalSize), pacer_(*this) {
  // Below a quarter of its size the layout is unreadable anyway.
  setMinimumSize(logicalSize / 4);
  resize(openingSize());
  relayout();
}

ScaledWindow::~ScaledWindow() = default;

QSize ScaledWindow::openingSize() const {
  QSize size = logicalSize_;
  if (const QScreen* display = screen()) {
    size =
        OpeningSize(logicalSize_, display->availableGeometry().size(), display->devicePixelRatio());
  }
  return size.expandedTo(minimumSize());
}

void ScaledWindow::setLogicalSize(QSize logicalSize) {
  if (logicalSize == logicalSize_) return;
  const int grown = logicalSize.height() - logicalSize_.height();
  logicalSize_ = logicalSize;
  setMinimumSize(logicalSize / 4);
  if (!isVisible()) {
    resize(openingSize());
  } else if (windowState() == Qt::WindowNoState) {
    int height = this->height() + scaled(grown, scale_);
    if (const QScreen* display = screen()) {
      height = std::min(height, display->availableGeometry().height());
    }
    resize(width(), std::max(height, minimumHeight()));
  }
  relayout();
}

ScaledWindow* ScaledWindow::of(const QWidget* widget) {
  return widget ? dynamic_cast<ScaledWindow*>(widget->window()) : nullptr;
}

QRect ScaledWindow::toDevice(const QRect& logical, const QWidget* container) const {
  const bool onClient = container == this;
  if (scale_ == 1.0 && (!onClient || origin_.isNull())) return logical;
  const int left = scaled(logical.x(), scale_);
  const int top = scaled(logical.y(), scale_);
  QRect device(left, top, scaled(logical.x() + logical.width(), scale_) - left,
               scaled(logical.y() + logical.height(), scale_) - top);
  if (onClient) device.translate(origin_);
  return device;
}

void ScaledWindow::attach(PeerWidget* control) {
  controls_.push_back(control);
}

void ScaledWindow::detach(PeerWidget* control) {
  controls_.erase(std::remove(controls_.begin(), controls_.end(), control), controls_.end());
  pacer_.forget(control);
}

bool ScaledWindow::relayout() {
  const double scale = std::min(width() / static_cast<double>(logicalSize_.width()),
                                height() / static_cast<double>(logicalSize_.height()));
  const QSize client(scaled(logicalSize_.width(), scale), scaled(logicalSize_.height(), scale));
  const QPoint origin((width() - client.width()) / 2, (height() - client.height()) / 2);
  if (scale == scale_ && origin == origin_) return false;
  scale_ = scale;
  origin_ = origin;
  for (PeerWidget* control : controls_) control->applyScale();
  return true;
}

void ScaledWindow::resizeEvent(QResizeEvent* event) {
  relayout();
  QWidget::resizeEvent(event);
}

void ScaledWindow::keyPressEvent(QKeyEvent* event) {
  // The program has no key handling of its own, so these two keys collide with nothing.
  if (event->key() == Qt::Key_F11) {
    setWindowState(windowState() ^ Qt::WindowFullScreen);
  } else if (event->key() == Qt::Key_Escape && isFullScreen()) {
    setWindowState(windowState() & ~Qt::WindowFullScreen);
  } else {
    QWidget::keyPressEvent(event);
  }
}

}  // namespace forms::qt
