#include "forms/label.h"

#include <QFontMetricsF>
#include <QLabel>

#include <cmath>

#include "forms/trace.h"

namespace forms {

Label::Label(const QString& name, QWidget* container, const QFont& font, Color back, Color fore,
             const QString& caption, LabelStyle style, float left, float top, float width,
             float height)
    : Control(name, new QLabel(container)),
      label_(static_cast<QLabel*>(widget())),
      caption_(caption),
      back_(back),
      fore_(fore),
      style_(style) {
  setFont(font);
  label_->setTextFormat(Qt::PlainText);
  label_->setWordWrap(style.wordWrap);
  label_->setAlignment((style.centred ? Qt::AlignHCenter : Qt::AlignLeft) | Qt::AlignTop);
  label_->setMargin(0);
  label_->setIndent(0);
  label_->setContentsMargins(0, 0, 0, 0);
  QPalette palette = label_->palette();
  palette.setColor(QPalette::Window, toQColor(back));
  palette.setColor(QPalette::WindowText, toQColor(fore));
  label_->setPalette(palette);
  label_->setAutoFillBackground(true);
  label_->setText(caption);
  setGeometryQuietly(left, top, width, height);
  if (style_.autoSize) fitToText();
}

void Label::setCaption(const QString& text) {
  if (tracing()) traceLine(name() + QStringLiteral(" Caption ") + quoted(text));
  if (text == caption_) return;  // nothing to show anew: the day count repeats for five frames
  caption_ = text;
  label_->setText(text);
  if (style_.autoSize) fitToText();
}

void Label::fitToText() {
  // An auto-size label is as wide as its text, trailing blanks included, and one line high.
  const QFontMetricsF metrics(logicalFont());
  const auto width = static_cast<float>(std::ceil(metrics.horizontalAdvance(caption_)));
  const auto height = static_cast<float>(std::ceil(metrics.height()));
  setSizeQuietly(width, height);
}

void Label::applyGeometry() {
  Control::applyGeometry();
  if (!style_.autoSize || scale() == 1.0) return;
  // Text does not widen exactly with its font's size: shown at another scale, an auto-size label
  // is made wide and high enough for its text in the scaled font, so that no digit is cut off.
  const QFontMetricsF metrics(label_->font());
  const QSize text(static_cast<int>(std::ceil(metrics.horizontalAdvance(caption_))),
                   static_cast<int>(std::ceil(metrics.height())));
  if (text.width() > label_->width() || text.height() > label_->height())
    label_->resize(label_->size().expandedTo(text));
}

}  // namespace forms
