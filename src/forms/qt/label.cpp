// Labels as QLabels: plain text, no margins, the label's two colours.
#include <QFontMetricsF>

#include <cmath>

#include "forms/qt/colour.h"
#include "forms/qt/fonts.h"
#include "forms/qt/peers.h"

namespace forms::qt {

QString ToQString(std::string_view utf8) {
  return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

LabelWidgetPeer::LabelWidgetPeer(QWidget* container, const LabelLook& look)
    : PeerWidget(new QLabel(container)),
      label_(static_cast<QLabel*>(widget())),
      autoSize_(look.autoSize) {
  setFont(ToQFont(look.font));
  label_->setTextFormat(Qt::PlainText);
  label_->setWordWrap(look.wordWrap);
  label_->setAlignment((look.centred ? Qt::AlignHCenter : Qt::AlignLeft) | Qt::AlignTop);
  label_->setMargin(0);
  label_->setIndent(0);
  label_->setContentsMargins(0, 0, 0, 0);
  QPalette palette = label_->palette();
  palette.setColor(QPalette::Window, ToQColor(look.back));
  palette.setColor(QPalette::WindowText, ToQColor(look.fore));
  label_->setPalette(palette);
  label_->setAutoFillBackground(true);
}

void LabelWidgetPeer::setText(std::string_view utf8) {
  label_->setText(ToQString(utf8));
}

LabelPeer::TextSize LabelWidgetPeer::measure(std::string_view utf8) const {
  // Rounded up here, in double precision, so that an advance a hair above a whole pixel is not
  // lost to the single-precision result.
  const QFontMetricsF metrics(logicalFont());
  return {static_cast<float>(std::ceil(metrics.horizontalAdvance(ToQString(utf8)))),
          static_cast<float>(std::ceil(metrics.height()))};
}

void LabelWidgetPeer::applyGeometry() {
  PeerWidget::applyGeometry();
  if (!autoSize_ || scale() == 1.0) return;
  // Text does not widen exactly with its font's size: shown at another scale, an auto-size label
  // is made wide and high enough for its text in the scaled font, so that no digit is cut off.
  const QFontMetricsF metrics(label_->font());
  const QSize text(static_cast<int>(std::ceil(metrics.horizontalAdvance(label_->text()))),
                   static_cast<int>(std::ceil(metrics.height())));
  if (text.width() > label_->width() || text.height() > label_->height())
    label_->resize(label_->size().expandedTo(text));
}

}  // namespace forms::qt
