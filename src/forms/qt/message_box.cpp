// The message boxes as QMessageBoxes over the active window, with the runtime's Japanese buttons.
#include "forms/message_box.h"

#include <QAbstractButton>
#include <QApplication>
#include <QIcon>
#include <QMessageBox>
#include <QPushButton>

#include "forms/qt/peers.h"

namespace forms {
namespace {

void clearIcons(QMessageBox& box) {
  // Desktop themes put icons on the standard buttons; the runtime's boxes have none.
  for (QAbstractButton* button : box.buttons()) button->setIcon(QIcon());
}

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

}  // namespace

MsgBoxAnswer MsgBox(const std::string& prompt, MsgBoxButtons buttons, const std::string& title,
                    const std::function<void(MsgBoxAnswer)>& onAnswer) {
  QMessageBox box(QMessageBox::NoIcon, qt::ToQString(title), qt::ToQString(prompt),
                  QMessageBox::NoButton, owner());
  if (buttons != MsgBoxButtons::YesNo) {
    box.addButton(QStringLiteral("OK"), QMessageBox::AcceptRole);
    clearIcons(box);
    box.exec();
    return MsgBoxAnswer::Ok;
  }
  // "はい(Y)" and "いいえ(N)" as the Japanese desktop writes them: Y or N, with or without Alt,
  // answers the box.
  QPushButton* yes = box.addButton(QStringLiteral("はい(&Y)"), QMessageBox::YesRole);
  QPushButton* no = box.addButton(QStringLiteral("いいえ(&N)"), QMessageBox::NoRole);
  box.setDefaultButton(yes);
  box.setEscapeButton(no);
  if (onAnswer) {
    QObject::connect(&box, &QMessageBox::buttonClicked, &box, [&](QAbstractButton* pressed) {
      onAnswer(pressed == static_cast<QAbstractButton*>(yes) ? MsgBoxAnswer::Yes
                                                             : MsgBoxAnswer::No);
    });
  }
  clearIcons(box);
  box.exec();
  return box.clickedButton() == static_cast<QAbstractButton*>(yes) ? MsgBoxAnswer::Yes
                                                                   : MsgBoxAnswer::No;
}

void ErrorBox(const std::string& message) {
  QMessageBox box(QMessageBox::NoIcon, QStringLiteral("実行時エラー"), qt::ToQString(message),
                  QMessageBox::NoButton, owner());
  box.addButton(QStringLiteral("OK"), QMessageBox::AcceptRole);
  clearIcons(box);
  box.exec();
}

}  // namespace forms
