#pragma once
// The runtime's modal message boxes, in Japanese whatever the system locale. Declared here with a
// platform-free signature and defined by the linked backend; the boxes do not trace: the caller
// writes the MsgBox trace line around the call.

#include <functional>
#include <string>

namespace forms {

constexpr int kOk = 1;
constexpr int kYesNo = 4;
constexpr int kYes = 6;
constexpr int kNo = 7;

// Shows a modal box with the prompt and title and returns the answer: code 4 gives はい(Y)
// (default) and いいえ(N) and answers 6 or 7, any other code a single OK and answers 1. No icon.
// `onAnswer` is told the answer the moment a button is pressed, before anything else is handled.
int MsgBox(const std::string& prompt, int code, const std::string& title,
           const std::function<void(int)>& onAnswer = {});

// Tells the user about a run-time error that ends the program; returns when it is acknowledged.
void ErrorBox(const std::string& message);

}  // namespace forms
