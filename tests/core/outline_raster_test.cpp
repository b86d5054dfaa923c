// Outline pixels: one pixel thin, 2r + 1 across, and concentric half-pixel rings fill a disc.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <set>
#include <tuple>
#include <utility>

#include "core/outline_raster.h"

using kepler::EllipseOutline;
using kepler::Pixel;

namespace {

std::set<std::pair<int, int>> asSet(const std::vector<Pixel>& pixels) {
  std::set<std::pair<int, int>> s;
  for (const Pixel& p : pixels) s.insert({p.x, p.y});
  return s;
}

}  // namespace

TEST(Outline, CircleSpansTwoRadiiPlusOnePixelsEachOnceAndThinEnoughToLeaveTheInsideEmpty) {
  for (const double r : {1.0, 5.0, 10.0, 100.0, 200.0}) {
    const auto pixels = EllipseOutline(0, 0, r, r);
    const auto set = asSet(pixels);
    EXPECT_EQ(set.size(), pixels.size()) << r;
    const auto [minX, maxX] = std::minmax_element(pixels.begin(), pixels.end(),
                                                  [](Pixel a, Pixel b) { return a.x < b.x; });
    EXPECT_EQ(maxX->x - minX->x + 1, 2 * r + 1) << r;
    // Past the one-pixel circle, on any row through the inner nine tenths, at most 3 pixels each
    // side and none in the middle.
    for (int y = static_cast<int>(-0.9 * r); r > 1 && y <= 0.9 * r; ++y) {
      EXPECT_LE(std::count_if(pixels.begin(), pixels.end(), [&](Pixel p) { return p.y == y; }), 6)
          << r << ": " << y;
      EXPECT_EQ(set.count({0, y}), 0u) << r << ": " << y;
    }
  }
  // The comet's orbit, centre (350, 250), semi-axes 300 and 76.43, reaches its four vertices.
  const auto comet = asSet(EllipseOutline(350, 250, 300, 300 * std::sqrt(1 - 0.967 * 0.967)));
  for (const auto& [x, y, in] :
       {std::tuple{50, 250, 1u}, {650, 250, 1u}, {350, 174, 1u}, {350, 326, 1u}, {49, 250, 0u}}) {
    EXPECT_EQ(comet.count({x, y}), in) << x << "," << y;
  }
}

TEST(Outline, ConcentricRingsFillASolidDiscAndDegenerateAndHostileSizesStayBounded) {
  EXPECT_EQ(EllipseOutline(3, 4, 0, 0), std::vector<Pixel>({{3, 4}}));
  EXPECT_EQ(EllipseOutline(0, 0, 2, 0).size(), 5u);
  EXPECT_TRUE(EllipseOutline(0, 0, 1e300, 1e300).empty());
  EXPECT_TRUE(EllipseOutline(std::nan(""), 0, 5, 5).empty());

  // The window's Sun: twenty half-pixel rings; the data demonstrations' steps by whole pixels;
  // the comet's sits off the grid at x = 59.9. Filled within `solid`, nothing beyond `outside`.
  // Centre x, ring step, rings, solid, outside.
  for (const auto& [cx, step, rings, solid, outside] : {std::tuple{300.0, 0.5, 20, 9.0, 10.8},
                                                        {300.0, 1.0, 10, 9.0, 10.8},
                                                        {59.9, 0.5, 10, 4.0, 5.8}}) {
    std::set<std::pair<int, int>> disc;
    for (int i = 1; i <= rings; ++i) disc.merge(asSet(EllipseOutline(cx, 250, i * step, i * step)));
    for (int y = 240; y <= 260; ++y) {
      for (int x = static_cast<int>(cx) - 11; x <= cx + 11; ++x) {
        const double d = std::hypot(x - cx, y - 250);
        if (d <= solid || d > outside) {
          EXPECT_EQ(disc.count({x, y}), d <= solid ? 1u : 0u) << cx << ": " << x << "," << y;
        }
      }
    }
  }
}
