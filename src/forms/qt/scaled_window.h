#pragma once
// The top-level window of a form. Its client area has a fixed size in logical pixels (989 x 577
// for Form1); the window shows it magnified uniformly to the largest size that fits, centred, the
// margins in the window's background colour, and re-shows its controls when its size changes.
// F11 toggles full screen and Esc leaves it. Its repaints are paced (RepaintPacer).
// It knows nothing of the program: the controls keep their model values in logical pixels and
// ask the window only where, and how large, to show them.

#include <QRect>
#include <QSize>
#include <QWidget>

#include <vector>

#include "forms/qt/repaint_pacer.h"

namespace forms::qt {

class PeerWidget;

// How the drawing surface's image and the bodies' pictures are magnified on a scaled window.
Qt::TransformationMode PictureMagnification();

// The size a window whose client area is `logical` opens at on a screen whose available area Qt
// reports as `available` (device-independent pixels) at `devicePixelRatio`: the logical size, or,
// on a smaller screen, that size scaled down uniformly and rounded so that it fits the screen's
// own pixels.
QSize OpeningSize(QSize logical, QSize available, double devicePixelRatio);

class ScaledWindow : public QWidget {
 public:
  // Opens at the logical size, or scaled down to fit the available area of its screen.
  explicit ScaledWindow(QSize logicalSize);
  ~ScaledWindow() override;

  // Changes the client area's logical size, as when a strip is added below the layout. Before the
  // window shows it opens at the new size; a shown window in its normal state grows or shrinks
  // by the change at its present scale, within its screen.
  void setLogicalSize(QSize logicalSize);
  QSize logicalSize() const { return logicalSize_; }

  // Device pixels (Qt's device-independent ones) per logical pixel; 1 at the logical size.
  double scale() const { return scale_; }
  // The client area's top-left corner in the window [px].
  QPoint origin() const { return origin_; }
  // Where the logical rectangle `logical` of `container` is shown, in the container's own pixels:
  // the client area when `container` is this window, else a surface scaled by the same factor.
  // Edges are scaled, not sizes, so that controls that touch in the layout touch on the screen.
  QRect toDevice(const QRect& logical, const QWidget* container) const;

  // The scaled window a widget lies on, or nullptr.
  static ScaledWindow* of(const QWidget* widget);

  // The pacing of the window's repaints.
  RepaintPacer& pacer() { return pacer_; }

 protected:
  void resizeEvent(QResizeEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;

 private:
  friend class PeerWidget;

  void attach(PeerWidget* control);
  void detach(PeerWidget* control);
  // Recomputes the scale and the client area's place from the window's size and re-shows every
  // control; returns whether anything changed.
  bool relayout();
  // The logical size scaled down to fit the available area of the window's screen.
  QSize openingSize() const;

  QSize logicalSize_;
  double scale_ = 1.0;
  QPoint origin_;
  std::vector<PeerWidget*> controls_;
  RepaintPacer pacer_;
};

}  // namespace forms::qt
