#include "forms/label.h"

#include <cmath>

#include "forms/trace.h"

namespace forms {

Label::Label(std::string name, ContainerPeer& container, const FontSpec& font, Color back,
             Color fore, std::string caption, LabelStyle style, float left, float top, float width,
             float height)
    : Control(std::move(name)),
      caption_(std::move(caption)),
      font_(font),
      back_(back),
      fore_(fore),
      style_(style) {
  const LabelLook look{font, back, fore, style.wordWrap, style.centred, style.autoSize};
  attachPeer(MakeLabelPeer(container, look, this->name()));
  labelPeer().setText(caption_);
  setGeometryQuietly(left, top, width, height);
  if (style_.autoSize) fitToText();
}

void Label::setCaption(const std::string& text) {
  if (tracing()) trace("Caption " + quoted(text));
  if (text == caption_) return;  // nothing to show anew: the day count repeats for five frames
  caption_ = text;
  labelPeer().setText(caption_);
  if (style_.autoSize) fitToText();
}

void Label::fitToText() {
  // An auto-size label is as wide as its text, trailing blanks included, and one line high.
  const LabelPeer::TextSize size = labelPeer().measure(caption_);
  setSizeQuietly(std::ceil(size.width), std::ceil(size.height));
}

}  // namespace forms
