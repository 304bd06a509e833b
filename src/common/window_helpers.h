#pragma once
// Small window services.
class QWidget;

// Keeps the window above all others (on) or back among them (off), without moving or
// sizing it.
void setTopMost(QWidget* window, bool on);

#include <QList>
#include <QPoint>
#include <QRect>

// Where a window whose client area is `area` can be seen and grabbed: `area`'s own top-left
// when enough of it lies on one of the screens, else the nearest place inside the first
// screen (a monitor unplugged since the place was saved).
QPoint placeOnScreen(const QRect& area, const QList<QRect>& screens);

// The usable area of every screen, the primary one first.
QList<QRect> screenAreas();
