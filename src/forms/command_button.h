#pragma once
// A command button of the forms runtime in its graphical style: a caption on a flat face of its
// own colour inside a 3-D bevel, painted as the old runtime drew it. A mouse click, or Space or
// Enter on the focused button, calls the handler the window connects; the button itself does
// nothing.

#include <QFont>

#include <functional>

#include "forms/color.h"
#include "forms/control.h"

class QPushButton;
class QWidget;

namespace forms {

class CommandButton : public Control {
 public:
  CommandButton(const QString& name, QWidget* container, const QFont& font);

  const QString& caption() const { return caption_; }
  void setCaption(const QString& text);
  Color backColor() const { return back_; }
  void setBackColor(Color color);

  void onClick(std::function<void()> handler);
  // Posts a click, as a mouse click would: the handler runs when events are next pumped.
  void postClick();
  QPushButton* button() const { return button_; }

 private:
  QPushButton* button_;
  QString caption_;
  Color back_ = 0;
};

}  // namespace forms
