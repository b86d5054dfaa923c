#pragma once
// The Qt Widgets peers of the forms layer's controls and window. Internal to the Qt backend;
// tests reach them through forms/qt/access.h.

#include <QImage>
#include <QPixmap>
#include <QPointer>
#include <QPushButton>
#include <QTextLayout>

#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include "forms/backend.h"
#include "forms/qt/peer_widget.h"
#include "forms/qt/scaled_window.h"

namespace forms::qt {

// The widget of a label: its text in one colour on a solid ground, drawn as Qt draws a plain-text
// label. A left-aligned line of text is laid out once per caption, for measuring and for every
// repaint, and a new caption repaints only from its first changed character on: a running
// read-out's leading text stays as it is while its count changes.
class TextLabel : public QWidget {
 public:
  TextLabel(QWidget* parent, QColor back, QColor fore, Qt::Alignment alignment, bool wordWrap);
  const QString& text() const { return text_; }
  void setText(const QString& text);
  // The text's advance in the widget's font [px], trailing blanks included; nullopt when the
  // text is not drawn as one laid-out line.
  std::optional<qreal> lineAdvance();

 protected:
  void paintEvent(QPaintEvent* event) override;
  void changeEvent(QEvent* event) override;

 private:
  bool drawnAsLine(const QString& text) const;
  // The text laid out as one line, made on first use.
  QTextLayout& line();

  QColor back_;
  QColor fore_;
  Qt::Alignment alignment_;
  bool wordWrap_;
  QString text_;
  std::unique_ptr<QTextLayout> line_;
};

class LabelWidgetPeer final : public LabelPeer, public PeerWidget {
 public:
  LabelWidgetPeer(QWidget* container, const LabelLook& look);
  void setGeometry(const PixelRect& rect) override { showRect(rect); }
  void setVisible(bool visible) override { widget()->setVisible(visible); }
  void setText(std::string_view utf8) override;
  TextSize measure(std::string_view utf8) const override;
  void applyGeometry() override;

 private:
  TextLabel* label_;
  bool autoSize_;
};

class ButtonWidgetPeer final : public ButtonPeer, public PeerWidget {
 public:
  ButtonWidgetPeer(QWidget* container, const FontSpec& font);
  void setGeometry(const PixelRect& rect) override { showRect(rect); }
  void setVisible(bool visible) override { widget()->setVisible(visible); }
  void setText(std::string_view utf8) override;
  void setFaceColor(Color color) override;
  void setFocus() override { button_->setFocus(); }
  void onClick(std::function<void()> handler) override;
  QPushButton* button() const { return button_; }

 private:
  QPushButton* button_;
};

// The widget of a picture box: paints the model's buffer, magnified to its size.
class Surface : public QWidget {
 public:
  Surface(QWidget* parent, const std::uint32_t* pixels, int width, int height);
  // The model's buffer, seen as an RGB32 image without a copy.
  const QImage& image() const { return image_; }
  // Schedules the repaint of the surface pixels that show `area` of the image [image px].
  void updateImage(const QRect& area);

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  QImage image_;
};

class SurfaceWidgetPeer final : public SurfacePeer, public PeerWidget, public QtContainer {
 public:
  SurfaceWidgetPeer(QWidget* container, const std::uint32_t* pixels, int width, int height);
  void setGeometry(const PixelRect& rect) override { showRect(rect); }
  void setVisible(bool visible) override { widget()->setVisible(visible); }
  void imageChanged(const PixelRect& dirty) override;
  QWidget* containerWidget() const override { return widget(); }
  Surface* surface() const { return surface_; }

 private:
  Surface* surface_;
};

class BodyLayer;

// The place of an image control on its container. The widget itself is never shown: the
// container's body layer draws every picture on it, so that a moving body costs a repaint of
// the two areas it leaves and enters and no widget move.
class BodyWidget : public QWidget {
 public:
  explicit BodyWidget(QWidget* container);
  ~BodyWidget() override;
  const QPixmap& pixmap() const { return pixmap_; }
  void setPixmap(const QPixmap& pixmap);
  void clear() { setPixmap(QPixmap()); }
  bool shown() const { return shown_; }
  void setShown(bool shown);
  // Repaints where the body was and where it is now.
  void moved(const QRect& before);

 private:
  void repaint(const QRect& area);
  QPointer<BodyLayer> layer_;
  QPixmap pixmap_;
  bool shown_ = true;
};

// A transparent widget over the whole of its container that draws the container's bodies, in
// the order they were made; the window keeps it above the container's labels.
class BodyLayer : public QWidget {
 public:
  // The container's layer, made on first use.
  static BodyLayer* of(QWidget* container);
  void add(BodyWidget* body) { bodies_.push_back(body); }
  void remove(BodyWidget* body);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  void paintEvent(QPaintEvent* event) override;

 private:
  explicit BodyLayer(QWidget* container);
  std::vector<BodyWidget*> bodies_;
};

class ImageWidgetPeer final : public ImagePeer, public PeerWidget {
 public:
  explicit ImageWidgetPeer(QWidget* surface);
  void setGeometry(const PixelRect& rect) override { showRect(rect); }
  void setVisible(bool visible) override { body_->setShown(visible); }
  void setPicture(const kepler::Picture* picture) override;
  void applyGeometry() override;

 protected:
  void placeChanged(const QRect& before) override { body_->moved(before); }

 private:
  // Hands the picture, magnified to the body's shown size, to the body layer.
  void showPicture();
  BodyWidget* body_;
  QImage picture_;
  QSize shown_;  // the size the picture is shown at [px]; empty before it is first shown
};

// The top-level widget of a form: a client area of a fixed logical size, shown at whatever size
// the window has; closing it calls the model's handler.
class FormWidget final : public ScaledWindow {
 public:
  using ScaledWindow::ScaledWindow;
  std::function<void()> closed;

 protected:
  void closeEvent(QCloseEvent* event) override;
};

class WindowWidgetPeer final : public WindowPeer, public QtContainer {
 public:
  WindowWidgetPeer(int clientWidth, int clientHeight);
  void setTitle(std::string_view utf8) override;
  void setBackground(Color color) override;
  void setTabOrder(const std::vector<ButtonPeer*>& buttons) override;
  void show() override;
  void onClose(std::function<void()> handler) override { window_->closed = std::move(handler); }
  QWidget* containerWidget() const override { return window_.get(); }
  FormWidget* window() const { return window_.get(); }

 private:
  std::unique_ptr<FormWidget> window_;
};

// Text handed across the boundary, as Qt's.
QString ToQString(std::string_view utf8);

}  // namespace forms::qt
