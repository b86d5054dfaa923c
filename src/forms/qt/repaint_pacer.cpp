// Qt posts one UpdateRequest to the window when something on it needs repainting and posts no
// other until that one has been handled. Holding it back until the next refresh therefore
// gathers every change made meanwhile into one repaint; the changes themselves are made, and
// traced, at once.
//
// Frames that come faster than the screen refreshes wake the program anyway, so a held repaint
// goes out when the event loop is next about to wait after it has become due: it costs no
// wake-up of its own. A timer one refresh later is the backstop for when no frame comes, as after
// the last frame of a demonstration.
#include "forms/qt/repaint_pacer.h"

#include <QAbstractEventDispatcher>
#include <QCoreApplication>
#include <QEvent>
#include <QScreen>
#include <QTimerEvent>

#include <algorithm>

#include "forms/qt/peer_widget.h"
#include "forms/qt/scaled_window.h"

namespace forms::qt {

RepaintPacer::RepaintPacer(QWidget& window) : window_(window) {
  window_.installEventFilter(this);
  if (QAbstractEventDispatcher* dispatcher = QAbstractEventDispatcher::instance()) {
    QObject::connect(dispatcher, &QAbstractEventDispatcher::aboutToBlock, this,
                     [this] { releaseDueRepaint(); });
  }
}

bool RepaintPacer::defersMoves() const {
  return window_.isVisible();
}

void RepaintPacer::deferMove(PeerWidget* control) {
  if (std::find(deferredMoves_.begin(), deferredMoves_.end(), control) != deferredMoves_.end())
    return;
  // Nothing else may need repainting: one pixel of the margin corner asks for the repaint that
  // makes the move.
  if (deferredMoves_.empty()) window_.update(QRect(0, 0, 1, 1));
  deferredMoves_.push_back(control);
}

void RepaintPacer::forget(PeerWidget* control) {
  deferredMoves_.erase(std::remove(deferredMoves_.begin(), deferredMoves_.end(), control),
                       deferredMoves_.end());
}

void RepaintPacer::applyDeferredMoves() {
  const std::vector<PeerWidget*> moves = std::move(deferredMoves_);
  deferredMoves_.clear();
  for (PeerWidget* control : moves) control->PeerWidget::applyGeometry();
}

std::chrono::nanoseconds RepaintPacer::refreshPeriod() const {
  const QScreen* display = window_.screen();
  const double hertz = display ? display->refreshRate() : 0.0;
  // A screen that reports no rate, or a nonsensical one, is taken to refresh at 60 Hz.
  const double rate = hertz >= 1.0 && hertz <= 1000.0 ? hertz : 60.0;
  return std::chrono::nanoseconds(static_cast<std::int64_t>(1e9 / rate));
}

bool RepaintPacer::holdRepaint() {
  if (releasing_) return false;
  const auto period = refreshPeriod();
  const auto due = lastRepaint_ + period;
  const auto now = std::chrono::steady_clock::now();
  if (now >= due) return false;
  if (!release_.isActive()) {
    const auto wait = std::chrono::ceil<std::chrono::milliseconds>(due - now + period);
    release_.start(static_cast<int>(wait.count()), Qt::PreciseTimer, this);
  }
  return true;
}

void RepaintPacer::releaseDueRepaint() {
  if (release_.isActive() && std::chrono::steady_clock::now() >= lastRepaint_ + refreshPeriod())
    flushRepaint();
}

void RepaintPacer::flushRepaint() {
  release_.stop();
  releasing_ = true;
  QEvent request(QEvent::UpdateRequest);
  QCoreApplication::sendEvent(&window_, &request);
  releasing_ = false;
}

void RepaintPacer::timerEvent(QTimerEvent* event) {
  if (event->timerId() == release_.timerId()) {
    flushRepaint();  // no frame came to take the held repaint along
  } else {
    QObject::timerEvent(event);
  }
}

bool RepaintPacer::eventFilter(QObject* watched, QEvent* event) {
  if (watched != &window_) return false;
  switch (event->type()) {
    case QEvent::UpdateRequest:
      if (holdRepaint()) return true;
      lastRepaint_ = std::chrono::steady_clock::now();
      applyDeferredMoves();
      break;
    case QEvent::WindowBlocked:
      // A modal box is about to cover the window: what was drawn before it must be on the screen.
      flushRepaint();
      break;
    default:
      break;
  }
  return false;
}

}  // namespace forms::qt
