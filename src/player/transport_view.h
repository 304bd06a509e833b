#pragma once
// The user's direct handles on playback: speed, the jumps and their step modes, the
// position bar, the volume slider and mute button, the sizing of the video, the maximise
// toggle and the keyboard of the main window. It acts on the media and the player's state;
// the pixels and the live look of the window come through TransportScreen.
#include <QObject>
#include <QPoint>
#include <QString>
#include <QTimer>
#include <functional>
#include <optional>

#include "media/mci.h"
#include "player/player_links.h"
#include "player/player_logic.h"
#include "player/player_state.h"
#include "player/transport_screen.h"

class MainVol;

namespace player {

class TransportView : public QObject {
    Q_OBJECT
  public:
    // statusTimer: the bar takes clicks only while it runs (media open).
    TransportView(MCI& media, PlayerState& state, PlayerLinks& links, TransportScreen& screen,
                  const QTimer& statusTimer, QObject* parent = nullptr);

    // Master volume in use (MainVol::instance() unless a test gives its own).
    void setVolume(MainVol* v) { vol_ = v; }
    MainVol& volume();

    // Speed (the state's speed and speed item).
    void mnuSpeed_Click(int index);

    // The step mode items (index of mnuFB: a mode, or the custom value box), the mode and the
    // value of each mode (the captions and the buttons' hints follow the state).
    void mnuFB_Click(int index);
    StepMode stepMode() const { return state_.stepMode(); }
    void setStepMode(StepMode mode) { mnuFB_Click(static_cast<int>(stepIndex(mode))); }
    int stepValue(StepMode mode) const { return state_.stepValues()[stepIndex(mode)]; }
    void setStepValue(StepMode mode, int value);
    // One jump: useMode by the step mode (PgUp/PgDn, the buttons), else one step of frames
    // (the arrow keys); direction -1 back, +1 forward.
    // target: where to go instead of the step's own target (a keyframe).
    void jump(bool useMode, int direction, std::optional<int32_t> target = std::nullopt);

    // The position bar and the volume slider (mouse events in the piece's own coordinates).
    void picHsb_MouseDown(Qt::MouseButton button, QPoint pos);
    void picHsbBack_MouseDown(Qt::MouseButton button, QPoint pos);
    void picHsb2_MouseDown(Qt::MouseButton button);
    void picHsb2_MouseMove(Qt::MouseButtons buttons, QPoint pos);
    void picHsb2_MouseUp(Qt::MouseButton button);
    void picVolSdr_MouseDown(Qt::MouseButton button, QPoint pos);
    void picVolPos_MouseMove(Qt::MouseButtons buttons, QPoint pos);
    void mbSound_Click();
    void refreshVolume();

    // View
    bool keepWH() const;
    void setKeepWH(bool on);
    bool keepDef() const;
    void setKeepDef(bool on);
    void toggleMaximise();
    void myPutSize(bool flag);
    bool resizing() const { return resizing_; }
    // Width and height the video may use (video area inside the frame).
    QSize videoArea() const;

    // The keyboard table; true when the key was one of the player's.
    bool keyDown(int key, Qt::KeyboardModifiers modifiers = {});
    // Home: the save-picture item (capture window, later work).
    std::function<void()> savePicture;
    // Ctrl+← / Ctrl+→: the position of the previous / next keyframe; nothing while the file's
    // keyframes are unknown, and the key then steps as ← / →.
    std::function<std::optional<int32_t>(int direction)> keyframeTarget;

  signals:
    // Transport commands of the keys and of the custom-value prompts (pause what plays).
    void playWanted();
    void pauseWanted();
    void stopWanted();
    // A jump or a cancelled segment play: the transport look and one status tick.
    void lookWanted(bool paused);
    void tickWanted();

  private:
    void cancelSegmentPlay();
    void setKnob(int value);
    void pauseIfPlaying();
    // The length of the open media into the state (the read-outs and the bar's scale follow).
    void readLength();
    int volumeScale();
    bool usable(KeyButton b) const;

    MCI& media_;
    PlayerState& state_;
    PlayerLinks& links_;
    TransportScreen& screen_;
    const QTimer& statusTimer_;
    MainVol* vol_ = nullptr;
    bool resizing_ = false;
    bool dragging_ = false;
};

}  // namespace player
