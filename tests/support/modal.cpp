#include "modal.h"

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QRegularExpression>
#include <QTimer>

namespace testing_support {
namespace {

// Whether a button is the one named: by the text a person reads on it ("はい(Y)" for
// "はい(&Y)"), or by that text without its access key in brackets ("はい").
bool isNamed(const QAbstractButton* button, const QString& wanted) {
  QString shown;
  const QString text = button->text();
  for (qsizetype i = 0; i < text.size(); ++i) {
    if (text[i] == QLatin1Char('&') && i + 1 < text.size()) ++i;  // "&&" reads as "&"
    shown += text[i];
  }
  static const QRegularExpression accessKey(QStringLiteral("\\(.\\)$"));
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

}  // namespace testing_support

namespace testing_support {

void ClearApplicationExit() {
  QTimer::singleShot(0, qApp, [] { QCoreApplication::exit(0); });
  QCoreApplication::exec();
}

}  // namespace testing_support
