#pragma once
// The position read-outs of the control panel: the time labels and the thumb on the track,
// with the units, seconds and bar scale of the open media they are drawn from.
#include <cstdint>

#include "media/mci.h"
#include "player/player_state.h"
#include "player/player_ui.h"

namespace player {

class TimeLabels {
  public:
    TimeLabels(PlayerUi& ui, MCI& media, PlayerState& state)
        : ui_(ui), media_(media), state_(state) {}

    float barScale() const { return barScale_; }
    int timeStyleTag() const { return curTag_; }  // Tag of lblCurTime
    // While the user drags the thumb, nothing else moves it.
    bool thumbDragging() const { return dragging_; }
    void setThumbDragging(bool on) { dragging_ = on; }

    // Reads the length of the open media into the state and writes both labels and the bar
    // scale.
    void updateTimeLabels();
    void moveThumb(int32_t position);
    void setTimeLabelsVisible(bool on);
    // A new file is being opened: no length yet, the thumb at the start.
    void clearForNewFile();
    // Stopped: the current time reads zero (only once a length was known).
    void showStoppedTime();
    // progress: 0 to 1 of the whole length.
    void showCurrentTime(double progress);

  private:
    PlayerUi& ui_;
    MCI& media_;
    PlayerState& state_;
    float barScale_ = 1.0f;
    int curTag_ = 2;
    bool dragging_ = false;
};

}  // namespace player
