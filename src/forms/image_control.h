#pragma once
// An image control of the forms runtime without stretching: it shows its picture at the
// picture's natural size, GIF transparency kept, above the drawing of the picture box that holds
// it and clipped to it. Without a picture it shows nothing.

#include <string>

#include "core/picture.h"
#include "forms/control.h"

namespace forms {

class PictureBox;

class ImageControl : public Control {
 public:
  ImageControl(std::string name, PictureBox& box, float left, float top, float width, float height);

  // Assigns a loaded picture; the control takes its natural size.
  void setPicture(kepler::Picture picture, const std::string& fileName);
  const kepler::Picture& picture() const { return picture_; }

 private:
  kepler::Picture picture_;
};

}  // namespace forms
