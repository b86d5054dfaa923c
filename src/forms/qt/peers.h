#pragma once
// The Qt Widgets peers of the forms layer's controls and window. Internal to the Qt backend;
// tests reach them through forms/qt/access.h.

#include <QImage>
#include <QPixmap>
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

// The widget of an image control: its picture, already at the shown size, over whatever lies
// beneath it (the picture's transparent pixels let it through).
class BodyWidget : public QWidget {
 public:
  using QWidget::QWidget;
  void setPixmap(const QPixmap& pixmap);

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  QPixmap pixmap_;
};

class ImageWidgetPeer final : public ImagePeer, public PeerWidget {
 public:
  explicit ImageWidgetPeer(QWidget* surface);
  void setGeometry(const PixelRect& rect) override { showRect(rect); }
  void setVisible(bool visible) override { body_->setVisible(visible); }
  void setPicture(const kepler::Picture* picture) override;
  void applyGeometry() override;

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
