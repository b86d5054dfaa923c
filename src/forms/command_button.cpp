#include "forms/command_button.h"

#include "forms/trace.h"

namespace forms {

CommandButton::CommandButton(std::string name, ContainerPeer& container, const FontSpec& font)
    : Control(std::move(name)) {
  attachPeer(MakeButtonPeer(container, font, this->name()));
}

void CommandButton::setCaption(const std::string& text) {
  caption_ = text;
  trace("Caption " + quoted(text));
  buttonPeer().setText(text);
}

void CommandButton::setBackColor(Color color) {
  back_ = color;
  trace("BackColor " + std::to_string(color));
  buttonPeer().setFaceColor(color);
}

void CommandButton::onClick(std::function<void()> handler) {
  buttonPeer().onClick(std::move(handler));
}

void CommandButton::setFocus() {
  buttonPeer().setFocus();
}

}  // namespace forms
