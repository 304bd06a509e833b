#pragma once
// The transport and mark pictures, drawn in code so that they stay crisp at any pixel ratio
// and the program needs no picture files beside it.
#include <QPixmap>

namespace icons {

enum class Kind {
    Play,
    Pause,
    Stop,
    Backward,
    Forward,
    Sound,
    Mute,
    LastItem,
    NextItem,
    RangeStart,
    RangeEnd,
    Program
};

// A size x size (device-independent) picture drawn at the given device pixel ratio.
QPixmap pixmap(Kind kind, int size, qreal devicePixelRatio = 1.0);

}  // namespace icons
