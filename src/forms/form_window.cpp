#include "forms/form_window.h"

#include "forms/command_button.h"

namespace forms {

void FormWindow::setTabOrder(const std::vector<CommandButton*>& buttons) {
  std::vector<ButtonPeer*> peers;
  peers.reserve(buttons.size());
  for (CommandButton* button : buttons) peers.push_back(&button->buttonPeer());
  peer_->setTabOrder(peers);
}

}  // namespace forms
