#pragma once
// The Qt widgets behind the forms layer's controls and windows, for tests and the desktop's
// program assembly. Nothing above the forms layer includes this.

#include <QImage>
#include <QPushButton>
#include <QWidget>

#include "forms/qt/scaled_window.h"

namespace forms {
class CommandButton;
class Control;
class FormWindow;
class PictureBox;
}  // namespace forms

namespace forms::qt {

QWidget* WidgetOf(const Control& control);
QPushButton* ButtonOf(const CommandButton& button);
ScaledWindow* WidgetOf(const FormWindow& window);
// A copy of the picture box's drawing as an RGB32 image [image px].
QImage ImageOf(const PictureBox& box);

}  // namespace forms::qt
