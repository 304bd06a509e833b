#pragma once
// The player window's widgets as the player's state shows them: the one place that writes
// them. It hears the state's changes; the controllers only touch the media and the state.
#include <QObject>
#include <cstdint>

#include "player/player_state.h"
#include "player/player_ui.h"

namespace player {

class PlayerView : public QObject {
    Q_OBJECT
  public:
    // window: the main window, whose title names the file.
    PlayerView(PlayerUi& ui, PlayerState& state, QWidget* window, QObject* parent = nullptr);

    // Pixels of the position bar per unit of the open media (1 while no length is known).
    float barScale() const { return barScale_; }
    // While the user drags the thumb, nothing else moves it.
    bool thumbDragging() const { return dragging_; }
    void setThumbDragging(bool on) { dragging_ = on; }

  private:
    void showLength(int32_t units);
    void moveThumb(int32_t units);
    void showPosition(int32_t units);
    void showStopped();
    void showTimes(bool on);
    void showFile(const QString& path);
    LumbaButton* button(PanelButton b) const;

    PlayerUi& ui_;
    PlayerState& state_;
    QWidget* window_;
    float barScale_ = 1.0f;
    int curTag_ = 2;  // fields of the current time, as many as the total has
    bool dragging_ = false;
};

}  // namespace player
