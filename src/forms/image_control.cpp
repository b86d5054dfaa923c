#include "forms/image_control.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <QLabel>
#include <QPixmap>

#include <cmath>

#include "core/runtime_error.h"
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
  if (tracing()) traceLine(name() + QStringLiteral(" Picture ") + quoted(fileName));
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

namespace {

[[noreturn]] void pictureError(const QString& fileName, const QString& cause) {
  const QString message =
      QStringLiteral("画像ファイル \"%1\" を読み込めません: %2（検索したフォルダー: %3）")
          .arg(fileName, cause, QDir::currentPath());
  throw kepler::RuntimeError(message.toStdString());
}

// A GIF that stops before its trailer byte was cut short; Qt shows what arrived without complaint.
bool gifIsComplete(const QString& path) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) return false;
  const qint64 size = file.size();
  if (size < 1 || !file.seek(size - 1)) return false;
  char last = 0;
  return file.getChar(&last) && last == 0x3B;
}

// A BMP whose pixel data stops short of what its header promises was cut short; Qt fills the
// missing rows without complaint.
bool bmpIsComplete(const QString& path) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) return false;
  const QByteArray header = file.read(54);
  if (header.size() < 30) return false;
  const auto le32 = [&](int at) {
    return static_cast<qint64>(static_cast<quint8>(header[at]) |
                               static_cast<quint8>(header[at + 1]) << 8 |
                               static_cast<quint8>(header[at + 2]) << 16 |
                               static_cast<quint32>(static_cast<quint8>(header[at + 3])) << 24);
  };
  const auto le16 = [&](int at) {
    return static_cast<qint64>(static_cast<quint8>(header[at]) | static_cast<quint8>(header[at + 1])
                                                                     << 8);
  };
  const qint64 size = file.size();
  if (size < le32(2)) return false;  // bfSize: the whole file as written
  if (le32(14) < 40 || header.size() < 54 || le32(30) != 0)
    return true;  // old or compressed: Qt's word
  // In double precision: a hostile header's width x height x depth must not overflow.
  const double width = static_cast<double>(static_cast<qint32>(le32(18)));
  const double height = std::abs(static_cast<double>(static_cast<qint32>(le32(22))));
  const double rowBytes = std::floor((static_cast<double>(le16(28)) * width + 31) / 32) * 4;
  return static_cast<double>(size) >= static_cast<double>(le32(10)) + rowBytes * height;
}

}  // namespace

QImage LoadPicture(const QString& fileName) {
  const QFileInfo info(fileName);
  if (!info.exists()) pictureError(fileName, QStringLiteral("ファイルが見つかりません"));
  if (info.isDir()) pictureError(fileName, QStringLiteral("ファイルではなくフォルダーです"));
  if (!info.isReadable())
    pictureError(fileName, QStringLiteral("ファイルを読み取る権限がありません"));
  if (info.size() == 0) pictureError(fileName, QStringLiteral("ファイルが空です"));
  QImageReader reader(fileName);
  reader.setDecideFormatFromContent(true);
  const QByteArray format = reader.format();
  if (format != "bmp" && format != "gif") {
    pictureError(fileName, QStringLiteral("BMP または GIF の画像ではありません"));
  }
  QImage picture = reader.read();
  const bool complete = format == "gif" ? gifIsComplete(fileName) : bmpIsComplete(fileName);
  if (picture.isNull() || !complete) {
    pictureError(fileName, QStringLiteral("画像が壊れているか、途中で切れています"));
  }
  return picture;
}

}  // namespace forms
