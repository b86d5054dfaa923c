#pragma once
// A command button of the forms runtime in its graphical style: a caption on a flat face of its
// own colour. A mouse click, or Space or Enter on the focused button, calls the handler the window
// connects; the button itself does nothing. How it looks and takes keys is the backend's.

#include <functional>
#include <string>

#include "forms/color.h"
#include "forms/control.h"
#include "forms/font.h"

namespace forms {

class CommandButton : public Control {
 public:
  CommandButton(std::string name, ContainerPeer& container, const FontSpec& font);

  const std::string& caption() const { return caption_; }
  void setCaption(const std::string& text);
  Color backColor() const { return back_; }
  void setBackColor(Color color);

  void onClick(std::function<void()> handler);
  // Gives the button the keyboard focus (at start: the window's first button has it).
  void setFocus();
  ButtonPeer& buttonPeer() const { return static_cast<ButtonPeer&>(peer()); }

 private:
  std::string caption_;
  Color back_ = systemButtonFace();
};

}  // namespace forms
