#pragma once
// A label of the forms runtime: a caption in a font and two colours, optionally sizing itself to
// its text (auto size, growing to the right from a fixed left edge), word-wrapped or centred.
// It has no events.

#include <string>

#include "forms/color.h"
#include "forms/control.h"
#include "forms/font.h"

namespace forms {

struct LabelStyle {
  bool autoSize = false;
  bool wordWrap = false;
  bool centred = false;
};

class Label : public Control {
 public:
  Label(std::string name, ContainerPeer& container, const FontSpec& font, Color back, Color fore,
        std::string caption, LabelStyle style, float left, float top, float width, float height);

  const std::string& caption() const { return caption_; }
  void setCaption(const std::string& text);
  Color backColor() const { return back_; }
  Color foreColor() const { return fore_; }
  const FontSpec& font() const { return font_; }

 private:
  LabelPeer& labelPeer() const { return static_cast<LabelPeer&>(peer()); }
  void fitToText();

  std::string caption_;
  FontSpec font_;
  Color back_;
  Color fore_;
  LabelStyle style_;
};

}  // namespace forms
