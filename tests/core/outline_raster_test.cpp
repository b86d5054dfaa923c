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

TEST(Outline, ReachesItsFourVerticesAndHoldsEachPixelOnce) {
  // Circles span 2r + 1 pixels; the comet's orbit has centre (350, 250), semi-axes 300 and 76.43.
  const struct {
    double cx, cy, rx, ry;
    int left, right, top, bottom;
  } cases[] = {{300, 250, 1, 1, 299, 301, 249, 251},
               {300, 250, 5, 5, 295, 305, 245, 255},
               {300, 250, 10, 10, 290, 310, 240, 260},
               {300, 250, 150, 150, 150, 450, 100, 400},
               {300, 250, 200, 200, 100, 500, 50, 450},
               {350, 250, 300, 300 * std::sqrt(1 - 0.967 * 0.967), 50, 650, 174, 326}};
  for (const auto& c : cases) {
    const auto pixels = EllipseOutline(c.cx, c.cy, c.rx, c.ry);
    EXPECT_EQ(asSet(pixels).size(), pixels.size()) << c.rx;
    const auto [minX, maxX] = std::minmax_element(pixels.begin(), pixels.end(),
                                                  [](Pixel a, Pixel b) { return a.x < b.x; });
    const auto [minY, maxY] = std::minmax_element(pixels.begin(), pixels.end(),
                                                  [](Pixel a, Pixel b) { return a.y < b.y; });
    EXPECT_EQ(std::tuple(minX->x, maxX->x, minY->y, maxY->y),
              std::tuple(c.left, c.right, c.top, c.bottom))
        << c.rx;
    const auto set = asSet(pixels);
    EXPECT_EQ(set.count({c.left, static_cast<int>(c.cy)}), 1u) << c.rx;
    EXPECT_EQ(set.count({static_cast<int>(c.cx), c.bottom}), 1u) << c.rx;
  }
}

TEST(Outline, LineIsThinEnoughToLeaveTheInsideEmpty) {
  // On any row through a circle of radius 100, the outline is at most 3 pixels thick each side.
  const auto set = asSet(EllipseOutline(0, 0, 100, 100));
  for (int y = -90; y <= 90; ++y) {
    int count = 0;
    for (int x = -101; x <= 101; ++x) count += static_cast<int>(set.count({x, y}));
    EXPECT_LE(count, 6) << y;
    EXPECT_EQ(set.count({0, y}), 0u);
  }
}

TEST(Outline, ConcentricRingsFillASolidDisc) {
  // The window's Sun: twenty half-pixel rings; the data demonstrations' steps by whole pixels;
  // the comet's sits off the grid at x = 59.9. Filled within `solid`, nothing beyond `outside`.
  const struct {
    double cx, step;
    int rings;
    double solid, outside;
  } suns[] = {{300, 0.5, 20, 9.0, 10.8}, {300, 1, 10, 9.0, 10.8}, {59.9, 0.5, 10, 4.0, 5.8}};
  for (const auto& sun : suns) {
    std::set<std::pair<int, int>> disc;
    for (int i = 1; i <= sun.rings; ++i) {
      disc.merge(asSet(EllipseOutline(sun.cx, 250, i * sun.step, i * sun.step)));
    }
    for (int y = 240; y <= 260; ++y) {
      for (int x = static_cast<int>(sun.cx) - 11; x <= sun.cx + 11; ++x) {
        const double d = std::hypot(x - sun.cx, y - 250);
        if (d <= sun.solid || d > sun.outside) {
          EXPECT_EQ(disc.count({x, y}), d <= sun.solid ? 1u : 0u)
              << sun.cx << ": " << x << "," << y;
        }
      }
    }
  }
}

TEST(Outline, DegenerateAndHostileSizesStayBounded) {
  EXPECT_EQ(EllipseOutline(3, 4, 0, 0), std::vector<Pixel>({{3, 4}}));
  EXPECT_EQ(EllipseOutline(0, 0, 2, 0).size(), 5u);
  EXPECT_TRUE(EllipseOutline(0, 0, 1e300, 1e300).empty());
  EXPECT_TRUE(EllipseOutline(std::nan(""), 0, 5, 5).empty());
}
