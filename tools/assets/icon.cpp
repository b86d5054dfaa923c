#include "icon.h"

#include <QLinearGradient>
#include <QPainter>
#include <QRadialGradient>

#include <cmath>

#include "sector_geometry.h"

namespace kepler::assets {

QImage DrawIcon(int size, IconTile tile) {
  QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
  image.fill(Qt::transparent);
  {
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(size / double(kIconSize), size / double(kIconSize));

    QLinearGradient sky(0, 0, 0, kIconSize);
    sky.setColorAt(0.0, QColor(28, 40, 96));
    sky.setColorAt(1.0, QColor(12, 18, 52));
    p.setPen(Qt::NoPen);
    p.setBrush(sky);
    if (tile == IconTile::kSquare) {
      p.drawRect(QRectF(0, 0, kIconSize, kIconSize));
    } else {
      p.drawRoundedRect(QRectF(4, 4, kIconSize - 8, kIconSize - 8), 22, 22);
    }

    // An orbit of eccentricity 0.6, tilted a little, with the Sun in its right focus.
    const Ellipse orbit{50.0, 0.6};
    p.translate(64, 66);
    p.rotate(-18.0);
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(QColor(200, 215, 255), 4.0));
    p.drawEllipse(QPointF(0, 0), orbit.semiMajor, orbit.SemiMinor());

    const Point sun = orbit.SunFocus();
    QRadialGradient glow(QPointF(sun.x - 4, -sun.y - 4), 22);
    glow.setColorAt(0.0, QColor(255, 253, 210));
    glow.setColorAt(0.55, QColor(255, 215, 40));
    glow.setColorAt(1.0, QColor(250, 150, 20));
    p.setPen(QPen(QColor(200, 110, 10), 1.5));
    p.setBrush(glow);
    p.drawEllipse(QPointF(sun.x, -sun.y), 15, 15);

    const Point planet = orbit.At(2.3);
    p.setPen(QPen(QColor(15, 40, 110), 1.5));
    p.setBrush(QColor(60, 140, 240));
    p.drawEllipse(QPointF(planet.x, -planet.y), 9, 9);
  }
  return image.convertToFormat(tile == IconTile::kSquare ? QImage::Format_RGB32
                                                         : QImage::Format_ARGB32);
}

}  // namespace kepler::assets
