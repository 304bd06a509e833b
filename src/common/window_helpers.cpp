#include "common/window_helpers.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>
#include <algorithm>

void setTopMost(QWidget* window, bool on) {
    if (!window || window->windowFlags().testFlag(Qt::WindowStaysOnTopHint) == on) return;
    // Changing a window flag re-creates a shown window hidden; put it back where it was.
    const bool visible = window->isVisible();
    const QRect geometry = window->geometry();
    window->setWindowFlag(Qt::WindowStaysOnTopHint, on);
    if (visible) {
        window->setGeometry(geometry);
        window->show();
    }
}

QPoint placeOnScreen(const QRect& area, const QList<QRect>& screens) {
    if (screens.isEmpty()) return area.topLeft();
    // Enough to see the window and drag it by its top.
    const int needW = std::min(100, std::max(1, area.width()));
    const int needH = std::min(50, std::max(1, area.height()));
    for (const QRect& s : screens) {
        const QRect seen = s.intersected(area);
        if (seen.width() >= needW && seen.height() >= needH && area.top() >= s.top() - 8)
            return area.topLeft();
    }
    const QRect& s = screens.first();
    const int x = std::clamp(area.x(), s.left(), std::max(s.left(), s.right() + 1 - area.width()));
    const int y = std::clamp(area.y(), s.top(), std::max(s.top(), s.bottom() + 1 - area.height()));
    return {x, y};
}

QList<QRect> screenAreas() {
    QList<QRect> areas;
    if (const QScreen* primary = QGuiApplication::primaryScreen())
        areas.append(primary->availableGeometry());
    for (const QScreen* s : QGuiApplication::screens())
        if (s != QGuiApplication::primaryScreen()) areas.append(s->availableGeometry());
    return areas;
}
