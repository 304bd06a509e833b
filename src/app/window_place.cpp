#include "app/window_place.h"

#include <cmath>

#include "app/settings_file.h"

namespace app {

int twipsToPixels(double twips) { return int(std::lround(twips / kTwipsPerPixel)); }

QRect mainWindowPlace(const std::optional<std::array<double, 4>>& twips, const QSize& screen) {
    if (twips) {
        const auto& t = *twips;
        return {twipsToPixels(t[0]), twipsToPixels(t[1]), std::max(1, twipsToPixels(t[2])),
                std::max(1, twipsToPixels(t[3]))};
    }
    const int w = 370, h = 370;
    return {(screen.width() - w) / 2, (screen.height() - h) / 2, w, h};
}

QPoint listWindowPlace(const std::optional<std::array<double, 2>>& twips,
                       const QPoint& mainTopLeft) {
    if (twips) return {twipsToPixels((*twips)[0]), twipsToPixels((*twips)[1])};
    return mainTopLeft + QPoint(30, 30);
}

std::array<double, 4> mainRectToSave(const QRect& now,
                                     const std::optional<std::array<double, 4>>& read,
                                     const QRect& placed) {
    if (read && now == placed) return *read;
    return {now.x() * kTwipsPerPixel, now.y() * kTwipsPerPixel, now.width() * kTwipsPerPixel,
            now.height() * kTwipsPerPixel};
}

std::array<double, 2> listRectToSave(const QPoint& now,
                                     const std::optional<std::array<double, 2>>& read,
                                     const QPoint& placed) {
    if (read && now == placed) return *read;
    return {now.x() * kTwipsPerPixel, now.y() * kTwipsPerPixel};
}

}  // namespace app
