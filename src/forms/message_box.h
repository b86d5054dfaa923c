#pragma once
// The runtime's modal message boxes, in Japanese whatever the system locale: MsgBox with its
// buttons and answers, and the box that reports a run-time error.

#include <QString>

#include <functional>

class QWidget;

namespace forms {

// The buttons and the answers, numbered as the old runtime numbered them; the trace prints these
// numbers.
enum class MsgBoxButtons { Ok = 0, YesNo = 4 };
enum class MsgBoxAnswer { Ok = 1, Yes = 6, No = 7 };

// Shows a modal box with the prompt and title: はい(Y) (default) and いいえ(N), or a single OK.
// No icon. Traced as "<owner> MsgBox "<prompt>" <buttons> "<title>" = <answer>".
// `onAnswer` is told the answer the moment a button is pressed, before the box's event loop
// handles anything that came with it (a click on the window in the same batch of events).
MsgBoxAnswer MsgBox(QWidget* parent, const QString& owner, const QString& prompt,
                    MsgBoxButtons buttons, const QString& title,
                    const std::function<void(MsgBoxAnswer)>& onAnswer = {});

// Tells the user about a run-time error that ends the program; returns when it is acknowledged.
void ErrorBox(QWidget* parent, const QString& message);

}  // namespace forms
