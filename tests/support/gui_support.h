#pragma once
// What GUI tests share: the virtual clock, the trace recorder, the modal-box answerer and the
// posted click.

#include <QAbstractButton>
#include <QApplication>
#include <QLoggingCategory>
#include <QMessageBox>
#include <QPushButton>
#include <QRegularExpression>
#include <QTimer>

#include <functional>
#include <map>

#include "forms/clock.h"
#include "forms/qt/access.h"

namespace testing_support {

// A clock for tests: time stands still until a wait lets it pass, and then jumps straight to the
// wait's deadline or to the next scheduled action, whichever comes first. Pending events are
// handled at every pump, so clicks posted by actions run nested inside the wait, as in the
// program, and a 45-second demonstration runs in a fraction of a second.
class VirtualClock final : public forms::Clock {
 public:
  explicit VirtualClock(std::uint32_t start = 1000) : time_(start), start_(start) {}

  std::int32_t now() override {
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(time_));
  }
  void pumpEvents(std::int32_t deadline) override {
    ++pumps_;
    deadline_ = deadline;
    if (onPump) onPump();
    QCoreApplication::processEvents();
    const std::int32_t remaining = forms::ClockDifference(deadline, now());
    const std::uint64_t target = time_ + static_cast<std::uint64_t>(remaining > 0 ? remaining : 0);
    if (actions_.empty() || actions_.begin()->first > target)
      time_ = target;
    else
      runNext();
    QCoreApplication::processEvents();
  }

  // Runs `action` once virtual time reaches `delay` ms from now, inside whichever wait gets there.
  void after(std::uint32_t delay, std::function<void()> action) {
    actions_.emplace(time_ + delay, std::move(action));
  }
  // Called at every pump before time moves: a place to look at the window at each wait.
  std::function<void()> onPump;
  // The deadline of the pump under way.
  std::int32_t deadline() const { return deadline_; }

  std::uint64_t elapsed() const { return time_ - start_; }
  int pumps() const { return pumps_; }
  // Runs every remaining action, letting time jump between them, outside any wait.
  void runPending() {
    while (!actions_.empty()) {
      runNext();
      QCoreApplication::processEvents();
    }
  }

 private:
  void runNext() {
    auto next = actions_.begin();
    time_ = std::max(time_, next->first);
    auto action = std::move(next->second);
    actions_.erase(next);
    action();
  }
  std::uint64_t time_;  // never wraps; the reading does
  std::uint64_t start_;
  std::multimap<std::uint64_t, std::function<void()>> actions_;
  int pumps_ = 0;
  std::int32_t deadline_ = 0;
};

// Records the operation trace ("kepler.forms") while it lives, for tests that check what the
// window did and in which order. A recorder made while another lives records alone until it goes,
// then hands back.
class TraceRecorder {
 public:
  TraceRecorder() : outer_(recorded) {
    recorded = &lines_;
    if (outer_) return;
    previous = qInstallMessageHandler(record);
    QLoggingCategory::setFilterRules(QStringLiteral("kepler.forms.debug=true"));
  }
  ~TraceRecorder() {
    recorded = outer_;
    if (outer_) return;
    QLoggingCategory::setFilterRules(QStringLiteral("kepler.forms.debug=false"));
    qInstallMessageHandler(previous);
  }
  TraceRecorder(const TraceRecorder&) = delete;
  TraceRecorder& operator=(const TraceRecorder&) = delete;

  const QStringList& lines() const { return lines_; }
  void clear() { lines_.clear(); }
  // Lines that start with the prefix, in order.
  QStringList starting(const QString& prefix) const {
    return lines_.filter(QRegularExpression("^" + QRegularExpression::escape(prefix)));
  }

 private:
  static void record(QtMsgType type, const QMessageLogContext& context, const QString& message) {
    if (recorded && qstrcmp(context.category, "kepler.forms") == 0) {
      recorded->append(message);
    } else if (previous) {
      previous(type, context, message);
    }
  }
  static inline QStringList* recorded = nullptr;
  static inline QtMessageHandler previous = nullptr;
  QStringList lines_;
  QStringList* outer_;
};

// Answers modal message boxes in tests: each answer clicks the button with the given text on the
// next modal box that appears, checking again on every pass of the event loop until one does.
// A box nobody answers would hang; the test's CTest timeout is the backstop.
class ModalAnswerer {
 public:
  // Queues an answer: the button to click, by its text with or without its access key
  // ("はい" or "はい(Y)", "いいえ", "OK").
  void answer(const QString& buttonText) {
    queue_.append(buttonText);
    QTimer::singleShot(0, &context_, [this] { poll(); });
  }
  // Titles and texts of the boxes answered so far, "title|text".
  const QStringList& seen() const { return seen_; }
  // Answers not given yet.
  qsizetype pending() const { return queue_.size(); }

 private:
  void poll() {
    if (queue_.isEmpty()) return;
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    if (!box) return QTimer::singleShot(0, &context_, [this] { poll(); });
    const QString wanted = queue_.takeFirst();
    seen_.append(box->windowTitle() + QLatin1Char('|') + box->text());
    // The button named, by its text with or without its access key ("はい(&Y)" is "はい(Y)" and
    // "はい").
    static const QRegularExpression accessKey(QStringLiteral("\\(.\\)$"));
    for (QAbstractButton* button : box->buttons()) {
      const QString shown = QString(button->text()).remove(QLatin1Char('&'));
      if (shown == wanted || QString(shown).remove(accessKey) == wanted) return button->click();
    }
    seen_.append(QStringLiteral("no button ") + wanted);
    box->reject();
  }
  QObject context_;  // ends pending polls with the answerer
  QStringList queue_;
  QStringList seen_;
};

// After the window has ended the program, QCoreApplication::exit() leaves every later event loop
// (a modal box's too) returning at once. Running and leaving the application loop clears that,
// so the next test starts like a fresh program.
inline void ClearApplicationExit() {
  QTimer::singleShot(0, qApp, [] { QCoreApplication::exit(0); });
  QCoreApplication::exec();
}

// Clicks a button as a mouse click would: the click is posted, and its handler runs when events
// are next pumped (by a wait of the window or the test's own event loop).
inline void PostClick(const forms::CommandButton& button) {
  QMetaObject::invokeMethod(forms::qt::ButtonOf(button), &QPushButton::click, Qt::QueuedConnection);
}

// A modal box coming up over a window brings the repaint the window holds back to the screen
// first; the tests look at the screen mid-demonstration the same way.
inline void ShowHeldRepaint(QWidget* window) {
  for (const QEvent::Type type : {QEvent::WindowBlocked, QEvent::WindowUnblocked}) {
    QEvent event(type);
    QCoreApplication::sendEvent(window, &event);
  }
}

}  // namespace testing_support
