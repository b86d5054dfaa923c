#include "modal.h"

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QRegularExpression>
#include <QTimer>

namespace testing_support {
namespace {

// Whether a button is the one named: by its text with or without its access key ("はい(&Y)" is
// "はい(Y)" and "はい").
bool isNamed(const QAbstractButton* button, const QString& wanted) {
  static const QRegularExpression accessKey(QStringLiteral("\\(.\\)$"));
  const QString shown = QString(button->text()).remove(QLatin1Char('&'));
  return shown == wanted || QString(shown).remove(accessKey) == wanted;
}

}  // namespace

void ModalAnswerer::answer(const QString& buttonText) {
  queue_.append(buttonText);
  ++pending_;
  QTimer::singleShot(0, &context_, [this] { poll(); });
}

void ModalAnswerer::poll() {
  auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
  if (!box || queue_.isEmpty()) {
    if (!queue_.isEmpty()) QTimer::singleShot(0, &context_, [this] { poll(); });
    return;
  }
  const QString wanted = queue_.takeFirst();
  seen_.append(box->windowTitle() + QLatin1Char('|') + box->text());
  for (QAbstractButton* button : box->buttons()) {
    if (isNamed(button, wanted)) {
      --pending_;
      button->click();
      return;
    }
  }
  seen_.append(QStringLiteral("no button ") + wanted);
  --pending_;
  box->reject();
}

void ClearApplicationExit() {
  QTimer::singleShot(0, qApp, [] { QCoreApplication::exit(0); });
  QCoreApplication::exec();
}

}  // namespace testing_support
