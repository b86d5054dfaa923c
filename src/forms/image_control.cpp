#include "forms/image_control.h"

#include "forms/picture_box.h"
#include "forms/trace.h"

namespace forms {

ImageControl::ImageControl(std::string name, PictureBox& box, float left, float top, float width,
                           float height)
    : Control(std::move(name)) {
  attachPeer(MakeImagePeer(box.surface(), this->name()));
  setGeometryQuietly(left, top, width, height);
}

void ImageControl::setPicture(kepler::Picture picture, const std::string& fileName) {
  trace("Picture " + quoted(fileName));
  picture_ = std::move(picture);
  static_cast<ImagePeer&>(peer()).setPicture(&picture_);
  setSizeQuietly(static_cast<float>(picture_.width), static_cast<float>(picture_.height));
}

}  // namespace forms
