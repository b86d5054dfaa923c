// Outline pixels: one pixel thin, 2r + 1 across, and concentric half-pixel rings fill a disc.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <set>
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

TEST(Outline, CircleSpansTwoRadiiPlusOnePixelsAndEachPixelOnce) {
  for (const double r : {1.0, 5.0, 10.0, 150.0, 200.0}) {
    const auto pixels = EllipseOutline(300, 250, r, r);
    const auto set = asSet(pixels);
    EXPECT_EQ(set.size(), pixels.size()) << r;
    const auto [minX, maxX] = std::minmax_element(pixels.begin(), pixels.end(),
                                                  [](Pixel a, Pixel b) { return a.x < b.x; });
    EXPECT_EQ(maxX->x - minX->x + 1, 2 * r + 1) << r;
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

TEST(Outline, TwentyHalfPixelRingsMakeASolidSun) {
  std::set<std::pair<int, int>> disc;
  for (int i = 1; i <= 20; ++i) disc.merge(asSet(EllipseOutline(300, 250, i / 2.0, i / 2.0)));
  for (int y = 240; y <= 260; ++y) {
    for (int x = 290; x <= 310; ++x) {
      if (std::hypot(x - 300, y - 250) <= 9.0) {
        EXPECT_EQ(disc.count({x, y}), 1u) << x << "," << y;
      }
      if (std::hypot(x - 300, y - 250) > 10.8) {
        EXPECT_EQ(disc.count({x, y}), 0u) << x << "," << y;
      }
    }
  }
}

TEST(Outline, TenWholePixelRingsAndAnOffGridCentreAlsoFill) {
  // The data demonstrations' Sun steps by whole pixels; the comet's sits at x = 59.9.
  std::set<std::pair<int, int>> whole;
  for (int i = 1; i <= 10; ++i) whole.merge(asSet(EllipseOutline(300, 250, i, i)));
  std::set<std::pair<int, int>> comet;
  for (int i = 1; i <= 10; ++i) comet.merge(asSet(EllipseOutline(59.9, 250, i / 2.0, i / 2.0)));
  for (int y = 240; y <= 260; ++y) {
    for (int x = 290; x <= 310; ++x) {
      if (std::hypot(x - 300, y - 250) <= 9.0) {
        EXPECT_EQ(whole.count({x, y}), 1u) << x << "," << y;
      }
    }
    for (int x = 50; x <= 70; ++x) {
      if (std::hypot(x - 59.9, y - 250) <= 4.0) {
        EXPECT_EQ(comet.count({x, y}), 1u) << x << "," << y;
      }
    }
  }
}

TEST(Outline, EllipseReachesItsFourVertices) {
  // The comet's orbit: centre (350, 250), semi-axes 300 and 76.43.
  const auto set = asSet(EllipseOutline(350, 250, 300, 300 * std::sqrt(1 - 0.967 * 0.967)));
  EXPECT_EQ(set.count({50, 250}), 1u);
  EXPECT_EQ(set.count({650, 250}), 1u);
  EXPECT_EQ(set.count({350, 174}), 1u);
  EXPECT_EQ(set.count({350, 326}), 1u);
  EXPECT_EQ(set.count({49, 250}), 0u);
}

TEST(Outline, DegenerateAndHostileSizesStayBounded) {
  EXPECT_EQ(EllipseOutline(3, 4, 0, 0), std::vector<Pixel>({{3, 4}}));
  EXPECT_EQ(EllipseOutline(0, 0, 2, 0).size(), 5u);
  EXPECT_TRUE(EllipseOutline(0, 0, 1e300, 1e300).empty());
  EXPECT_TRUE(EllipseOutline(std::nan(""), 0, 5, 5).empty());
}
