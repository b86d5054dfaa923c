#pragma once
// A picture box of the forms runtime: a surface whose drawing persists in its own ARGB32 buffer
// (0xAARRGGBB, opaque), so it survives covering and reaches the screen when the backend next
// shows it. It draws circle and ellipse outlines with the core's outline rasteriser and filled
// boxes in pixel coordinates, and holds image controls and labels, which lie above the drawing and
// are clipped to it. The buffer keeps the size the box was made with; the backend magnifies it
// to the shown size.
//
// Shading lies under the drawing: translucent polygons blended over the background, shown
// wherever the drawing has the background colour, so outlines and filled boxes stay above it
// whenever they are drawn. Until the first shading, and again after Unshade or Cls, the buffer is
// the drawing alone.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "core/orbit.h"
#include "forms/color.h"
#include "forms/control.h"

namespace forms {

class PictureBox : public Control {
 public:
  PictureBox(std::string name, ContainerPeer& container, Color back, Color fore, float left,
             float top, float width, float height);

  Color backColor() const { return back_; }
  Color foreColor() const { return fore_; }
  // The drawing, row by row [image px]; its address never changes.
  const std::vector<std::uint32_t>& pixels() const { return pixels_; }
  int imageWidth() const { return imageWidth_; }
  int imageHeight() const { return imageHeight_; }
  // The drawing's pixel at (x, y) as 0xRRGGBB.
  std::uint32_t rgbAt(int x, int y) const;
  // The container that image controls and labels inside the picture box are placed in.
  SurfacePeer& surface() const { return static_cast<SurfacePeer&>(peer()); }

  // Clears the surface and its stored drawing to the background colour.
  void Cls();
  // An outline of the given radius [px]; without a colour in the foreground colour; with an
  // aspect below 1 an ellipse whose vertical semi-axis is radius x aspect.
  void Circle(float x, float y, float radius, std::optional<Color> color = std::nullopt,
              std::optional<float> aspect = std::nullopt);
  // The box between two corners, both corners' pixels included, filled with the colour.
  void BoxFill(float x1, float y1, float x2, float y2, Color color);
  // Blends the colour at alpha / 255 into the shading, over the pixels inside the polygon
  // (kepler::PolygonSpans) [px].
  void Shade(const std::vector<kepler::PlotPoint>& corners, Color color, int alpha);
  // Removes all shading; the drawing stays.
  void Unshade();

 private:
  // Sets a pixel of the drawing and what the buffer shows there.
  void plot(std::size_t index, std::uint32_t argb);

  Color back_;
  Color fore_;
  int imageWidth_;
  int imageHeight_;
  std::vector<std::uint32_t> pixels_;  // what is shown: the drawing over the shading
  // While shaded: the drawing alone, and the shading over the background.
  std::vector<std::uint32_t> drawing_;
  std::vector<std::uint32_t> shading_;
};

// A colour of the old runtime's numbering as the drawing stores it: 0xAARRGGBB, opaque.
constexpr std::uint32_t ToArgb(Color c) {
  return 0xFF000000u | (static_cast<std::uint32_t>(RedOf(c)) << 16) |
         (static_cast<std::uint32_t>(GreenOf(c)) << 8) | static_cast<std::uint32_t>(BlueOf(c));
}

}  // namespace forms
