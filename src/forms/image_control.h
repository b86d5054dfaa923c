#pragma once
// An image control of the forms runtime without stretching: it shows its picture at the
// picture's natural size, GIF transparency kept, above the drawing of the picture box that holds
// it and clipped to it. Without a picture it shows nothing.

#include <QImage>

#include "forms/control.h"

class QLabel;
class QWidget;

namespace forms {

class ImageControl : public Control {
 public:
  ImageControl(const QString& name, QWidget* surface, float left, float top, float width,
               float height);

  // Assigns a loaded picture; the control takes its natural size.
  void setPicture(const QImage& picture, const QString& fileName);

 protected:
  void applyGeometry() override;

 private:
  QLabel* label_;
  QImage picture_;
  QSize shown_;  // the size the picture is shown at [px]; empty before it is first shown
};

// Loads a BMP or GIF picture named by a bare file name from the working directory, decoded by the
// core (kepler::LoadPictureFile) and wrapped as an ARGB32 image. A missing, unreadable, damaged or
// oversized file throws kepler::RuntimeError naming the file, the cause and the folder searched.
QImage LoadPicture(const QString& fileName);

}  // namespace forms
