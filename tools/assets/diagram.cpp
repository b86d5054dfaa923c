#include "diagram.h"

#include <QFont>
#include <QFontDatabase>
#include <QFontInfo>
#include <QFontMetricsF>
#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>
#include <QRadialGradient>
#include <QString>
#include <QStringList>

#include <cmath>
#include <numbers>
#include <stdexcept>

#include "sector_geometry.h"

namespace kepler::assets {
namespace {

const QColor kPaper(250, 250, 244);
const QColor kPanel(255, 255, 255);
const QColor kPanelBorder(150, 160, 200);
const QColor kInk(25, 25, 40);
const QColor kHeading(20, 45, 125);
const QColor kOrbit(30, 55, 145);
const QColor kAxis(130, 130, 150);
const QColor kSectorFill(255, 165, 60, 170);
const QColor kSectorEdge(205, 105, 20);
const QColor kPlanet(40, 110, 220);
const QColor kMotion(190, 40, 40);

constexpr double kSemiMajor = 132.0;  // orbit semi-major axis on the page [px]

// Chooses the first installed Japanese family; the result never depends on the locale.
QString JapaneseFamily() {
  for (const QString& family : {QStringLiteral("Noto Sans CJK JP"), QStringLiteral("IPAPGothic")}) {
    if (QFontDatabase::hasFamily(family)) {
      return family;
    }
  }
  throw std::runtime_error(
      "no Japanese font: install fonts-noto-cjk (Noto Sans CJK JP) or fonts-ipafont-gothic "
      "(IPAPGothic)");
}

class Page {
 public:
  explicit Page(QImage& image) : painter_(&image), family_(JapaneseFamily()) {
    painter_.setRenderHint(QPainter::Antialiasing);
    painter_.setRenderHint(QPainter::TextAntialiasing);
  }

  QPainter& painter() { return painter_; }

  // Every later label must also stay inside this rectangle (the panel it belongs to).
  void SetFrame(const QRectF& frame) { frame_ = frame; }

  void UseFont(int pixelSize, bool bold) {
    QFont font(family_);
    font.setPixelSize(pixelSize);
    font.setBold(bold);
    font.setStyleStrategy(QFont::PreferAntialias);
    painter_.setFont(font);
  }

  // Draws text inside box with the given alignment; refuses text the font cannot show or that
  // would spill out of the box, so a missing glyph or a too-long line fails the build instead of
  // showing tofu or clipped words.
  void Text(const QRectF& box, int flags, const QString& text, const QColor& color) {
    const QFontMetricsF metrics(painter_.font());
    for (const char32_t c : text.toStdU32String()) {
      if (c != U' ' && !metrics.inFontUcs4(c)) {
        throw std::runtime_error("the font " + family_.toStdString() +
                                 " cannot show a character of \"" + text.toStdString() + "\"");
      }
    }
    const QRectF needed = metrics.boundingRect(box, flags, text);
    if (!Contains(box, needed) || !Contains(frame_, needed)) {
      throw std::runtime_error("the label \"" + text.toStdString() + "\" does not fit its box");
    }
    painter_.setPen(color);
    painter_.drawText(box, flags, text);
  }

 private:
  static bool Contains(const QRectF& outer, const QRectF& inner) {
    constexpr double kSlack = 0.5;  // [px]
    return inner.left() >= outer.left() - kSlack && inner.right() <= outer.right() + kSlack &&
           inner.top() >= outer.top() - kSlack && inner.bottom() <= outer.bottom() + kSlack;
  }

  QPainter painter_;
  QString family_;
  QRectF frame_{0, 0, kDiagramWidth, kDiagramHeight};
};

// Maps orbit coordinates (x right, y up, origin at the ellipse centre) to the page.
struct OrbitFrame {
  QPointF centre;
  QPointF ToPage(Point p) const { return {centre.x() + p.x, centre.y() - p.y}; }
};

void DrawPanel(Page& page, const QRectF& box, const QString& heading) {
  QPainter& p = page.painter();
  p.setPen(QPen(kPanelBorder, 1.5));
  p.setBrush(kPanel);
  p.drawRoundedRect(box, 8.0, 8.0);
  page.SetFrame(box.adjusted(4, 4, -4, -4));
  page.UseFont(19, true);
  page.Text(QRectF(box.left() + 8, box.top() + 6, box.width() - 16, 28), Qt::AlignCenter, heading,
            kHeading);
}

void DrawOrbit(QPainter& p, const OrbitFrame& frame, const Ellipse& ellipse) {
  p.setBrush(Qt::NoBrush);
  p.setPen(QPen(kAxis, 1.0, Qt::DashLine));
  p.drawLine(frame.ToPage({-ellipse.semiMajor, 0.0}), frame.ToPage({ellipse.semiMajor, 0.0}));
  p.setPen(QPen(kOrbit, 2.0));
  p.drawEllipse(frame.centre, ellipse.semiMajor, ellipse.SemiMinor());
}

void DrawSun(QPainter& p, QPointF at) {
  constexpr double kRadius = 10.0;  // [px]
  QRadialGradient glow(at - QPointF(3.0, 3.0), kRadius * 1.4);
  glow.setColorAt(0.0, QColor(255, 252, 200));
  glow.setColorAt(0.6, QColor(255, 210, 40));
  glow.setColorAt(1.0, QColor(245, 150, 20));
  p.setPen(QPen(QColor(190, 110, 10), 1.2));
  p.setBrush(glow);
  p.drawEllipse(at, kRadius, kRadius);
}

void DrawPlanet(QPainter& p, QPointF at) {
  p.setPen(QPen(QColor(20, 50, 120), 1.0));
  p.setBrush(kPlanet);
  p.drawEllipse(at, 6.0, 6.0);
}

void DrawDot(QPainter& p, QPointF at) {
  p.setPen(Qt::NoPen);
  p.setBrush(kInk);
  p.drawEllipse(at, 3.5, 3.5);
}

// Arrow head at tip pointing along direction (dx, dy) on the page.
void DrawArrowHead(QPainter& p, QPointF tip, double dx, double dy, const QColor& color) {
  const double length = std::hypot(dx, dy);
  const double ux = dx / length;
  const double uy = dy / length;
  constexpr double kLong = 9.0;  // [px]
  constexpr double kHalf = 4.5;  // [px]
  const QPointF back(tip.x() - kLong * ux, tip.y() - kLong * uy);
  QPolygonF head;
  head << tip << QPointF(back.x() - kHalf * uy, back.y() + kHalf * ux)
       << QPointF(back.x() + kHalf * uy, back.y() - kHalf * ux);
  p.setPen(Qt::NoPen);
  p.setBrush(color);
  p.drawPolygon(head);
}

// An arc just outside the orbit from eccentric anomaly from to to [rad], with an arrow at the end.
void DrawMotionArrow(QPainter& p, const OrbitFrame& frame, const Ellipse& ellipse, double from,
                     double to, double offset) {
  QPainterPath path;
  constexpr int kSteps = 40;
  const double scale = 1.0 + offset / ellipse.semiMajor;
  QPointF last;
  QPointF beforeLast;
  for (int i = 0; i <= kSteps; ++i) {
    const double eAnom = from + (to - from) * i / kSteps;
    const Point on = ellipse.At(eAnom);
    const QPointF at = frame.ToPage({on.x * scale, on.y * (1.0 + offset / ellipse.SemiMinor())});
    if (i == 0) {
      path.moveTo(at);
    } else {
      path.lineTo(at);
    }
    beforeLast = last;
    last = at;
  }
  p.setBrush(Qt::NoBrush);
  p.setPen(QPen(kMotion, 2.0, Qt::SolidLine, Qt::RoundCap));
  p.drawPath(path);
  DrawArrowHead(p, last, last.x() - beforeLast.x(), last.y() - beforeLast.y(), kMotion);
}

void DrawFirstLaw(Page& page, const QRectF& box) {
  DrawPanel(page, box, QStringLiteral("第１法則（楕円軌道の法則）"));
  QPainter& p = page.painter();
  const Ellipse ellipse{kSemiMajor, kDiagramEccentricity};
  const OrbitFrame frame{QPointF(box.center().x(), box.top() + 44.0 + ellipse.SemiMinor())};
  DrawOrbit(p, frame, ellipse);

  const QPointF sun = frame.ToPage(ellipse.SunFocus());
  const QPointF empty = frame.ToPage(ellipse.EmptyFocus());
  const QPointF perihelion = frame.ToPage(ellipse.At(0.0));
  const QPointF aphelion = frame.ToPage(ellipse.At(std::numbers::pi));
  const QPointF planet = frame.ToPage(ellipse.At(2.05));

  // The two distances from the foci, whose sum is the same all round the ellipse.
  p.setPen(QPen(QColor(90, 140, 90), 1.2, Qt::DashLine));
  p.drawLine(planet, sun);
  p.drawLine(planet, empty);

  DrawDot(p, perihelion);
  DrawDot(p, aphelion);
  p.setPen(QPen(kInk, 2.0));
  p.drawLine(empty + QPointF(-5, -5), empty + QPointF(5, 5));
  p.drawLine(empty + QPointF(-5, 5), empty + QPointF(5, -5));
  DrawSun(p, sun);
  DrawPlanet(p, planet);
  DrawMotionArrow(p, frame, ellipse, 2.35, 2.85, 10.0);

  page.UseFont(15, false);
  page.Text(QRectF(sun.x() - 30, sun.y() + 13, 60, 24), Qt::AlignHCenter | Qt::AlignTop,
            QStringLiteral("焦点"), kInk);
  page.Text(QRectF(sun.x() - 30, sun.y() - 38, 60, 24), Qt::AlignHCenter | Qt::AlignBottom,
            QStringLiteral("太陽"), kInk);
  page.Text(QRectF(empty.x() - 30, empty.y() + 9, 60, 24), Qt::AlignHCenter | Qt::AlignTop,
            QStringLiteral("焦点"), kInk);
  page.Text(QRectF(perihelion.x() - 34, perihelion.y() + 8, 68, 24),
            Qt::AlignHCenter | Qt::AlignTop, QStringLiteral("近日点"), kInk);
  page.Text(QRectF(aphelion.x() - 34, aphelion.y() + 8, 68, 24), Qt::AlignHCenter | Qt::AlignTop,
            QStringLiteral("遠日点"), kInk);
  page.Text(QRectF(planet.x() - 50, planet.y() - 32, 60, 24), Qt::AlignRight | Qt::AlignBottom,
            QStringLiteral("惑星"), kInk);

  page.UseFont(16, false);
  const double textTop = frame.centre.y() + ellipse.SemiMinor() + 12.0;
  page.Text(QRectF(box.left() + 14, textTop, box.width() - 28, 24), Qt::AlignLeft | Qt::AlignTop,
            QStringLiteral("惑星は、太陽を１つの焦点とする"), kInk);
  page.Text(QRectF(box.left() + 14, textTop + 23, box.width() - 28, 24),
            Qt::AlignLeft | Qt::AlignTop, QStringLiteral("楕円の軌道を描いて公転する。"), kInk);
  page.Text(QRectF(box.left() + 14, textTop + 50, box.width() - 28, 24),
            Qt::AlignLeft | Qt::AlignTop, QStringLiteral("（２つの焦点からの距離の和は一定）"),
            QColor(70, 110, 70));
}

void DrawSector(QPainter& p, const OrbitFrame& frame, const Sector& sector) {
  QPolygonF polygon;
  for (const Point& point : sector.outline) {
    polygon << frame.ToPage(point);
  }
  p.setPen(QPen(kSectorEdge, 1.5));
  p.setBrush(kSectorFill);
  p.drawPolygon(polygon);
}

void DrawSecondLaw(Page& page, const QRectF& box) {
  DrawPanel(page, box, QStringLiteral("第２法則（面積速度一定の法則）"));
  QPainter& p = page.painter();
  const Ellipse ellipse{kSemiMajor, kDiagramEccentricity};
  const OrbitFrame frame{QPointF(box.center().x(), box.top() + 44.0 + ellipse.SemiMinor())};

  // Equal spans of mean anomaly are equal times, so the two sectors have equal areas.
  constexpr int kArcPoints = 96;
  const Sector nearSun = SweptSector(ellipse, 0.0, kDiagramSectorSpan, kArcPoints);
  const Sector farAway = SweptSector(ellipse, std::numbers::pi, kDiagramSectorSpan, kArcPoints);
  DrawSector(p, frame, nearSun);
  DrawSector(p, frame, farAway);
  DrawOrbit(p, frame, ellipse);
  DrawMotionArrow(p, frame, ellipse, nearSun.startAnomaly, nearSun.endAnomaly, 9.0);
  DrawMotionArrow(p, frame, ellipse, farAway.startAnomaly, farAway.endAnomaly, 9.0);
  const QPointF sun = frame.ToPage(ellipse.SunFocus());
  DrawSun(p, sun);

  page.UseFont(18, true);
  // Label A sits in the wide fan beside the Sun, B two thirds of the way out the thin one.
  const QPointF aAt =
      frame.ToPage({ellipse.SunFocus().x + 0.55 * (kSemiMajor - ellipse.SunFocus().x), 0.0});
  const Point farMid = ellipse.At(std::numbers::pi);
  const QPointF bAt =
      frame.ToPage({ellipse.SunFocus().x + 0.7 * (farMid.x - ellipse.SunFocus().x), 0.0});
  page.Text(QRectF(aAt.x() - 14, aAt.y() + 6, 28, 28), Qt::AlignCenter, QStringLiteral("Ａ"), kInk);
  page.Text(QRectF(bAt.x() - 14, bAt.y() - 14, 28, 28), Qt::AlignCenter, QStringLiteral("Ｂ"),
            kInk);

  page.UseFont(15, true);
  const QPointF perihelion = frame.ToPage(ellipse.At(0.0));
  const QPointF aphelion = frame.ToPage(ellipse.At(std::numbers::pi));
  page.Text(QRectF(perihelion.x() + 14, perihelion.y() - 12, 40, 24),
            Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("速い"), kMotion);
  page.Text(QRectF(aphelion.x() - 54, aphelion.y() - 12, 40, 24), Qt::AlignRight | Qt::AlignVCenter,
            QStringLiteral("遅い"), kMotion);

  page.UseFont(16, false);
  const double textTop = frame.centre.y() + ellipse.SemiMinor() + 12.0;
  const QStringList lines{
      QStringLiteral("太陽と惑星を結ぶ線分が同じ時間に"),
      QStringLiteral("通過する面積は等しい（Ａ＝Ｂ）。"),
      QStringLiteral("太陽に近いところでは速く、"),
      QStringLiteral("遠いところではゆっくり動く。"),
  };
  for (int i = 0; i < lines.size(); ++i) {
    page.Text(QRectF(box.left() + 14, textTop + 23 * i, box.width() - 28, 24),
              Qt::AlignLeft | Qt::AlignTop, lines[i], kInk);
  }
}

}  // namespace

QImage DrawLawsDiagram() {
  QImage image(kDiagramWidth, kDiagramHeight, QImage::Format_RGB32);
  image.fill(kPaper);
  Page page(image);

  page.UseFont(28, true);
  page.Text(QRectF(0, 4, kDiagramWidth, 44), Qt::AlignCenter, QStringLiteral("ケプラーの法則"),
            kHeading);

  DrawFirstLaw(page, QRectF(12, 52, 382, 384));
  DrawSecondLaw(page, QRectF(406, 52, 382, 384));

  QPainter& p = page.painter();
  const QRectF third(12, 446, 776, 44);
  p.setPen(QPen(kPanelBorder, 1.5));
  p.setBrush(kPanel);
  p.drawRoundedRect(third, 8.0, 8.0);
  page.SetFrame(third);
  page.UseFont(18, false);
  page.Text(third.adjusted(10, 0, -10, 0), Qt::AlignCenter,
            QStringLiteral("第３法則：公転周期の２乗は軌道長半径の３乗に比例する（T² ∝ a³）"),
            kInk);
  return image;
}

}  // namespace kepler::assets
