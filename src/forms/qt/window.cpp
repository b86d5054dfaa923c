// The form's window, the factories of the Qt peers, the program's end and the trace sink.
#include <QCloseEvent>
#include <QCoreApplication>
#include <QIcon>
#include <QLoggingCategory>

#include <cstdio>

#include "forms/qt/color.h"
#include "forms/qt/fonts.h"
#include "forms/qt/peers.h"

Q_LOGGING_CATEGORY(lcForms, "kepler.forms", QtInfoMsg)

namespace forms {
namespace qt {

void FormWidget::closeEvent(QCloseEvent* event) {
  // Closing the window ends the program like a confirmed quit; a running demonstration stops
  // after its current wait.
  event->accept();
  if (closed) closed();
}

WindowWidgetPeer::WindowWidgetPeer(int clientWidth, int clientHeight)
    : window_(std::make_unique<FormWidget>(QSize(clientWidth, clientHeight))) {
  // The program's icon, built into it, for the taskbar.
  window_->setWindowIcon(QIcon(QStringLiteral(":/kepler-laws.png")));
  window_->setFont(ToQFont(kDefaultFont));
  window_->setAutoFillBackground(true);
}

void WindowWidgetPeer::setTitle(std::string_view utf8) {
  window_->setWindowTitle(ToQString(utf8));
}

void WindowWidgetPeer::setBackground(Color color) {
  QPalette palette = window_->palette();
  palette.setColor(QPalette::Window, ToQColor(color));
  window_->setPalette(palette);
}

void WindowWidgetPeer::setTabOrder(const std::vector<ButtonPeer*>& buttons) {
  QWidget* previous = nullptr;
  for (ButtonPeer* peer : buttons) {
    QWidget* button = static_cast<ButtonWidgetPeer*>(peer)->widget();
    if (previous) QWidget::setTabOrder(previous, button);
    previous = button;
  }
}

void WindowWidgetPeer::show() {
  // Buttons and picture boxes lie above the labels of their container, and the pictures above
  // the labels inside a drawing surface, each kind in the order it was made.
  const auto stack = [](QWidget* container) {
    const QObjectList children = container->children();  // lowering reorders the list
    for (QObject* child : children) {
      if (auto* label = dynamic_cast<TextLabel*>(child)) label->lower();
    }
  };
  stack(window_.get());
  for (Surface* surface : window_->findChildren<Surface*>(Qt::FindDirectChildrenOnly))
    stack(surface);
  window_->show();
}

}  // namespace qt

std::unique_ptr<WindowPeer> MakeWindowPeer(int clientWidth, int clientHeight) {
  return std::make_unique<qt::WindowWidgetPeer>(clientWidth, clientHeight);
}

std::unique_ptr<LabelPeer> MakeLabelPeer(ContainerPeer& container, const LabelLook& look,
                                         std::string_view name) {
  auto peer = std::make_unique<qt::LabelWidgetPeer>(qt::ContainerWidget(container), look);
  peer->widget()->setObjectName(qt::ToQString(name));
  return peer;
}

std::unique_ptr<ButtonPeer> MakeButtonPeer(ContainerPeer& container, const FontSpec& font,
                                           std::string_view name) {
  auto peer = std::make_unique<qt::ButtonWidgetPeer>(qt::ContainerWidget(container), font);
  peer->widget()->setObjectName(qt::ToQString(name));
  return peer;
}

std::unique_ptr<SurfacePeer> MakeSurfacePeer(ContainerPeer& container, Color,
                                             const std::uint32_t* pixels, int width, int height,
                                             std::string_view name) {
  auto peer = std::make_unique<qt::SurfaceWidgetPeer>(qt::ContainerWidget(container), pixels, width,
                                                      height);
  peer->widget()->setObjectName(qt::ToQString(name));
  return peer;
}

std::unique_ptr<ImagePeer> MakeImagePeer(SurfacePeer& surface, std::string_view name) {
  auto peer = std::make_unique<qt::ImageWidgetPeer>(qt::ContainerWidget(surface));
  peer->widget()->setObjectName(qt::ToQString(name));
  return peer;
}

void EndProgram(int exitCode) {
  // exit(), not quit(): quit() would first send close events to the windows.
  QCoreApplication::exit(exitCode);
}

void WriteErrorLine(std::string_view utf8Line) {
  std::fprintf(stderr, "%.*s\n", static_cast<int>(utf8Line.size()), utf8Line.data());
  std::fflush(stderr);
}

bool tracing() {
  return lcForms().isDebugEnabled();
}

void traceLine(std::string_view utf8Line) {
  qCDebug(lcForms).noquote() << qt::ToQString(utf8Line);
}

}  // namespace forms
