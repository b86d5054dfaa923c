#pragma once
// Watching a paced window's repaints from outside: how many reach a widget, and bringing a held
// one to the screen the way the program's own trigger does.
#include <QCoreApplication>
#include <QEvent>
#include <QObject>
#include <QWidget>

namespace testing_support {

// Counts the paint events a widget gets. Every repaint that shows a moving body paints the
// drawing surface beneath it once.
class PaintCounter : public QObject {
 public:
  explicit PaintCounter(QWidget* widget) { widget->installEventFilter(this); }
  int count() const { return count_; }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::Paint) ++count_;
    return QObject::eventFilter(watched, event);
  }

 private:
  int count_ = 0;
};

// A modal box coming up over the window brings the repaint the window holds back to the screen
// first; the tests look at the screen mid-demonstration the same way.
inline void ShowHeldRepaint(QWidget* window) {
  for (const QEvent::Type type : {QEvent::WindowBlocked, QEvent::WindowUnblocked}) {
    QEvent event(type);
    QCoreApplication::sendEvent(window, &event);
  }
}

}  // namespace testing_support
