#pragma once
// The pacing of a window's repaints: they reach the screen at most once per refresh of the
// window's screen, while everything else happens at once. Controls that only move are moved at
// the repaint that shows them.

#include <QBasicTimer>
#include <QObject>
#include <QWidget>

#include <chrono>
#include <vector>

namespace forms::qt {

class PeerWidget;

class RepaintPacer final : public QObject {
 public:
  // Paces the repaints of the top-level `window`, which outlives the pacer.
  explicit RepaintPacer(QWidget& window);

  // Whether controls that only move are moved on the screen at the next repaint instead of at
  // once: while the window is shown.
  bool defersMoves() const;
  // Moves the control's widget to its model place just before the next repaint.
  void deferMove(PeerWidget* control);
  // The control is going: no move of it is left waiting.
  void forget(PeerWidget* control);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  void timerEvent(QTimerEvent* event) override;

 private:
  // One refresh period of the window's screen (60 Hz when it does not say).
  std::chrono::nanoseconds refreshPeriod() const;
  // Whether a repaint asked for now must wait for the next refresh; arms the backstop if so.
  bool holdRepaint();
  // Lets a held repaint go once a refresh period has passed since the last one.
  void releaseDueRepaint();
  void applyDeferredMoves();
  // Whatever waits to be repainted, held back or not, reaches the screen now.
  void flushRepaint();

  QWidget& window_;
  std::vector<PeerWidget*> deferredMoves_;
  bool releasing_ = false;
  QBasicTimer release_;
  std::chrono::steady_clock::time_point lastRepaint_{};
};

}  // namespace forms::qt
