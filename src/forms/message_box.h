#pragma once
// The runtime's modal message boxes, in Japanese whatever the system locale, shown by the linked
// backend (ShowMessageBox). The boxes do not trace: the caller writes the MsgBox trace line around
// the call.

#include <functional>
#include <string>

namespace forms {

// The buttons and the answers, numbered as the old runtime numbered them; the trace prints these
// numbers.
enum class MsgBoxButtons { Ok = 0, YesNo = 4 };
enum class MsgBoxAnswer { Ok = 1, Yes = 6, No = 7 };

// Shows a modal box with the prompt and title and returns the answer: はい(Y) (default) and
// いいえ(N), or a single OK. No icon. `onAnswer` is told the answer the moment a button is
// pressed, before anything else is handled.
MsgBoxAnswer MsgBox(const std::string& prompt, MsgBoxButtons buttons, const std::string& title,
                    const std::function<void(MsgBoxAnswer)>& onAnswer = {});

// Tells the user about a run-time error that ends the program; returns when it is acknowledged.
void ErrorBox(const std::string& message);

}  // namespace forms
