#pragma once
// The player window's widgets as the player's state shows them: the one place that writes
// them. It hears the state's changes; the controllers only touch the media and the state,
// and reach the window's pixels through TransportScreen.
#include <QObject>
#include <cstdint>

#include "player/player_state.h"
#include "player/player_ui.h"
#include "player/transport_screen.h"

namespace player {

class PlayerView : public QObject, public TransportScreen {
    Q_OBJECT
  public:
    // window: the main window, whose title names the file.
    PlayerView(PlayerUi& ui, PlayerState& state, QWidget* window, QObject* parent = nullptr);

    // Pixels of the position bar per unit of the open media (1 while no length is known).
    float barScale() const { return barScale_; }

    // The items that need an open file (capture: the file has a picture to save).
    void setMediaMenus(bool on, bool capture);
    void disableCaptureItem();
    // The marks strip repaints at once (a segment play moves its marks).
    void repaintMarks();
    void focusVideo();

    // TransportScreen
    int32_t unitsAtBar(int x) const override;
    void putThumbAt(int x) override;
    void beginThumbDrag() override;
    void dragThumb(int dx) override;
    int endThumbDrag() override;
    int volumeAtSlider(int x, int scale) const override;
    int volumeAtKnob(int dx, int scale) const override;
    void placeKnob(int value, int scale) override;
    ButtonState buttonLook(PanelButton b) const override;
    bool itemEnabled(KeyItem item) const override;
    void layOut() override;
    QSize videoArea() const override;
    void setVideoStretch(bool on) override;
    bool minimised() const override;
    void toggleMaximise() override;

  private:
    void showLength(int32_t units);
    void moveThumb(int32_t units);
    void showPosition(int32_t units);
    void showStopped();
    void showTimes(bool on);
    void showFile(const QString& path);
    void showSpeed();
    void showSteps();
    void showKnob();
    LumbaButton* button(PanelButton b) const;

    PlayerUi& ui_;
    PlayerState& state_;
    QWidget* window_;
    float barScale_ = 1.0f;
    int curTag_ = 2;         // fields of the current time, as many as the total has
    bool dragging_ = false;  // while the user drags the thumb, nothing else moves it
    int dragX_ = 0;          // thumb centre while dragging, in panel coordinates
    int knobValue_ = 0;
    int knobScale_ = 0;
};

}  // namespace player
