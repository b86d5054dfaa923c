// The message boxes as QMessageBoxes over the active window.
#include <QAbstractButton>
#include <QApplication>
#include <QIcon>
#include <QMessageBox>
#include <QPushButton>

#include <vector>

#include "forms/backend.h"
#include "forms/qt/peers.h"

namespace forms {
namespace {

// The box's owner: the form's window, the shown one if there are several.
QWidget* owner() {
  QWidget* form = nullptr;
  for (QWidget* top : QApplication::topLevelWidgets()) {
    if (!dynamic_cast<qt::FormWidget*>(top)) continue;
    if (top->isVisible()) return top;
    form = top;
  }
  return form;
}

// Qt places a box's buttons by their roles, in the order the desktop puts them: a lone button
// accepts; of two, the one Escape presses says no.
QMessageBox::ButtonRole roleOf(const MessageBoxLook& look, int button) {
  if (look.captions.size() == 1) return QMessageBox::AcceptRole;
  return button == look.escapeButton ? QMessageBox::NoRole : QMessageBox::YesRole;
}

}  // namespace

int ShowMessageBox(const MessageBoxLook& look, const std::function<void(int)>& onPressed) {
  QMessageBox box(QMessageBox::NoIcon, qt::ToQString(look.title), qt::ToQString(look.prompt),
                  QMessageBox::NoButton, owner());
  std::vector<QAbstractButton*> buttons;
  for (std::size_t i = 0; i < look.captions.size(); ++i) {
    QPushButton* button =
        box.addButton(qt::ToQString(look.captions[i]), roleOf(look, static_cast<int>(i)));
    // Desktop themes put icons on the standard buttons; the runtime's boxes have none.
    button->setIcon(QIcon());
    buttons.push_back(button);
  }
  box.setDefaultButton(static_cast<QPushButton*>(buttons.at(look.defaultButton)));
  box.setEscapeButton(buttons.at(look.escapeButton));
  const auto indexOf = [&](QAbstractButton* pressed) {
    for (std::size_t i = 0; i < buttons.size(); ++i) {
      if (buttons[i] == pressed) return static_cast<int>(i);
    }
    return look.escapeButton;  // closed without a button
  };
  if (onPressed) {
    QObject::connect(&box, &QMessageBox::buttonClicked, &box,
                     [&](QAbstractButton* pressed) { onPressed(indexOf(pressed)); });
  }
  box.exec();
  return indexOf(box.clickedButton());
}

}  // namespace forms
