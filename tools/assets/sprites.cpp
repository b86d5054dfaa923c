#include "sprites.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <numbers>
#include <optional>

#include "gif_writer.h"

namespace kepler::assets {
namespace {

constexpr int kSubsamples = 4;               // per pixel side: 16 samples a pixel
constexpr double kCentre = 0.5 * kBodySize;  // picture centre [px]

struct Vec3 {
  double x = 0.0;
  double y = 0.0;
  double z = 0.0;
};

Vec3 operator+(Vec3 a, Vec3 b) {
  return {a.x + b.x, a.y + b.y, a.z + b.z};
}
Vec3 operator-(Vec3 a, Vec3 b) {
  return {a.x - b.x, a.y - b.y, a.z - b.z};
}
Vec3 operator*(double s, Vec3 a) {
  return {s * a.x, s * a.y, s * a.z};
}
double Dot(Vec3 a, Vec3 b) {
  return a.x * b.x + a.y * b.y + a.z * b.z;
}
Vec3 Normalised(Vec3 a) {
  return (1.0 / std::sqrt(Dot(a, a))) * a;
}

// Rotations by angle [rad] about the view axes (x right, y up, z toward the viewer).
Vec3 RotateZ(Vec3 v, double angle) {
  const double c = std::cos(angle);
  const double s = std::sin(angle);
  return {c * v.x - s * v.y, s * v.x + c * v.y, v.z};
}
Vec3 RotateY(Vec3 v, double angle) {
  const double c = std::cos(angle);
  const double s = std::sin(angle);
  return {c * v.x + s * v.z, v.y, -s * v.x + c * v.z};
}

struct Rgb {
  double r = 0.0;  // channels in [0, 255]
  double g = 0.0;
  double b = 0.0;
};

Rgb Mix(Rgb a, Rgb b, double t) {
  return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t};
}
Rgb Scaled(Rgb a, double s) {
  return {a.r * s, a.g * s, a.b * s};
}
Rgb FromQRgb(QRgb c) {
  return {double(qRed(c)), double(qGreen(c)), double(qBlue(c))};
}

double SmoothStep(double edge0, double edge1, double x) {
  const double t = std::clamp((x - edge0) / (edge1 - edge0), 0.0, 1.0);
  return t * t * (3.0 - 2.0 * t);
}

// Integer lattice hash (the "lowbias32" finaliser from Wellons, "Prospecting for hash functions",
// 2018); plain integer arithmetic, so every run and every build draws the same.
double Lattice(int x, int y, int z, std::uint32_t seed) {
  std::uint32_t h = seed * 0x9e3779b9u;
  h ^= static_cast<std::uint32_t>(x) * 0x85ebca6bu;
  h ^= static_cast<std::uint32_t>(y) * 0xc2b2ae35u;
  h ^= static_cast<std::uint32_t>(z) * 0x27d4eb2fu;
  h ^= h >> 16;
  h *= 0x7feb352du;
  h ^= h >> 15;
  h *= 0x846ca68bu;
  h ^= h >> 16;
  return static_cast<double>(h) / 4294967296.0;
}

// Value noise in [0, 1): lattice values blended with a smoothstep weight along each axis.
double ValueNoise(Vec3 p, std::uint32_t seed) {
  const double fx = std::floor(p.x);
  const double fy = std::floor(p.y);
  const double fz = std::floor(p.z);
  const int ix = static_cast<int>(fx);
  const int iy = static_cast<int>(fy);
  const int iz = static_cast<int>(fz);
  const double tx = SmoothStep(0.0, 1.0, p.x - fx);
  const double ty = SmoothStep(0.0, 1.0, p.y - fy);
  const double tz = SmoothStep(0.0, 1.0, p.z - fz);
  auto lerp = [](double a, double b, double t) { return a + (b - a) * t; };
  double corners[2][2];
  for (int dz = 0; dz < 2; ++dz) {
    for (int dy = 0; dy < 2; ++dy) {
      corners[dz][dy] =
          lerp(Lattice(ix, iy + dy, iz + dz, seed), Lattice(ix + 1, iy + dy, iz + dz, seed), tx);
    }
  }
  return lerp(lerp(corners[0][0], corners[0][1], ty), lerp(corners[1][0], corners[1][1], ty), tz);
}

// Four octaves of value noise, each at twice the frequency and half the weight; in [0, 1).
double Fbm(Vec3 p, std::uint32_t seed) {
  double sum = 0.0;
  double weight = 0.5;
  double total = 0.0;
  for (int octave = 0; octave < 4; ++octave) {
    sum += weight * ValueNoise(p, seed + static_cast<std::uint32_t>(octave));
    total += weight;
    weight *= 0.5;
    p = 2.03 * p;
  }
  return sum / total;
}

// Light from the upper left, in front of the picture.
const Vec3 kLight = Normalised({-0.5, 0.55, 0.67});

struct SurfacePoint {
  Rgb albedo;
  Vec3 normal;              // possibly tilted by relief
  double specular = 0.0;    // strength of the highlight, 0..1
  double atmosphere = 0.0;  // strength of a blue limb haze, 0..1
};

// Lambert diffuse term max(0, n.l) with an ambient floor, times a limb factor that darkens the
// rim, plus a Blinn-Phong highlight (n.h)^24 with h the half vector between light and viewer
// (Blinn, "Models of light reflection for computer synthesized pictures", SIGGRAPH 1977).
Rgb Lit(const SurfacePoint& s, double viewZ) {
  const double lambert = std::max(0.0, Dot(s.normal, kLight));
  const double limb = 0.55 + 0.45 * std::sqrt(std::max(0.0, viewZ));
  Rgb color = Scaled(s.albedo, (0.16 + 0.84 * lambert) * limb);
  if (s.specular > 0.0) {
    const Vec3 half = Normalised(kLight + Vec3{0.0, 0.0, 1.0});
    const double highlight = s.specular * std::pow(std::max(0.0, Dot(s.normal, half)), 24.0);
    color = Mix(color, {255.0, 255.0, 250.0}, std::min(1.0, highlight));
  }
  if (s.atmosphere > 0.0) {
    const double haze = s.atmosphere * std::pow(1.0 - viewZ, 2.0) * (0.3 + 0.7 * lambert);
    color = Mix(color, {140.0, 180.0, 255.0}, std::min(1.0, haze));
  }
  return color;
}

SurfacePoint Planet(Vec3 n) {
  // A plain world with faint latitude bands.
  const Vec3 body = RotateZ(n, 0.25);
  const double band = Fbm({body.x * 1.5, body.y * 7.0, body.z * 1.5}, 11);
  const Rgb base = Mix({130.0, 152.0, 120.0}, {160.0, 172.0, 140.0}, band);
  return {base, n, 0.0, 0.0};
}

SurfacePoint Earth(Vec3 n) {
  const Vec3 body = RotateY(RotateZ(n, 23.4 * std::numbers::pi / 180.0), 0.9);
  const double latitude = std::asin(std::clamp(body.y, -1.0, 1.0));
  const double landNoise = Fbm(1.6 * body + Vec3{3.0, 1.0, 7.0}, 21);
  const double land = SmoothStep(0.57, 0.61, landNoise);
  const Rgb ocean =
      Mix({18.0, 55.0, 150.0}, {35.0, 95.0, 185.0}, SmoothStep(0.45, 0.57, landNoise));
  const double dryness = Fbm(3.0 * body, 31);
  const Rgb ground =
      Mix({58.0, 135.0, 48.0}, {150.0, 118.0, 66.0}, SmoothStep(0.42, 0.62, dryness));
  Rgb albedo = Mix(ocean, ground, land);
  const double ice = SmoothStep(1.10, 1.20, std::abs(latitude));
  albedo = Mix(albedo, {235.0, 240.0, 245.0}, ice);
  const double cloud = SmoothStep(0.56, 0.68, Fbm({4.0 * body.x, 7.0 * body.y, 4.0 * body.z}, 41));
  albedo = Mix(albedo, {248.0, 248.0, 252.0}, 0.85 * cloud);
  const double wet = (1.0 - land) * (1.0 - cloud) * (1.0 - ice);
  return {albedo, n, 0.55 * wet, 0.6};
}

SurfacePoint Mars(Vec3 n) {
  const Vec3 body = RotateY(RotateZ(n, 25.2 * std::numbers::pi / 180.0), 2.2);
  const double latitude = std::asin(std::clamp(body.y, -1.0, 1.0));
  Rgb albedo = Mix({185.0, 82.0, 42.0}, {214.0, 122.0, 70.0}, Fbm(4.0 * body, 51));
  const double marking = SmoothStep(0.55, 0.62, Fbm(2.4 * body + Vec3{5.0, 2.0, 1.0}, 61));
  albedo = Mix(albedo, {112.0, 52.0, 34.0}, 0.8 * marking);
  const double cap = SmoothStep(1.18, 1.26, latitude);
  albedo = Mix(albedo, {245.0, 240.0, 232.0}, cap);
  return {albedo, n, 0.0, 0.0};
}

struct Crater {
  Vec3 centre;    // direction in view space (unit after normalisation)
  double radius;  // angular radius [rad]
};

SurfacePoint Mercury(Vec3 n) {
  static const Crater kCraters[] = {
      {Normalised({-0.35, 0.30, 0.89}), 0.30}, {Normalised({0.40, -0.25, 0.88}), 0.34},
      {Normalised({0.15, 0.55, 0.82}), 0.20},  {Normalised({-0.30, -0.55, 0.78}), 0.24},
      {Normalised({0.65, 0.35, 0.67}), 0.22},  {Normalised({-0.70, -0.10, 0.71}), 0.18},
      {Normalised({0.05, -0.05, 1.00}), 0.14},
  };
  const double mottle = Fbm(5.0 * n, 71);
  Rgb albedo = Mix({132.0, 128.0, 124.0}, {186.0, 182.0, 176.0}, mottle);
  Vec3 normal = n;
  for (const Crater& crater : kCraters) {
    const double distance = std::acos(std::clamp(Dot(n, crater.centre), -1.0, 1.0));
    if (distance >= 1.25 * crater.radius || distance < 1e-9) {
      continue;
    }
    // Outward direction from the crater centre in the tangent plane at n.
    const Vec3 outward = Normalised(Dot(n, crater.centre) * n - crater.centre);
    const double t = distance / crater.radius;
    // Bowl: the floor tilts toward the centre; rim: the wall beyond tilts away.
    const double slope = t < 1.0 ? -0.9 * t : 0.9 * (1.25 - t) / 0.25;
    normal = Normalised(normal + slope * outward);
    if (t < 0.8) {
      albedo = Scaled(albedo, 0.92);
    }
  }
  return {albedo, normal, 0.0, 0.0};
}

SurfacePoint Venus(Vec3 n) {
  const Vec3 body = RotateZ(n, 0.1);
  const double band = Fbm({body.x * 1.2, body.y * 5.0, body.z * 1.2}, 81);
  const Rgb albedo = Mix({242.0, 228.0, 176.0}, {222.0, 196.0, 138.0}, SmoothStep(0.35, 0.7, band));
  return {albedo, n, 0.0, 0.25};
}

struct Body3d {
  double radius;  // [px]
  SurfacePoint (*surface)(Vec3);
};

Body3d Describe(Body body) {
  switch (body) {
    case Body::Earth:
      return {14.0, &Earth};
    case Body::Mars:
      return {12.0, &Mars};
    case Body::Mercury:
      return {11.5, &Mercury};
    case Body::Venus:
      return {13.8, &Venus};
    case Body::Planet:
    case Body::Comet:
      break;
  }
  return {13.5, &Planet};
}

// Supersamples a picture: sample(x, y) gets a point's offset from the picture centre [px] (y
// down) and returns its colour, or nothing where the point is off the body. A pixel's colour is
// the mean of its covered subsamples and its alpha the covered fraction.
template <typename Sample>
QImage Supersample(Sample sample) {
  QImage image(kBodySize, kBodySize, QImage::Format_ARGB32);
  for (int py = 0; py < kBodySize; ++py) {
    auto* row = reinterpret_cast<QRgb*>(image.scanLine(py));
    for (int px = 0; px < kBodySize; ++px) {
      Rgb sum;
      int covered = 0;
      for (int sy = 0; sy < kSubsamples; ++sy) {
        for (int sx = 0; sx < kSubsamples; ++sx) {
          const std::optional<Rgb> c = sample(px + (sx + 0.5) / kSubsamples - kCentre,
                                              py + (sy + 0.5) / kSubsamples - kCentre);
          if (c) {
            sum = {sum.r + c->r, sum.g + c->g, sum.b + c->b};
            ++covered;
          }
        }
      }
      if (covered == 0) {
        row[px] = qRgba(0, 0, 0, 0);
        continue;
      }
      auto channel = [covered](double total) {
        return std::clamp(static_cast<int>(std::lround(total / covered)), 0, 255);
      };
      const int alpha = static_cast<int>(
          std::lround(255.0 * covered / static_cast<double>(kSubsamples * kSubsamples)));
      row[px] = qRgba(channel(sum.r), channel(sum.g), channel(sum.b), alpha);
    }
  }
  return image;
}

// A sphere seen from the front: a point (x, y) inside the disc of radius r has the view-space
// normal (x/r, -y/r, sqrt(1 - (x^2 + y^2)/r^2)).
QImage DrawSphere(const Body3d& sphere) {
  return Supersample([&sphere](double x, double y) -> std::optional<Rgb> {
    const double u = x / sphere.radius;
    const double v = -y / sphere.radius;
    const double rr = u * u + v * v;
    if (rr >= 1.0) {
      return std::nullopt;
    }
    const double z = std::sqrt(1.0 - rr);
    return Lit(sphere.surface({u, v, z}), z);
  });
}

// The comet: a white nucleus in a pale coma, and a dust tail toward the upper right that widens
// and fades over about 12 px. The glow is mixed into the surface colour, so the 1-bit edge where
// it drops below the cut-off meets the surface without a seam.
QImage DrawComet() {
  const Rgb surface = FromQRgb(kSurfaceColor);
  constexpr double kTailX = std::numbers::sqrt2 / 2.0;  // tail direction, x right, y down
  constexpr double kTailY = -std::numbers::sqrt2 / 2.0;
  constexpr double kCutOff = 0.18;
  return Supersample([&surface](double x, double y) -> std::optional<Rgb> {
    const double r = std::hypot(x, y);
    const double along = x * kTailX + y * kTailY;
    const double across = std::abs(x * kTailY - y * kTailX);
    const double coma = std::exp(-(r / 3.6) * (r / 3.6));
    double tail = 0.0;
    if (along > 0.0) {
      const double width = 1.2 + 0.3 * along;  // [px]
      tail = std::exp(-(across / width) * (across / width)) * std::exp(-along / 9.0);
    }
    const double glow = 1.0 - (1.0 - coma) * (1.0 - tail);
    if (glow < kCutOff) {
      return std::nullopt;
    }
    const double nucleus = SmoothStep(1.8, 0.8, r);
    const Rgb color = Mix(surface, {255.0, 238.0, 190.0}, std::min(1.0, 1.15 * glow));
    return Mix(color, {255.0, 255.0, 255.0}, nucleus);
  });
}

}  // namespace

QImage DrawBody(Body body) {
  if (body == Body::Comet) {
    return DrawComet();
  }
  return DrawSphere(Describe(body));
}

}  // namespace kepler::assets
