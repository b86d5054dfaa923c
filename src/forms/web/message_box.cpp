// The message box and the run-time error box as modal <dialog>s over the window, awaited through
// Asyncify: the C++ side stands still in the box, as the desktop's modal loop does, while the
// browser goes on painting. The window under a box takes no clicks.
#include "forms/message_box.h"

#include <emscripten.h>

#include <string_view>

#include "forms/web/page.h"

namespace forms {
namespace {

// clang-format off
// A box with a title strip, the prompt and one or two buttons (a button's access key is the
// letter in its brackets, with or without Alt); the first button has the focus and is the
// default. Escape answers the last button. Resolves to the number of the button pressed, 1 or 2.
EM_ASYNC_JS(int, kepler_box_show, (const char* title, int titleLength, const char* prompt,
                                   int promptLength, const char* first, int firstLength,
                                   const char* second, int secondLength), {
  const k = Module.kepler;
  const dialog = document.createElement("dialog");
  dialog.className = "kepler-box";
  const heading = dialog.appendChild(document.createElement("div"));
  heading.className = "kepler-box-title";
  heading.textContent = UTF8ToString(title, titleLength);
  const text = dialog.appendChild(document.createElement("p"));
  text.textContent = UTF8ToString(prompt, promptLength);
  const row = dialog.appendChild(document.createElement("div"));
  row.className = "kepler-box-buttons";
  const captions = [UTF8ToString(first, firstLength)];
  if (secondLength) captions.push(UTF8ToString(second, secondLength));
  const answer = await new Promise(resolve => {
    const buttons = captions.map((caption, i) => {
      const button = row.appendChild(document.createElement("button"));
      button.type = "button";
      button.className = "kepler-button";
      button.appendChild(document.createElement("span")).textContent = caption;
      button.addEventListener("click", () => resolve(i + 1));
      k.guardEnter(button);
      return button;
    });
    // By the key's place too: Alt with a letter types another character on some keyboards.
    const keys = captions.map(caption => caption.endsWith(")") ? caption[caption.length - 2] : "");
    dialog.addEventListener("keydown", event => {
      if (event.ctrlKey || event.metaKey || event.repeat) return;
      const i = keys.findIndex(key => key && (event.key.toUpperCase() == key ||
                                              event.code == "Key" + key));
      if (i < 0) return;
      event.preventDefault();
      buttons[i].click();
    });
    dialog.addEventListener("cancel", event => {
      event.preventDefault();
      buttons[buttons.length - 1].click();
    });
    document.body.appendChild(dialog);
    dialog.showModal();
    buttons[0].focus();
  });
  dialog.close();
  dialog.remove();
  return answer;
});
// clang-format on

int showBox(std::string_view title, std::string_view prompt, std::string_view first,
            std::string_view second) {
  web::PreparePage();
  web::FlushDrawing();
  return kepler_box_show(
      title.data(), static_cast<int>(title.size()), prompt.data(), static_cast<int>(prompt.size()),
      first.data(), static_cast<int>(first.size()), second.data(), static_cast<int>(second.size()));
}

}  // namespace

MsgBoxAnswer MsgBox(const std::string& prompt, MsgBoxButtons buttons, const std::string& title,
                    const std::function<void(MsgBoxAnswer)>& onAnswer) {
  MsgBoxAnswer answer = MsgBoxAnswer::Ok;
  if (buttons == MsgBoxButtons::YesNo) {
    answer =
        showBox(title, prompt, "はい(Y)", "いいえ(N)") == 1 ? MsgBoxAnswer::Yes : MsgBoxAnswer::No;
  } else {
    showBox(title, prompt, "OK", {});
  }
  // Nothing else has run since the button was pressed: clicks wait for the C++ side.
  if (onAnswer) onAnswer(answer);
  return answer;
}

void ErrorBox(const std::string& message) {
  showBox("実行時エラー", message, "OK", {});
}

}  // namespace forms
