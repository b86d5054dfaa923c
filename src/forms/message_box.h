#pragma once
// The runtime's modal message boxes, in Japanese whatever the system locale: MsgBox with the
// Yes/No button code (answers 6 for Yes, 7 for No) and the box that reports a run-time error.

#include <QString>

#include <functional>

class QWidget;

namespace forms {

constexpr int kYesNo = 4;
constexpr int kYes = 6;
constexpr int kNo = 7;

// Shows a modal box with the prompt and title; code 4 gives はい(Y) (default) and いいえ(N), any
// other code a single OK. No icon.
// Traced as "<owner> MsgBox "<prompt>" <code> "<title>" = <answer>".
// `onAnswer` is told the answer the moment a button is pressed, before the box's event loop
// handles anything that came with it (a click on the window in the same batch of events).
int MsgBox(QWidget* parent, const QString& owner, const QString& prompt, int code,
           const QString& title, const std::function<void(int)>& onAnswer = {});

// Tells the user about a run-time error that ends the program; returns when it is acknowledged.
void ErrorBox(QWidget* parent, const QString& message);

}  // namespace forms
