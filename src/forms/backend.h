#pragma once
// The one boundary between the platform-free forms layer and a platform's backend. A backend (Qt
// Widgets on the desktop, the DOM in a browser) implements these peers and defines the factory
// functions; exactly one backend is linked into a program. Peers show what the model tells them;
// they never trace and never change a model value.

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "forms/color.h"
#include "forms/font.h"

namespace kepler {
struct Picture;
}

namespace forms {

// A control's place and size on its container, in whole pixels (the model's floats rounded).
struct PixelRect {
  int x = 0;
  int y = 0;
  int width = 0;
  int height = 0;
};

class ControlPeer {
 public:
  virtual ~ControlPeer() = default;
  virtual void setGeometry(const PixelRect& rect) = 0;
  virtual void setVisible(bool visible) = 0;
};

// Something controls are placed in: the window's client area or a picture box's surface.
class ContainerPeer {
 public:
  virtual ~ContainerPeer() = default;
};

struct LabelLook {
  FontSpec font;
  Color back;
  Color fore;
  bool wordWrap = false;
  bool centred = false;
  bool autoSize = false;
};

class LabelPeer : public ControlPeer {
 public:
  virtual void setText(std::string_view utf8) = 0;
  // Width and height [px] of one line of text in the label's font, trailing blanks included.
  struct TextSize {
    float width;
    float height;
  };
  virtual TextSize measure(std::string_view utf8) const = 0;
};

class ButtonPeer : public ControlPeer {
 public:
  virtual void setText(std::string_view utf8) = 0;
  virtual void setFaceColor(Color color) = 0;
  virtual void setFocus() = 0;
  // Called on a mouse click or Space/Enter on the focused button; on the web, only from the C++
  // side's event dispatch.
  virtual void onClick(std::function<void()> handler) = 0;
};

// The surface of a picture box: shows the model's ARGB32 buffer (row by row, width x height).
class SurfacePeer : public ControlPeer, public ContainerPeer {
 public:
  // The buffer changed inside `dirty`; show it at the next repaint (Qt) or yield (web).
  virtual void imageChanged(const PixelRect& dirty) = 0;
};

class ImagePeer : public ControlPeer {
 public:
  // Shows the picture at its natural size (the model sets the size through setGeometry), its
  // transparent pixels see-through; nullptr shows nothing.
  virtual void setPicture(const kepler::Picture* picture) = 0;
};

class WindowPeer : public ContainerPeer {
 public:
  virtual ~WindowPeer() = default;
  virtual void setTitle(std::string_view utf8) = 0;
  virtual void setBackground(Color color) = 0;
  // The order the Tab key visits the buttons in, whatever order they were made in.
  virtual void setTabOrder(const std::vector<ButtonPeer*>& buttons) = 0;
  // Stacking inside a container: lowers labels under buttons and picture boxes, raises images.
  virtual void show() = 0;
  // The user closed the window (desktop only): the model ends the program.
  virtual void onClose(std::function<void()> handler) = 0;
};

// Factories, defined by the linked backend.
std::unique_ptr<WindowPeer> MakeWindowPeer(int clientWidth, int clientHeight);
std::unique_ptr<LabelPeer> MakeLabelPeer(ContainerPeer& container, const LabelLook& look,
                                         std::string_view name);
std::unique_ptr<ButtonPeer> MakeButtonPeer(ContainerPeer& container, const FontSpec& font,
                                           std::string_view name);
// `pixels` stays owned by the model and keeps its address for the peer's life.
std::unique_ptr<SurfacePeer> MakeSurfacePeer(ContainerPeer& container, Color back,
                                             const std::uint32_t* pixels, int width, int height,
                                             std::string_view name);
std::unique_ptr<ImagePeer> MakeImagePeer(SurfacePeer& surface, std::string_view name);

// A modal box over the window, without an icon: a title strip, the prompt and a row of buttons.
// In a caption, "&" marks the next letter as the button's access key, pressed with or without Alt,
// and is not shown. The default button has the focus and answers Enter; Escape presses the escape
// button.
struct MessageBoxLook {
  std::string_view title;
  std::string_view prompt;
  std::vector<std::string_view> captions;
  int defaultButton = 0;
  int escapeButton = 0;
};
// Shows the box and returns the index of the caption pressed. `onPressed` is told that index the
// moment the button is pressed, before anything else is handled.
int ShowMessageBox(const MessageBoxLook& box, const std::function<void(int)>& onPressed);

// The program's end, and one line of the program's own on its error output (stderr on the
// desktop, the console in a browser), written as given.
void EndProgram(int exitCode);
void WriteErrorLine(std::string_view utf8Line);

// The trace sink: whether tracing is on, and one line out.
bool tracing();
void traceLine(std::string_view utf8Line);

}  // namespace forms
