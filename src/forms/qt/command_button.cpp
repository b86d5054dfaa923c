// Buttons as QPushButtons painted in the old runtime's graphical style.
#include <QKeyEvent>
#include <QMetaObject>
#include <QPainter>
#include <QPushButton>

#include <algorithm>

#include "forms/qt/color.h"
#include "forms/qt/fonts.h"
#include "forms/qt/peers.h"

namespace forms::qt {
namespace {

// The old runtime's graphical button, painted here rather than by the widget style: a flat face
// in the button's own colour inside a two-pixel bevel, raised at rest and sunken while pressed,
// the caption one pixel down and right while pressed, and a dotted focus mark in the caption
// colour. Hovering changes nothing.
class GraphicalButton : public QPushButton {
 public:
  using QPushButton::QPushButton;

 protected:
  void paintEvent(QPaintEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
};

// One ring of the bevel, `inset` pixels in from the edge: the top and left sides in one colour,
// the bottom and right sides, which own the two far corners, in the other.
void drawBevelRing(QPainter& painter, const QRect& area, int inset, const QColor& topLeft,
                   const QColor& bottomRight) {
  const QRect r = area.adjusted(inset, inset, -inset, -inset);
  if (r.width() < 2 || r.height() < 2) return;
  painter.fillRect(r.left(), r.top(), r.width() - 1, 1, topLeft);
  painter.fillRect(r.left(), r.top(), 1, r.height() - 1, topLeft);
  painter.fillRect(r.left(), r.bottom(), r.width(), 1, bottomRight);
  painter.fillRect(r.right(), r.top(), 1, r.height(), bottomRight);
}

// A one-pixel rectangle outline of dots two pixels long with two-pixel gaps: coarser than a
// pixel-by-pixel dotting, so that it survives a projector's scaling.
void drawDottedFrame(QPainter& painter, const QRect& r, const QColor& color) {
  constexpr int kDot = 2;   // [px]
  constexpr int kStep = 4;  // [px] from one dot's start to the next
  for (int x = r.left(); x <= r.right(); x += kStep) {
    const int length = std::min(kDot, r.right() - x + 1);
    painter.fillRect(x, r.top(), length, 1, color);
    painter.fillRect(x, r.bottom(), length, 1, color);
  }
  for (int y = r.top(); y <= r.bottom(); y += kStep) {
    const int length = std::min(kDot, r.bottom() - y + 1);
    painter.fillRect(r.left(), y, 1, length, color);
    painter.fillRect(r.right(), y, 1, length, color);
  }
}

void GraphicalButton::paintEvent(QPaintEvent*) {
  constexpr int kBevel = 2;       // [px] the bevel's width
  constexpr int kFocusInset = 4;  // [px] from the edge to the focus mark
  QPainter painter(this);
  const QRect area = rect();
  const bool sunken = isDown();
  painter.fillRect(area, palette().color(QPalette::Button));
  if (sunken) {
    drawBevelRing(painter, area, 0, ToQColor(systemButtonShadow()), ToQColor(system3DHighlight()));
    drawBevelRing(painter, area, 1, ToQColor(system3DDarkShadow()), ToQColor(system3DLight()));
  } else {
    drawBevelRing(painter, area, 0, ToQColor(system3DHighlight()), ToQColor(system3DDarkShadow()));
    drawBevelRing(painter, area, 1, ToQColor(system3DLight()), ToQColor(systemButtonShadow()));
  }

  const QColor captionColor = palette().color(QPalette::ButtonText);
  QRect captionArea = area.adjusted(kBevel, kBevel, -kBevel, -kBevel);
  if (sunken) captionArea.translate(1, 1);
  painter.save();
  painter.setPen(captionColor);
  painter.setFont(font());
  // The shown text escapes an ampersand as "&&"; drawing it with mnemonics on shows one.
  painter.drawText(captionArea, Qt::AlignCenter | Qt::TextShowMnemonic, text());
  painter.restore();

  if (hasFocus()) {
    drawDottedFrame(painter, area.adjusted(kFocusInset, kFocusInset, -kFocusInset, -kFocusInset),
                    captionColor);
  }
}

void GraphicalButton::keyPressEvent(QKeyEvent* event) {
  // Enter clicks the focused button as Space does, so that a presenter's remote, which sends
  // Enter, can start a demonstration. A held key clicks once.
  const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
  const auto chord = Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier;
  if (enter && !(event->modifiers() & chord)) {
    event->accept();
    if (!event->isAutoRepeat()) click();
    return;
  }
  QPushButton::keyPressEvent(event);
}

}  // namespace

ButtonWidgetPeer::ButtonWidgetPeer(QWidget* container, const FontSpec& font)
    : PeerWidget(new GraphicalButton(container)), button_(static_cast<QPushButton*>(widget())) {
  setFont(ToQFont(font));
  button_->setAutoDefault(false);
  button_->setFocusPolicy(Qt::StrongFocus);
  button_->setAttribute(Qt::WA_OpaquePaintEvent);
  QPalette palette = button_->palette();
  palette.setColor(QPalette::Button, ToQColor(systemButtonFace()));
  palette.setColor(QPalette::ButtonText, ToQColor(systemButtonText()));
  button_->setPalette(palette);
}

void ButtonWidgetPeer::setText(std::string_view utf8) {
  // An ampersand would mark a mnemonic in Qt; the runtime's captions show it as written.
  QString shown = ToQString(utf8);
  shown.replace(QLatin1Char('&'), QStringLiteral("&&"));
  button_->setText(shown);
}

void ButtonWidgetPeer::setFaceColor(Color color) {
  QPalette palette = button_->palette();
  palette.setColor(QPalette::Button, ToQColor(color));
  button_->setPalette(palette);
}

void ButtonWidgetPeer::onClick(std::function<void()> handler) {
  QObject::connect(button_, &QPushButton::clicked, button_,
                   [handler = std::move(handler)] { handler(); });
}

}  // namespace forms::qt
