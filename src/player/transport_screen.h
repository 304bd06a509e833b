#pragma once
// What the transport needs of the window beyond the player's state: the pixels of the position
// bar and the volume slider, the live look of the buttons, the layout and the window's size.
// The view implements it; tests may give their own.
#include <QSize>
#include <cstdint>

#include "common/button_state.h"
#include "player/player_state.h"

namespace player {

// Menu items whose enabling decides whether a key acts.
enum class KeyItem { SavePicture, SegmentPlay };

class TransportScreen {
  public:
    virtual ~TransportScreen() = default;

    // The position bar, x in the track's pixels: the units there, the thumb's centre put there.
    virtual int32_t unitsAtBar(int x) const = 0;
    virtual void putThumbAt(int x) = 0;
    // Dragging the thumb (dx in the thumb's own pixels); the end gives the track pixel where
    // the thumb's centre came to rest. Nothing else moves the thumb meanwhile.
    virtual void beginThumbDrag() = 0;
    virtual void dragThumb(int dx) = 0;
    virtual int endThumbDrag() = 0;

    // The volume slider of a mixer range of width scale: the value at a pixel of the slider,
    // or where the knob dragged by dx comes to; the knob placed at a value.
    virtual int volumeAtSlider(int x, int scale) const = 0;
    virtual int volumeAtKnob(int dx, int scale) const = 0;
    virtual void placeKnob(int value, int scale) = 0;

    // The look a button has now (the mouse may hold it down).
    virtual ButtonState buttonLook(PanelButton b) const = 0;
    virtual bool itemEnabled(KeyItem item) const = 0;

    // Lays the window out for its size; the video area that gives, and whether the picture
    // fills it (stretch).
    virtual void layOut() = 0;
    virtual QSize videoArea() const = 0;
    virtual void setVideoStretch(bool on) = 0;
    virtual bool minimised() const = 0;
    virtual void toggleMaximise() = 0;
};

}  // namespace player
