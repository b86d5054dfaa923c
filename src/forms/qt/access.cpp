#include "forms/qt/access.h"

#include "forms/command_button.h"
#include "forms/form_window.h"
#include "forms/picture_box.h"
#include "forms/qt/peers.h"

namespace forms::qt {

QWidget* WidgetOf(const Control& control) {
  return dynamic_cast<PeerWidget&>(control.peer()).widget();
}

QPushButton* ButtonOf(const CommandButton& button) {
  return static_cast<ButtonWidgetPeer&>(button.buttonPeer()).button();
}

ScaledWindow* WidgetOf(const FormWindow& window) {
  return static_cast<WindowWidgetPeer&>(window.peer()).window();
}

QImage ImageOf(const PictureBox& box) {
  return QImage(reinterpret_cast<const uchar*>(box.pixels().data()), box.imageWidth(),
                box.imageHeight(), static_cast<qsizetype>(box.imageWidth()) * 4,
                QImage::Format_RGB32)
      .copy();
}

}  // namespace forms::qt
