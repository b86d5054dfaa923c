#pragma once
// A label of the forms runtime: a caption in a font and two colours, optionally sizing itself to
// its text (auto size, growing to the right from a fixed left edge), word-wrapped or centred.
// It has no events.

#include <QFont>

#include "forms/color.h"
#include "forms/control.h"

class QLabel;
class QWidget;

namespace forms {

struct LabelStyle {
  bool autoSize = false;
  bool wordWrap = false;
  bool centred = false;
};

class Label : public Control {
 public:
  Label(const QString& name, QWidget* container, const QFont& font, Color back, Color fore,
        const QString& caption, LabelStyle style, float left, float top, float width, float height);

  const QString& caption() const { return caption_; }
  void setCaption(const QString& text);
  Color backColor() const { return back_; }
  Color foreColor() const { return fore_; }
  // The font the text is laid out in [logical px].
  const QFont& font() const { return logicalFont(); }

 protected:
  void applyGeometry() override;

 private:
  void fitToText();

  QLabel* label_;
  QString caption_;
  Color back_;
  Color fore_;
  LabelStyle style_;
};

}  // namespace forms
