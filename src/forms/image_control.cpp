#include "forms/image_control.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <QLabel>
#include <QPixmap>

#include "core/runtime_error.h"
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
  pictureFile_ = fileName;
  if (tracing()) traceLine(name() + QStringLiteral(" Picture ") + quoted(fileName));
  label_->setPixmap(QPixmap::fromImage(picture));
  setSizeQuietly(static_cast<float>(picture.width()), static_cast<float>(picture.height()));
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
  if (picture.isNull() || (format == "gif" && !gifIsComplete(fileName))) {
    pictureError(fileName, QStringLiteral("画像が壊れているか、途中で切れています"));
  }
  return picture;
}

}  // namespace forms
