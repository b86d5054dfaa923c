#pragma once
// Answers modal message boxes in tests: each answer clicks the button with the given text on the
// next modal box that appears, checking again on every pass of the event loop until one does.
// A box nobody answers would hang; the test's CTest timeout is the backstop.

#include <QObject>
#include <QString>
#include <QStringList>

namespace testing_support {

class ModalAnswerer {
 public:
  // Queues an answer: the button to click, by its text with or without its access key
  // ("はい" or "はい(Y)", "いいえ", "OK").
  void answer(const QString& buttonText);
  // Titles and texts of the boxes answered so far, "title|text".
  const QStringList& seen() const { return seen_; }
  int pending() const { return pending_; }

 private:
  void poll();
  QObject context_;  // ends pending polls with the answerer
  QStringList queue_;
  QStringList seen_;
  int pending_ = 0;
};

// After the window has ended the program, QCoreApplication::exit() leaves every later event loop
// (a modal box's too) returning at once. Running and leaving the application loop clears that,
// so the next test starts like a fresh program.
void ClearApplicationExit();

}  // namespace testing_support
