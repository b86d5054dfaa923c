#include "forms/message_box.h"

#include <QAbstractButton>
#include <QIcon>
#include <QMessageBox>
#include <QPushButton>

#include "forms/trace.h"

namespace forms {
namespace {

constexpr int kOk = 1;

void clearIcons(QMessageBox& box) {
  // Desktop themes put icons on the standard buttons; the runtime's boxes have none.
  for (QAbstractButton* button : box.buttons()) button->setIcon(QIcon());
}

}  // namespace

int MsgBox(QWidget* parent, const QString& owner, const QString& prompt, int code,
           const QString& title, const std::function<void(int)>& onAnswer) {
  QMessageBox box(QMessageBox::NoIcon, title, prompt, QMessageBox::NoButton, parent);
  int answer = kOk;
  if (code == kYesNo) {
    // "はい(Y)" and "いいえ(N)" as the Japanese desktop writes them: Y or N, with or without
    // Alt, answers the box.
    QPushButton* yes = box.addButton(QStringLiteral("はい(&Y)"), QMessageBox::YesRole);
    QPushButton* no = box.addButton(QStringLiteral("いいえ(&N)"), QMessageBox::NoRole);
    box.setDefaultButton(yes);
    box.setEscapeButton(no);
    if (onAnswer) {
      QObject::connect(&box, &QMessageBox::buttonClicked, &box, [&](QAbstractButton* pressed) {
        onAnswer(pressed == static_cast<QAbstractButton*>(yes) ? kYes : kNo);
      });
    }
    clearIcons(box);
    box.exec();
    answer = box.clickedButton() == static_cast<QAbstractButton*>(yes) ? kYes : kNo;
  } else {
    box.addButton(QStringLiteral("OK"), QMessageBox::AcceptRole);
    clearIcons(box);
    box.exec();
  }
  if (tracing()) {
    traceLine(owner + QStringLiteral(" MsgBox ") + quoted(prompt) + QLatin1Char(' ') +
              QString::number(code) + QLatin1Char(' ') + quoted(title) + QStringLiteral(" = ") +
              QString::number(answer));
  }
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
