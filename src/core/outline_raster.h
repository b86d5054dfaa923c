#pragma once
// Which pixels a one-pixel ellipse or circle outline, or a filled polygon, covers on a surface
// whose pixel centres lie at integer coordinates. It does not draw; the picture box plots what it
// is told.
//
// A pixel belongs to the outline when its centre lies within the stroke of a one-pixel pen laid
// along the curve: its distance from the curve, measured along the normal, is at least -1/2 and
// below +1/2. This keeps the line one pixel thin, spans 2r + 1 pixels across a circle of radius
// r, and makes concentric outlines whose radii grow by up to a pixel fill a disc without holes,
// as the Sun is drawn. A circle of radius 1 px or less also covers the pixel at its centre, as
// the pen's stroke reaches into it.

#include <vector>

#include "core/orbit.h"

namespace kepler {

struct Pixel {
  int x;
  int y;
  friend bool operator==(const Pixel&, const Pixel&) = default;
};

// Outline of the ellipse centred at (cx, cy) [px] with horizontal semi-axis rx and vertical
// semi-axis ry [px]. A zero semi-axis degenerates to a point or a line. Each pixel appears once.
std::vector<Pixel> EllipseOutline(double cx, double cy, double rx, double ry);

// The semi-axes of the runtime's Circle with a radius and an aspect (vertical / horizontal):
// below 1 the radius is horizontal, above 1 it is vertical.
struct SemiAxes {
  double rx;
  double ry;
};
SemiAxes CircleSemiAxes(double radius, double aspect);

// The pixels of row y from x0 up to, not including, x1.
struct Span {
  int y;
  int x0;
  int x1;
  friend bool operator==(const Span&, const Span&) = default;
};

// The pixels inside a polygon (its corners in order, closed back to the first) whose centres lie
// inside it by the even-odd rule, clipped to a width x height surface. A centre on a left or top
// edge is inside and one on a right or bottom edge outside, so polygons that share an edge share
// none of its pixels and leave none out between them.
std::vector<Span> PolygonSpans(const std::vector<PlotPoint>& corners, int width, int height);

}  // namespace kepler
