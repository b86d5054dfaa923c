#include "forms/message_box.h"

#include <QAbstractButton>
#include <QIcon>
#include <QMessageBox>
#include <QPushButton>

#include "forms/trace.h"

namespace forms {
namespace {

void clearIcons(QMessageBox& box) {
  // Desktop themes put icons on the standard buttons; the runtime's boxes have none.
  for (QAbstractButton* button : box.buttons()) button->setIcon(QIcon());
}

}  // namespace

MsgBoxAnswer MsgBox(QWidget* parent, const QString& owner, const QString& prompt,
                    MsgBoxButtons buttons, const QString& title,
                    const std::function<void(MsgBoxAnswer)>& onAnswer) {
  QMessageBox box(QMessageBox::NoIcon, title, prompt, QMessageBox::NoButton, parent);
  MsgBoxAnswer answer = MsgBoxAnswer::Ok;
  if (buttons == MsgBoxButtons::YesNo) {
    // "はい(Y)" and "いいえ(N)" as the Japanese desktop writes them: Y or N, with or without
    // Alt, answers the box.
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
    answer = box.clickedButton() == static_cast<QAbstractButton*>(yes) ? MsgBoxAnswer::Yes
                                                                       : MsgBoxAnswer::No;
  } else {
    box.addButton(QStringLiteral("OK"), QMessageBox::AcceptRole);
    clearIcons(box);
    box.exec();
  }
  traceLine(owner + QStringLiteral(" MsgBox ") + quoted(prompt) + QLatin1Char(' ') +
            QString::number(static_cast<int>(buttons)) + QLatin1Char(' ') + quoted(title) +
            QStringLiteral(" = ") + QString::number(static_cast<int>(answer)));
  return answer;
}

void ErrorBox(QWidget* parent, const QString& message) {
  QMessageBox box(QMessageBox::NoIcon, QStringLiteral("実行時エラー"), message,
                  QMessageBox::NoButton, parent);
  box.addButton(QStringLiteral("OK"), QMessageBox::AcceptRole);
  clearIcons(box);
  box.exec();
}

}  // namespace forms
