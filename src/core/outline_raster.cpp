#include "core/outline_raster.h"

#include <algorithm>
#include <cmath>

namespace kepler {
namespace {

int nearest(double v) {
  return static_cast<int>(std::floor(v + 0.5));
}

// Half-width [px] of the ellipse at vertical offset dy, or -1 where the row misses it.
double halfWidthAt(double dy, double rx, double ry) {
  const double t = 1.0 - (dy / ry) * (dy / ry);
  return t < 0.0 ? -1.0 : rx * std::sqrt(t);
}

}  // namespace

SemiAxes CircleSemiAxes(double radius, double aspect) {
  radius = std::fabs(radius);
  aspect = std::fabs(aspect);
  if (aspect <= 1.0) return {radius, radius * aspect};
  return {radius / aspect, radius};
}

std::vector<Pixel> EllipseOutline(double cx, double cy, double rx, double ry) {
  std::vector<Pixel> pixels;
  rx = std::fabs(rx);
  ry = std::fabs(ry);
  if (!std::isfinite(cx) || !std::isfinite(cy) || !std::isfinite(rx) || !std::isfinite(ry) ||
      rx > 1e6 || ry > 1e6) {
    return pixels;
  }
  if (rx == 0.0 || ry == 0.0) {  // a point, or a line along the non-zero axis
    for (int x = nearest(cx - rx); x <= nearest(cx + rx); ++x) {
      for (int y = nearest(cy - ry); y <= nearest(cy + ry); ++y) pixels.push_back({x, y});
    }
    return pixels;
  }
  // Signed distance [px] of a pixel centre from the curve along its normal, to first order:
  // (rho - 1) / |grad rho| with rho the ellipse's normalised radius; exact for a circle.
  const bool dot = rx <= 1.0 && ry <= 1.0;
  const int centreX = nearest(cx);
  const int centreY = nearest(cy);
  const auto onStroke = [&](int x, int y) {
    if (dot && x == centreX && y == centreY) return true;
    const double u = (x - cx) / rx;
    const double v = (y - cy) / ry;
    const double rho = std::sqrt(u * u + v * v);
    const double gradient = std::sqrt((u / rx) * (u / rx) + (v / ry) * (v / ry));
    if (gradient == 0.0) return false;
    const double distance = (rho - 1.0) * rho / gradient;
    return distance >= -0.5 && distance < 0.5;
  };
  const int yTop = static_cast<int>(std::floor(cy - ry - 1.0));
  const int yBottom = static_cast<int>(std::ceil(cy + ry + 1.0));
  for (int y = yTop; y <= yBottom; ++y) {
    // The stroke can only cross this row where the curve's half-width lies between its widths at
    // the row's nearest and farthest offsets from the centre; two pixels of margin either side.
    const double dyA = std::fabs(y - 1.0 - cy);
    const double dyB = std::fabs(y + 1.0 - cy);
    const double dyNear = (y - 1.0 <= cy && cy <= y + 1.0) ? 0.0 : std::min(dyA, dyB);
    const double dyFar = std::max(dyA, dyB);
    const double outer = halfWidthAt(dyNear, rx, ry);
    if (outer < 0.0) continue;
    const double inner = std::max(0.0, halfWidthAt(dyFar, rx, ry));
    const auto scan = [&](int from, int to) {
      for (int x = from; x <= to; ++x) {
        if (onStroke(x, y)) pixels.push_back({x, y});
      }
    };
    const int leftFrom = static_cast<int>(std::floor(cx - outer - 2.0));
    const int leftTo = static_cast<int>(std::ceil(cx - inner + 2.0));
    const int rightFrom = static_cast<int>(std::floor(cx + inner - 2.0));
    const int rightTo = static_cast<int>(std::ceil(cx + outer + 2.0));
    if (leftTo >= rightFrom) {
      scan(leftFrom, rightTo);
    } else {
      scan(leftFrom, leftTo);
      scan(rightFrom, rightTo);
    }
  }
  return pixels;
}

std::vector<Span> PolygonSpans(const std::vector<PlotPoint>& corners, int width, int height) {
  std::vector<Span> spans;
  if (corners.size() < 3) return spans;
  double top = corners[0].y;
  double bottom = corners[0].y;
  for (const PlotPoint& p : corners) {
    if (!std::isfinite(p.x) || !std::isfinite(p.y)) return spans;
    top = std::min(top, p.y);
    bottom = std::max(bottom, p.y);
  }
  const double rows = static_cast<double>(height);
  const int first = static_cast<int>(std::ceil(std::clamp(top, 0.0, rows)));
  const int last = static_cast<int>(std::ceil(std::clamp(bottom, 0.0, rows))) - 1;
  std::vector<double> crossings;
  for (int y = first; y <= last; ++y) {
    crossings.clear();
    for (std::size_t i = 0; i < corners.size(); ++i) {
      // Each edge taken from its upper end, so an edge two polygons share crosses at one x.
      PlotPoint p = corners[i];
      PlotPoint q = corners[(i + 1) % corners.size()];
      if (p.y > q.y) std::swap(p, q);
      if (!(p.y <= y && y < q.y)) continue;
      crossings.push_back(p.x + (y - p.y) * (q.x - p.x) / (q.y - p.y));
    }
    std::sort(crossings.begin(), crossings.end());
    for (std::size_t i = 0; i + 1 < crossings.size(); i += 2) {
      const double from = std::ceil(crossings[i]);
      const double to = std::ceil(crossings[i + 1]);
      const int x0 = static_cast<int>(std::clamp(from, 0.0, static_cast<double>(width)));
      const int x1 = static_cast<int>(std::clamp(to, 0.0, static_cast<double>(width)));
      if (x0 < x1) spans.push_back({y, x0, x1});
    }
  }
  return spans;
}

}  // namespace kepler
