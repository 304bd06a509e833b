#include "controls/icons.h"

#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>

namespace icons {
namespace {

const QColor kInk(40, 64, 110);
const QColor kAccent(200, 60, 40);

void triangle(QPainter& p, qreal x, qreal y, qreal w, qreal h, bool pointsRight) {
    QPolygonF t;
    if (pointsRight)
        t << QPointF(x, y) << QPointF(x + w, y + h / 2) << QPointF(x, y + h);
    else
        t << QPointF(x + w, y) << QPointF(x, y + h / 2) << QPointF(x + w, y + h);
    p.drawPolygon(t);
}

void triangleVertical(QPainter& p, qreal x, qreal y, qreal w, qreal h, bool pointsUp) {
    QPolygonF t;
    if (pointsUp)
        t << QPointF(x, y + h) << QPointF(x + w / 2, y) << QPointF(x + w, y + h);
    else
        t << QPointF(x, y) << QPointF(x + w / 2, y + h) << QPointF(x + w, y);
    p.drawPolygon(t);
}

void speaker(QPainter& p, qreal s) {
    QPolygonF body;
    body << QPointF(0.12 * s, 0.38 * s) << QPointF(0.30 * s, 0.38 * s)
         << QPointF(0.52 * s, 0.18 * s) << QPointF(0.52 * s, 0.82 * s)
         << QPointF(0.30 * s, 0.62 * s) << QPointF(0.12 * s, 0.62 * s);
    p.drawPolygon(body);
}

void bracket(QPainter& p, qreal s, bool open) {
    QPen pen(kInk, 0.12 * s, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin);
    p.setPen(pen);
    p.setBrush(Qt::NoBrush);
    const qreal x0 = open ? 0.30 * s : 0.70 * s;
    const qreal x1 = open ? 0.52 * s : 0.48 * s;
    QPolygonF b;
    b << QPointF(x1, 0.18 * s) << QPointF(x0, 0.18 * s) << QPointF(x0, 0.82 * s)
      << QPointF(x1, 0.82 * s);
    p.drawPolyline(b);
    p.setPen(Qt::NoPen);
    p.setBrush(kAccent);
    const qreal dot = 0.14 * s;
    p.drawEllipse(QPointF(open ? 0.70 * s : 0.28 * s, 0.5 * s), dot, dot);
}

void draw(QPainter& p, Kind kind, qreal s) {
    p.setPen(Qt::NoPen);
    p.setBrush(kInk);
    switch (kind) {
        case Kind::Play:
            triangle(p, 0.28 * s, 0.18 * s, 0.52 * s, 0.64 * s, true);
            break;
        case Kind::Pause:
            p.drawRect(QRectF(0.24 * s, 0.2 * s, 0.18 * s, 0.6 * s));
            p.drawRect(QRectF(0.58 * s, 0.2 * s, 0.18 * s, 0.6 * s));
            break;
        case Kind::Stop:
            p.drawRect(QRectF(0.24 * s, 0.24 * s, 0.52 * s, 0.52 * s));
            break;
        case Kind::Backward:
            triangle(p, 0.10 * s, 0.24 * s, 0.40 * s, 0.52 * s, false);
            triangle(p, 0.48 * s, 0.24 * s, 0.40 * s, 0.52 * s, false);
            break;
        case Kind::Forward:
            triangle(p, 0.12 * s, 0.24 * s, 0.40 * s, 0.52 * s, true);
            triangle(p, 0.50 * s, 0.24 * s, 0.40 * s, 0.52 * s, true);
            break;
        case Kind::Sound: {
            speaker(p, s);
            QPen pen(kInk, 0.07 * s, Qt::SolidLine, Qt::RoundCap);
            p.setPen(pen);
            p.setBrush(Qt::NoBrush);
            p.drawArc(QRectF(0.40 * s, 0.32 * s, 0.24 * s, 0.36 * s), -60 * 16, 120 * 16);
            p.drawArc(QRectF(0.40 * s, 0.20 * s, 0.44 * s, 0.60 * s), -60 * 16, 120 * 16);
            break;
        }
        case Kind::Mute: {
            speaker(p, s);
            QPen pen(kAccent, 0.08 * s, Qt::SolidLine, Qt::RoundCap);
            p.setPen(pen);
            p.drawLine(QPointF(0.62 * s, 0.36 * s), QPointF(0.88 * s, 0.64 * s));
            p.drawLine(QPointF(0.62 * s, 0.64 * s), QPointF(0.88 * s, 0.36 * s));
            break;
        }
        case Kind::LastItem:
            p.drawRect(QRectF(0.22 * s, 0.20 * s, 0.56 * s, 0.10 * s));
            triangleVertical(p, 0.22 * s, 0.36 * s, 0.56 * s, 0.42 * s, true);
            break;
        case Kind::NextItem:
            triangleVertical(p, 0.22 * s, 0.22 * s, 0.56 * s, 0.42 * s, false);
            p.drawRect(QRectF(0.22 * s, 0.70 * s, 0.56 * s, 0.10 * s));
            break;
        case Kind::RangeStart:
            bracket(p, s, true);
            break;
        case Kind::RangeEnd:
            bracket(p, s, false);
            break;
        case Kind::Program: {
            p.setBrush(kInk);
            p.drawRoundedRect(QRectF(0.06 * s, 0.14 * s, 0.88 * s, 0.72 * s), 0.12 * s, 0.12 * s);
            p.setBrush(Qt::white);
            triangle(p, 0.38 * s, 0.30 * s, 0.32 * s, 0.40 * s, true);
            break;
        }
    }
}

}  // namespace

QPixmap pixmap(Kind kind, int size, qreal devicePixelRatio) {
    const int px = qMax(1, qRound(size * devicePixelRatio));
    QPixmap pm(px, px);
    pm.fill(Qt::transparent);
    {
        QPainter p(&pm);
        p.setRenderHint(QPainter::Antialiasing);
        draw(p, kind, px);
    }
    pm.setDevicePixelRatio(devicePixelRatio);
    return pm;
}

}  // namespace icons
