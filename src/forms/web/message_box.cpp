// The message boxes as modal <dialog>s over the window, awaited through Asyncify: the C++ side
// stands still in the box, as the desktop's modal loop does, while the browser goes on painting.
// The window under a box takes no clicks.
#include <emscripten.h>

#include <string>

#include "forms/backend.h"
#include "forms/web/page.h"

namespace forms {
namespace {

// clang-format off
// A box with a title strip, the prompt and a button for each line of `captions` (an "&" in a
// caption marks its access key, pressed with or without Alt, and is not shown); the default button
// has the focus, Escape presses the escape button. Resolves to the index of the button pressed.
EM_ASYNC_JS(int, kepler_box_show, (const char* title, int titleLength, const char* prompt,
                                   int promptLength, const char* captionLines, int captionsLength,
                                   int defaultButton, int escapeButton), {
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
  const captions = UTF8ToString(captionLines, captionsLength).split("\n");
  const answer = await new Promise(resolve => {
    const buttons = captions.map((caption, i) => {
      const button = row.appendChild(document.createElement("button"));
      button.type = "button";
      button.className = "kepler-button";
      button.appendChild(document.createElement("span")).textContent = caption.replace("&", "");
      button.addEventListener("click", () => resolve(i));
      k.guardEnter(button);
      return button;
    });
    // By the key's place too: Alt with a letter types another character on some keyboards.
    const keys = captions.map(caption => {
      const at = caption.indexOf("&");
      return at < 0 ? "" : caption.charAt(at + 1).toUpperCase();
    });
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
      buttons[escapeButton].click();
    });
    document.body.appendChild(dialog);
    dialog.showModal();
    buttons[defaultButton].focus();
  });
  dialog.close();
  dialog.remove();
  return answer;
});
// clang-format on

}  // namespace

int ShowMessageBox(const MessageBoxLook& look, const std::function<void(int)>& onPressed) {
  std::string captions;
  for (const std::string_view caption : look.captions) {
    if (!captions.empty()) captions += '\n';
    captions += caption;
  }
  web::PreparePage();
  web::FlushDrawing();
  const int pressed =
      kepler_box_show(look.title.data(), static_cast<int>(look.title.size()), look.prompt.data(),
                      static_cast<int>(look.prompt.size()), captions.data(),
                      static_cast<int>(captions.size()), look.defaultButton, look.escapeButton);
  // Nothing else has run since the button was pressed: clicks wait for the C++ side.
  if (onPressed) onPressed(pressed);
  return pressed;
}

}  // namespace forms
