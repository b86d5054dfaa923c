// Labels: plain text, no margins, the label's two colours.
#include <QEvent>
#include <QFontMetricsF>
#include <QPaintEvent>
#include <QPainter>

#include <algorithm>
#include <cmath>
#include <utility>

#include "forms/qt/color.h"
#include "forms/qt/fonts.h"
#include "forms/qt/peers.h"

namespace forms::qt {

QString ToQString(std::string_view utf8) {
  return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

TextLabel::TextLabel(QWidget* parent, QColor back, QColor fore, Qt::Alignment alignment,
                     bool wordWrap)
    : QWidget(parent), back_(back), fore_(fore), alignment_(alignment), wordWrap_(wordWrap) {
  // The ground is solid: nothing beneath the label needs painting first.
  setAttribute(Qt::WA_OpaquePaintEvent);
}

bool TextLabel::drawnAsLine(const QString& text) const {
  // Qt breaks lines at these and expands tabs, so such texts are drawn its own way.
  return !wordWrap_ && alignment_.testFlag(Qt::AlignLeft) &&
         std::none_of(text.cbegin(), text.cend(), [](QChar c) {
           return c == u'\n' || c == u'\r' || c == u'\t' || c == QChar::LineSeparator;
         });
}

namespace {

// Where the text's character `position` begins on its laid-out line [px].
qreal XAt(const QTextLayout& line, qsizetype position) {
  return line.lineAt(0).cursorToX(static_cast<int>(position));
}

}  // namespace

QTextLayout& TextLabel::line() {
  if (line_) return *line_;
  // As QPainter lays out one unwrapped line of a label: left to right, trailing blanks kept.
  line_ = std::make_unique<QTextLayout>(text_, font());
  QTextOption option;
  option.setTextDirection(Qt::LeftToRight);
  option.setFlags(QTextOption::IncludeTrailingSpaces);
  line_->setTextOption(option);
  line_->setCacheEnabled(true);
  line_->beginLayout();
  QTextLine only = line_->createLine();
  only.setLineWidth(0x01000000);
  only.setPosition(QPointF(0, 0));
  line_->endLayout();
  return *line_;
}

std::optional<qreal> TextLabel::lineAdvance() {
  if (!drawnAsLine(text_)) return std::nullopt;
  return text_.isEmpty() ? 0.0 : line().lineAt(0).horizontalAdvance();
}

void TextLabel::setText(const QString& text) {
  if (text == text_) return;
  const QString oldText = std::exchange(text_, text);
  const std::unique_ptr<QTextLayout> old = std::move(line_);
  if (!isVisible() || !old || !drawnAsLine(oldText) || !drawnAsLine(text_) || text_.isEmpty() ||
      oldText.isEmpty()) {
    update();
    return;
  }
  // Only the glyphs from the first changed character on can look different; one character more
  // is taken in case the change alters how the last common one joins its neighbour.
  const auto common = std::mismatch(text_.cbegin(), text_.cend(), oldText.cbegin(), oldText.cend());
  qsizetype same = std::max<qsizetype>(0, (common.first - text_.cbegin()) - 1);
  if (same > 0 && text_.at(same - 1).isHighSurrogate()) --same;
  const qreal from = std::min(XAt(*old, same), XAt(line(), same));
  // A glyph may reach left of its own place by a fraction of the font's height.
  const int reach = QFontMetrics(font()).height() / 4 + 1;
  const int left = std::max(0, static_cast<int>(std::floor(from)) - reach);
  update(QRect(left, 0, width() - left, height()));
}

void TextLabel::changeEvent(QEvent* event) {
  if (event->type() == QEvent::FontChange) line_.reset();
  QWidget::changeEvent(event);
}

void TextLabel::paintEvent(QPaintEvent* event) {
  QPainter painter(this);
  painter.fillRect(event->rect(), back_);
  if (text_.isEmpty()) return;
  painter.setPen(fore_);
  if (drawnAsLine(text_)) {
    line().draw(&painter, QPointF(0, 0));
  } else {
    // As a QLabel draws plain text.
    const int flags = static_cast<int>(alignment_) | Qt::TextForceLeftToRight |
                      (wordWrap_ ? Qt::TextWordWrap : 0);
    painter.drawText(rect(), flags, text_);
  }
}

LabelWidgetPeer::LabelWidgetPeer(QWidget* container, const LabelLook& look)
    : PeerWidget(new TextLabel(container, ToQColor(look.back), ToQColor(look.fore),
                               (look.centred ? Qt::AlignHCenter : Qt::AlignLeft) | Qt::AlignTop,
                               look.wordWrap)),
      label_(static_cast<TextLabel*>(widget())),
      autoSize_(look.autoSize) {
  setFont(ToQFont(look.font));
}

void LabelWidgetPeer::setText(std::string_view utf8) {
  label_->setText(ToQString(utf8));
}

LabelPeer::TextSize LabelWidgetPeer::measure(std::string_view utf8) const {
  // Rounded up here, in double precision, so that an advance a hair above a whole pixel is not
  // lost to the single-precision result.
  const QFontMetricsF metrics(logicalFont());
  const QString text = ToQString(utf8);
  // The label's own line, laid out once for measuring and drawing, when it is in this font.
  std::optional<qreal> advance;
  if (scale() == 1.0 && text == label_->text()) advance = label_->lineAdvance();
  return {static_cast<float>(std::ceil(advance ? *advance : metrics.horizontalAdvance(text))),
          static_cast<float>(std::ceil(metrics.height()))};
}

void LabelWidgetPeer::applyGeometry() {
  PeerWidget::applyGeometry();
  if (!autoSize_ || scale() == 1.0) return;
  // Text does not widen exactly with its font's size: shown at another scale, an auto-size label
  // is made wide and high enough for its text in the scaled font, so that no digit is cut off.
  const QFontMetricsF metrics(label_->font());
  const std::optional<qreal> advance = label_->lineAdvance();
  const QSize text(
      static_cast<int>(std::ceil(advance ? *advance : metrics.horizontalAdvance(label_->text()))),
      static_cast<int>(std::ceil(metrics.height())));
  if (text.width() > label_->width() || text.height() > label_->height())
    label_->resize(label_->size().expandedTo(text));
}

}  // namespace forms::qt
