#pragma once
// What every control of the forms runtime shares: a name, and Left/Top/Width/Height held as the
// single-precision model values and shown through a Qt widget at the nearest pixel. Every change
// is traced. The control does not own its widget; the widget's Qt parent does. On a scaled window
// the widget shows the logical pixels magnified, text in a font of the scaled size; the model
// values and the trace stay in logical pixels.

#include <QFont>
#include <QRect>
#include <QString>

#include <optional>

class QWidget;

namespace forms {

class ScaledWindow;

class Control {
 public:
  Control(QString name, QWidget* widget);
  virtual ~Control();
  Control(const Control&) = delete;
  Control& operator=(const Control&) = delete;

  const QString& name() const { return name_; }
  QWidget* widget() const { return widget_; }

  float left() const { return left_; }
  float top() const { return top_; }
  float width() const { return width_; }
  float height() const { return height_; }
  void setLeft(float value);
  void setTop(float value);
  void setWidth(float value);
  void setHeight(float value);

  bool isVisible() const { return visible_; }
  void setVisible(bool visible);

 protected:
  // The font the control's text is laid out in [logical px]; shown at the window's scale.
  void setFont(const QFont& font);
  const QFont& logicalFont() const { return *font_; }
  // Device pixels per logical pixel of the window the control lies on (1 off a scaled window).
  double scale() const;
  // Sets the model values without tracing (construction, auto size, natural picture size).
  void setGeometryQuietly(float left, float top, float width, float height);
  void setSizeQuietly(float width, float height);
  void trace(const QString& operation) const;
  // Shows the model geometry on the widget.
  virtual void applyGeometry();
  // Where the model geometry is shown, in the pixels of the widget's parent.
  QRect shownGeometry() const;
  ScaledWindow* scaledWindow() const { return window_; }
  // Shows the control anew after the window's scale changed: its font, then its geometry.
  virtual void applyScale();

 private:
  friend class ScaledWindow;
  void setDimension(float& field, const char* property, float value);

  QString name_;
  QWidget* widget_;
  ScaledWindow* window_;
  std::optional<QFont> font_;
  float left_ = 0;
  float top_ = 0;
  float width_ = 0;
  float height_ = 0;
  bool visible_ = true;
};

// The nearest pixel of a single-precision coordinate.
int toPixel(float value);

}  // namespace forms
