#pragma once
// Window places between the settings file (twips, 15 per pixel) and the screen (pixels).
// A place read from the file is written back exactly as read while the window still
// stands where that place put it.
#include <QPoint>
#include <QRect>
#include <QSize>
#include <array>
#include <optional>

namespace app {

int twipsToPixels(double twips);

// The main window from MainRect, else 370 x 370 pixels centred on the screen.
QRect mainWindowPlace(const std::optional<std::array<double, 4>>& twips, const QSize& screen);

// The list window's top-left from ListRect, else 30 pixels right of and below the main
// window's top-left corner.
QPoint listWindowPlace(const std::optional<std::array<double, 2>>& twips,
                       const QPoint& mainTopLeft);

// MainRect to write for a window whose normal rectangle is now `now`; `placed` is where the
// read twips put it.
std::array<double, 4> mainRectToSave(const QRect& now,
                                     const std::optional<std::array<double, 4>>& read,
                                     const QRect& placed);
std::array<double, 2> listRectToSave(const QPoint& now,
                                     const std::optional<std::array<double, 2>>& read,
                                     const QPoint& placed);

}  // namespace app
