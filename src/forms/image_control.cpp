#include "forms/image_control.h"

#include <QLabel>
#include <QPixmap>

#include <cstdint>
#include <cstring>

#include "core/picture.h"
#include "forms/scaled_window.h"
#include "forms/trace.h"

namespace forms {

ImageControl::ImageControl(const QString& name, QWidget* surface, float left, float top,
                           float width, float height)
    : Control(name, new QLabel(surface)), label_(static_cast<QLabel*>(widget())) {
  label_->setAttribute(Qt::WA_TranslucentBackground);
  label_->setScaledContents(false);
  label_->setContentsMargins(0, 0, 0, 0);
  setGeometryQuietly(left, top, width, height);
}

void ImageControl::setPicture(const QImage& picture, const QString& fileName) {
  traceLine(name() + QStringLiteral(" Picture ") + quoted(fileName));
  picture_ = picture;
  shown_ = QSize();
  setSizeQuietly(static_cast<float>(picture.width()), static_cast<float>(picture.height()));
}

void ImageControl::applyGeometry() {
  // A body that only moves is moved on the screen when the window next repaints: of the frames
  // placed between two refreshes only the last is seen, and each move costs Qt region work.
  ScaledWindow* window = scaledWindow();
  if (window && window->defersMoves() && shownGeometry().size() == label_->size()) {
    window->deferMove(this);
    return;
  }
  Control::applyGeometry();
  // A moving body keeps its size: the picture is magnified only when the shown size changes.
  if (picture_.isNull() || label_->size() == shown_) return;
  shown_ = label_->size();
  label_->setPixmap(QPixmap::fromImage(
      shown_ == picture_.size()
          ? picture_
          : picture_.scaled(shown_, Qt::IgnoreAspectRatio, PictureMagnification())));
}

QImage LoadPicture(const QString& fileName) {
  const kepler::Picture picture = kepler::LoadPictureFile(fileName.toStdString());
  QImage image(picture.width, picture.height, QImage::Format_ARGB32);
  const auto rowBytes = static_cast<std::size_t>(picture.width) * sizeof(std::uint32_t);
  for (int y = 0; y < picture.height; ++y) {
    std::memcpy(image.scanLine(y),
                picture.pixels.data() + static_cast<std::size_t>(y) * picture.width, rowBytes);
  }
  return image;
}

}  // namespace forms
