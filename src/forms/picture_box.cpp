#include "forms/picture_box.h"

#include <algorithm>

#include "core/legacy_number.h"
#include "core/outline_raster.h"
#include "forms/trace.h"

namespace forms {
namespace {

std::string colorOrDash(std::optional<Color> color) {
  return color ? std::to_string(*color) : std::string("-");
}

}  // namespace

PictureBox::PictureBox(std::string name, ContainerPeer& container, Color back, Color fore,
                       float left, float top, float width, float height)
    : Control(std::move(name)),
      back_(back),
      fore_(fore),
      imageWidth_(std::max(1, toPixel(width))),
      imageHeight_(std::max(1, toPixel(height))),
      pixels_(static_cast<std::size_t>(imageWidth_) * static_cast<std::size_t>(imageHeight_),
              ToArgb(back)) {
  attachPeer(
      MakeSurfacePeer(container, back, pixels_.data(), imageWidth_, imageHeight_, this->name()));
  setGeometryQuietly(left, top, width, height);
}

std::uint32_t PictureBox::rgbAt(int x, int y) const {
  return pixels_[static_cast<std::size_t>(y) * static_cast<std::size_t>(imageWidth_) +
                 static_cast<std::size_t>(x)] &
         0xFFFFFFu;
}

void PictureBox::plot(std::size_t index, std::uint32_t argb) {
  if (drawing_.empty()) {
    pixels_[index] = argb;
    return;
  }
  drawing_[index] = argb;
  pixels_[index] = argb == ToArgb(back_) ? shading_[index] : argb;
}

void PictureBox::Cls() {
  trace("Cls");
  drawing_ = {};
  shading_ = {};
  std::fill(pixels_.begin(), pixels_.end(), ToArgb(back_));
  surface().imageChanged({0, 0, imageWidth_, imageHeight_});
}

void PictureBox::Circle(float x, float y, float radius, std::optional<Color> color,
                        std::optional<float> aspect) {
  if (tracing()) {
    trace("Circle " + shortestRoundTrip(x) + ' ' + shortestRoundTrip(y) + ' ' +
          shortestRoundTrip(radius) + ' ' + colorOrDash(color) + ' ' +
          (aspect ? shortestRoundTrip(*aspect) : std::string("-")));
  }
  const kepler::SemiAxes axes = kepler::CircleSemiAxes(radius, aspect.value_or(1.0f));
  const std::vector<kepler::Pixel> outline = kepler::EllipseOutline(x, y, axes.rx, axes.ry);
  const std::uint32_t argb = ToArgb(color.value_or(fore_));
  int left = imageWidth_;
  int top = imageHeight_;
  int right = -1;
  int bottom = -1;
  for (const kepler::Pixel& p : outline) {
    if (p.x < 0 || p.y < 0 || p.x >= imageWidth_ || p.y >= imageHeight_) continue;
    plot(static_cast<std::size_t>(p.y) * static_cast<std::size_t>(imageWidth_) +
             static_cast<std::size_t>(p.x),
         argb);
    left = std::min(left, p.x);
    top = std::min(top, p.y);
    right = std::max(right, p.x);
    bottom = std::max(bottom, p.y);
  }
  if (right >= left) surface().imageChanged({left, top, right - left + 1, bottom - top + 1});
}

void PictureBox::BoxFill(float x1, float y1, float x2, float y2, Color color) {
  if (tracing()) {
    trace("BoxFill " + shortestRoundTrip(x1) + ' ' + shortestRoundTrip(y1) + ' ' +
          shortestRoundTrip(x2) + ' ' + shortestRoundTrip(y2) + ' ' + std::to_string(color));
  }
  const int ax = toPixel(x1);
  const int bx = toPixel(x2);
  const int ay = toPixel(y1);
  const int by = toPixel(y2);
  const int left = std::max(0, std::min(ax, bx));
  const int right = std::min(imageWidth_ - 1, std::max(ax, bx));
  const int top = std::max(0, std::min(ay, by));
  const int bottom = std::min(imageHeight_ - 1, std::max(ay, by));
  if (left > right || top > bottom) return;
  const std::uint32_t argb = ToArgb(color);
  for (int y = top; y <= bottom; ++y) {
    const std::size_t row = static_cast<std::size_t>(y) * static_cast<std::size_t>(imageWidth_);
    if (drawing_.empty()) {
      std::fill(
          pixels_.begin() + static_cast<std::ptrdiff_t>(row + static_cast<std::size_t>(left)),
          pixels_.begin() + static_cast<std::ptrdiff_t>(row + static_cast<std::size_t>(right)) + 1,
          argb);
    } else {
      for (int x = left; x <= right; ++x) plot(row + static_cast<std::size_t>(x), argb);
    }
  }
  surface().imageChanged({left, top, right - left + 1, bottom - top + 1});
}

void PictureBox::Shade(const std::vector<kepler::PlotPoint>& corners, Color color, int alpha) {
  alpha = std::clamp(alpha, 0, 255);
  if (tracing()) {
    std::string line = "Shade " + std::to_string(color) + ' ' + std::to_string(alpha);
    for (const kepler::PlotPoint& p : corners) {
      line += ' ' + shortestRoundTrip(kepler::ToSingle(p.x)) + ' ' +
              shortestRoundTrip(kepler::ToSingle(p.y));
    }
    trace(line);
  }
  const std::vector<kepler::Span> spans = kepler::PolygonSpans(corners, imageWidth_, imageHeight_);
  if (spans.empty()) return;
  if (drawing_.empty()) {
    drawing_ = pixels_;
    shading_.assign(pixels_.size(), ToArgb(back_));
  }
  const auto blend = [alpha](std::uint32_t under, unsigned over, int shift) {
    const unsigned below = (under >> shift) & 0xFFu;
    return ((over * static_cast<unsigned>(alpha) + below * static_cast<unsigned>(255 - alpha) +
             127u) /
            255u)
           << shift;
  };
  const std::uint32_t back = ToArgb(back_);
  int left = imageWidth_;
  int right = -1;
  for (const kepler::Span& span : spans) {
    const std::size_t row =
        static_cast<std::size_t>(span.y) * static_cast<std::size_t>(imageWidth_);
    for (int x = span.x0; x < span.x1; ++x) {
      const std::size_t i = row + static_cast<std::size_t>(x);
      const std::uint32_t under = shading_[i];
      shading_[i] = 0xFF000000u | blend(under, static_cast<unsigned>(RedOf(color)), 16) |
                    blend(under, static_cast<unsigned>(GreenOf(color)), 8) |
                    blend(under, static_cast<unsigned>(BlueOf(color)), 0);
      if (drawing_[i] == back) pixels_[i] = shading_[i];
    }
    left = std::min(left, span.x0);
    right = std::max(right, span.x1 - 1);
  }
  const int top = spans.front().y;
  const int bottom = spans.back().y;
  surface().imageChanged({left, top, right - left + 1, bottom - top + 1});
}

void PictureBox::Unshade() {
  trace("Unshade");
  if (drawing_.empty()) return;
  std::copy(drawing_.begin(), drawing_.end(), pixels_.begin());
  drawing_ = {};
  shading_ = {};
  surface().imageChanged({0, 0, imageWidth_, imageHeight_});
}

}  // namespace forms
