#include "forms/command_button.h"

#include <QMetaObject>
#include <QPushButton>

#include "forms/trace.h"

namespace forms {

CommandButton::CommandButton(const QString& name, QWidget* container, const QFont& font)
    : Control(name, new QPushButton(container)), button_(static_cast<QPushButton*>(widget())) {
  setFont(font);
  button_->setAutoDefault(false);
  button_->setFocusPolicy(Qt::StrongFocus);
  back_ = systemButtonFace();
}

void CommandButton::setCaption(const QString& text) {
  caption_ = text;
  if (tracing()) traceLine(name() + QStringLiteral(" Caption ") + quoted(text));
  // An ampersand would mark a mnemonic in Qt; the runtime's captions show it as written.
  QString shown = text;
  shown.replace(QLatin1Char('&'), QStringLiteral("&&"));
  button_->setText(shown);
}

void CommandButton::setBackColor(Color color) {
  back_ = color;
  if (tracing()) traceLine(name() + QStringLiteral(" BackColor ") + QString::number(color));
  QPalette palette = button_->palette();
  palette.setColor(QPalette::Button, toQColor(color));
  button_->setPalette(palette);
}

void CommandButton::onClick(std::function<void()> handler) {
  QObject::connect(button_, &QPushButton::clicked, button_,
                   [handler = std::move(handler)] { handler(); });
}

void CommandButton::postClick() {
  QMetaObject::invokeMethod(button_, &QPushButton::click, Qt::QueuedConnection);
}

}  // namespace forms
