// The message boxes as modal <dialog>s over the window, awaited through Asyncify: the C++ side
// stands still in the box, as the desktop's modal loop does, while the browser goes on painting.
// The window under a box takes no clicks.
#include <string>

#include "forms/backend.h"
#include "forms/web/page.h"

// The script side is message_box.js: a box with a title strip, the prompt and a button for each
// line of `captionLines`; gives the index of the button pressed.
extern "C" int kepler_box_show(const char* title, int titleLength, const char* prompt,
                               int promptLength, const char* captionLines, int captionsLength,
                               int defaultButton, int escapeButton);

namespace forms {

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
