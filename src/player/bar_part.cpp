#include "player/bar_part.h"

#include <QMouseEvent>
#include <QPainter>

namespace player {

BarPart::BarPart(Look look, const QString& name, QWidget* parent) : QWidget(parent), look_(look) {
    setObjectName(name);
}

void BarPart::paintEvent(QPaintEvent*) {
    QPainter p(this);
    const QRect r = rect();
    const QPalette& pal = palette();
    switch (look_) {
        case Strip:
        case MarksStrip:
            p.fillRect(r, pal.color(QPalette::Window));
            break;
        case Track:
        case Slider: {
            const QColor fill = isEnabled() ? QColor(250, 250, 250) : pal.color(QPalette::Window);
            const int mid = r.height() / 2;
            const QRect groove(r.left(), mid - 2, r.width(), 4);
            p.fillRect(groove, fill);
            p.setPen(pal.color(QPalette::Dark));
            p.drawLine(groove.topLeft(), groove.topRight());
            p.drawLine(groove.topLeft(), groove.bottomLeft());
            p.setPen(pal.color(QPalette::Light));
            p.drawLine(groove.bottomLeft(), groove.bottomRight());
            p.drawLine(groove.topRight(), groove.bottomRight());
            break;
        }
        case Thumb:
        case Knob: {
            p.setRenderHint(QPainter::Antialiasing);
            const QColor face = isEnabled() ? QColor(70, 100, 160) : QColor(160, 160, 160);
            p.setPen(face.darker(140));
            p.setBrush(face);
            p.drawRoundedRect(QRectF(r).adjusted(0.5, 0.5, -0.5, -0.5), 2, 2);
            break;
        }
    }
}

void BarPart::mousePressEvent(QMouseEvent* e) {
    emit mouseDown(e->button(), e->position().toPoint());
}

void BarPart::mouseMoveEvent(QMouseEvent* e) {
    emit mouseMove(e->buttons(), e->position().toPoint());
}

void BarPart::mouseReleaseEvent(QMouseEvent* e) {
    emit mouseUp(e->button(), e->position().toPoint());
}

}  // namespace player
