#include "player/capture/capture_place.h"

#include <cmath>

namespace player::capture {

namespace {
constexpr int kTwipsPerPixel = 15;
}  // namespace

QPoint placeFromTwips(const Twips& twips) {
    return {static_cast<int>(std::lround(twips[0] / double(kTwipsPerPixel))),
            static_cast<int>(std::lround(twips[1] / double(kTwipsPerPixel)))};
}

Twips twipsToKeep(const QPoint& now, const Twips& read, const QPoint& placed) {
    if (now == placed) return read;
    return {now.x() * kTwipsPerPixel, now.y() * kTwipsPerPixel};
}

}  // namespace player::capture
