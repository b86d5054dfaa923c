// The runtime's message boxes: their captions, their titles and which button answers Enter and
// Escape. The backend shows them.
#include "forms/message_box.h"

#include "forms/backend.h"

namespace forms {

MsgBoxAnswer MsgBox(const std::string& prompt, MsgBoxButtons buttons, const std::string& title,
                    const std::function<void(MsgBoxAnswer)>& onAnswer) {
  MessageBoxLook box{title, prompt, {"OK"}, 0, 0};
  // "はい(Y)" and "いいえ(N)" as the Japanese desktop writes them: Y or N, with or without Alt,
  // answers the box; はい is the default and Escape is いいえ.
  if (buttons == MsgBoxButtons::YesNo) box = {title, prompt, {"はい(&Y)", "いいえ(&N)"}, 0, 1};
  const auto answerOf = [buttons](int pressed) {
    if (buttons != MsgBoxButtons::YesNo) return MsgBoxAnswer::Ok;
    return pressed == 0 ? MsgBoxAnswer::Yes : MsgBoxAnswer::No;
  };
  return answerOf(ShowMessageBox(box, [&](int pressed) {
    if (onAnswer) onAnswer(answerOf(pressed));
  }));
}

void ErrorBox(const std::string& message) {
  ShowMessageBox({"実行時エラー", message, {"OK"}, 0, 0}, {});
}

}  // namespace forms
