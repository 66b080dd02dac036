#include "ui/Artwork.h"

#include <QPainter>
#include <QPainterPath>

#include <cmath>

namespace Artwork {
namespace {

// A Lambert graticule: parallels are arcs about the cone's apex, meridians
// are rays from it. The apex lies above the picture.
void drawGraticule(QPainter& p, const QRectF& area, const QColor& line, const QColor& accent) {
    const QPointF apex(area.center().x(), area.top() - area.height() * 1.1);
    const double span = 0.42;  // half the opening angle shown, radians
    p.setBrush(Qt::NoBrush);
    for (int i = 0; i <= 5; ++i) {
        const double r = area.height() * (1.25 + 0.17 * i);
        QPen pen(i == 2 || i == 4 ? accent : line, i == 2 || i == 4 ? 1.6 : 1.0);
        p.setPen(pen);
        const QRectF circle(apex.x() - r, apex.y() - r, 2 * r, 2 * r);
        const double start = 270.0 - span * 180.0 / M_PI;
        p.drawArc(circle, qRound(start * 16), qRound(2 * span * 180.0 / M_PI * 16));
    }
    p.setPen(QPen(line, 1.0));
    for (int j = -3; j <= 3; ++j) {
        const double a = j * span / 3.0;
        const double r0 = area.height() * 1.25;
        const double r1 = area.height() * 2.1;
        p.drawLine(QPointF(apex.x() + r0 * std::sin(a), apex.y() + r0 * std::cos(a)),
                   QPointF(apex.x() + r1 * std::sin(a), apex.y() + r1 * std::cos(a)));
    }
}

}  // namespace

QPixmap logo(QSize size, qreal devicePixelRatio) {
    QPixmap pixmap(size * devicePixelRatio);
    pixmap.setDevicePixelRatio(devicePixelRatio);
    pixmap.fill(Qt::white);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF all(0, 0, size.width(), size.height());
    p.setClipRect(all);
    drawGraticule(p, all.adjusted(4, 4, -4, -4), QColor(70, 90, 120), QColor(200, 60, 40));
    // The cone touching the globe along the two standard parallels.
    p.setPen(QPen(QColor(30, 40, 60), 1.2));
    p.setBrush(QColor(230, 236, 245, 160));
    const double w = all.width(), h = all.height();
    QPainterPath cone;
    cone.moveTo(w * 0.12, h * 0.18);
    cone.lineTo(w * 0.30, h * 0.02);
    cone.lineTo(w * 0.48, h * 0.18);
    cone.closeSubpath();
    p.drawPath(cone);
    p.drawEllipse(QPointF(w * 0.30, h * 0.18), w * 0.18, h * 0.05);
    return pixmap;
}

QPixmap iconImage(int side) {
    QPixmap pixmap(side, side);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF all(0, 0, side, side);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(245, 248, 252));
    p.drawRoundedRect(all.adjusted(0.5, 0.5, -0.5, -0.5), side * 0.15, side * 0.15);
    p.setClipRect(all.adjusted(side * 0.06, side * 0.06, -side * 0.06, -side * 0.06));
    drawGraticule(p, all.adjusted(side * 0.1, side * 0.25, -side * 0.1, -side * 0.1),
                  QColor(50, 70, 110), QColor(200, 60, 40));
    return pixmap;
}

QIcon icon() {
    QIcon icon;
    for (int side : {16, 24, 32, 48, 64, 128, 256}) icon.addPixmap(iconImage(side));
    return icon;
}

}  // namespace Artwork
