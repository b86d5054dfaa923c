#pragma once
// The top-level window of a form: a client area of a fixed size in pixels that controls are
// placed in, a caption, a background colour, the buttons' Tab order, and what closing it does.
// How it is shown (scaled to fit a screen or a browser's view) is the backend's.

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "forms/backend.h"
#include "forms/color.h"

namespace forms {

class CommandButton;

class FormWindow {
 public:
  FormWindow(int clientWidth, int clientHeight)
      : peer_(MakeWindowPeer(clientWidth, clientHeight)) {}

  // What the window's controls are placed in.
  ContainerPeer& client() { return *peer_; }
  WindowPeer& peer() const { return *peer_; }

  void setCaption(const std::string& text) { peer_->setTitle(text); }
  void setBackColor(Color color) { peer_->setBackground(color); }
  // The order the Tab key visits the buttons in.
  void setTabOrder(const std::vector<CommandButton*>& buttons);
  void show() { peer_->show(); }
  // The user closed the window (desktop only).
  void onClose(std::function<void()> handler) { peer_->onClose(std::move(handler)); }

 private:
  std::unique_ptr<WindowPeer> peer_;
};

}  // namespace forms
