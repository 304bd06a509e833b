#pragma once
// Where the capture window opens: left and top in whole twips (15 per pixel), as the
// settings keep them. A place that was read is written back exactly as read while the window
// still stands where it put it, so a load and a save never drift by a rounding.
#include <QPoint>
#include <array>

namespace player::capture {

using Twips = std::array<int, 2>;

// The window's top-left in pixels for a place in twips.
QPoint placeFromTwips(const Twips& twips);

// The place to keep for a window now at `now` that was put at `placed` from `read`.
Twips twipsToKeep(const QPoint& now, const Twips& read, const QPoint& placed);

}  // namespace player::capture
