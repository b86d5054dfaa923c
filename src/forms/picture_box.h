#pragma once
// A picture box of the forms runtime: a surface whose drawing persists in its own image
// (RGB32), so it survives covering and reaches the screen at the next paint. It draws circle and
// ellipse outlines and filled boxes in pixel coordinates, and holds image controls as children,
// which lie above the drawing and are clipped to it. The image keeps the logical size; on a
// scaled window it is magnified to the surface when painted.

#include <QImage>
#include <QWidget>

#include <optional>

#include "forms/color.h"
#include "forms/control.h"

namespace forms {

class Surface : public QWidget {
 public:
  explicit Surface(QWidget* parent) : QWidget(parent) { setAttribute(Qt::WA_OpaquePaintEvent); }
  QImage image;
  // Schedules the repaint of the surface pixels that show `area` of the image [image px].
  void updateImage(const QRect& area);

 protected:
  void paintEvent(QPaintEvent* event) override;
};

class PictureBox : public Control {
 public:
  PictureBox(const QString& name, QWidget* container, Color back, Color fore, float left, float top,
             float width, float height);

  Color backColor() const { return back_; }
  Color foreColor() const { return fore_; }
  const QImage& image() const { return surface_->image; }
  // The widget that image controls and labels inside the picture box are children of.
  QWidget* surface() const { return surface_; }

  // Clears the surface and its stored image to the background colour.
  void Cls();
  // An outline of the given radius [px]; without a colour in the foreground colour; with an
  // aspect below 1 an ellipse whose vertical semi-axis is radius x aspect.
  void Circle(float x, float y, float radius, std::optional<Color> color = std::nullopt,
              std::optional<float> aspect = std::nullopt);
  // The box between two corners, both corners' pixels included, filled with the colour.
  void BoxFill(float x1, float y1, float x2, float y2, Color color);

 protected:
  void applyGeometry() override;

 private:
  Surface* surface_;
  Color back_;
  Color fore_;
};

}  // namespace forms
