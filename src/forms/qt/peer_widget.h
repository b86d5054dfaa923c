#pragma once
// What every Qt peer shares: the widget that shows a control, the control's last pixel rectangle
// in logical pixels, and the logical font of its text. On a scaled window the widget shows the
// logical pixels magnified, text in a font of the scaled size. The peer owns its widget.

#include <QFont>
#include <QPointer>
#include <QRect>
#include <QWidget>

#include <optional>

#include "forms/backend.h"

namespace forms::qt {

class ScaledWindow;

class PeerWidget {
 public:
  explicit PeerWidget(QWidget* widget);
  virtual ~PeerWidget();
  PeerWidget(const PeerWidget&) = delete;
  PeerWidget& operator=(const PeerWidget&) = delete;

  QWidget* widget() const { return widget_; }
  // Shows the logical rectangle on the widget.
  virtual void applyGeometry();
  // Shows the control anew after the window's scale changed: its font, then its geometry.
  virtual void applyScale();

 protected:
  void showRect(const PixelRect& rect);
  // The font the control's text is laid out in [logical px]; shown at the window's scale.
  void setFont(const QFont& font);
  const QFont& logicalFont() const { return *font_; }
  // Device pixels per logical pixel of the window the control lies on (1 off a scaled window).
  double scale() const;
  // Where the logical rectangle is shown, in the pixels of the widget's parent.
  QRect shownGeometry() const;
  ScaledWindow* scaledWindow() const { return window_; }

 private:
  QPointer<QWidget> widget_;
  QPointer<ScaledWindow> window_;
  std::optional<QFont> font_;
  QRect logical_;
};

// The Qt side of a container: the widget controls placed in it are children of.
class QtContainer {
 public:
  virtual ~QtContainer() = default;
  virtual QWidget* containerWidget() const = 0;
};

QWidget* ContainerWidget(ContainerPeer& container);

}  // namespace forms::qt
