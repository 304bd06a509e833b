#pragma once
// The user's direct handles on playback: speed, the jumps and their step modes, the
// position bar, the volume slider and mute button, the sizing of the video, the maximise
// toggle and the keyboard of the main window.
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
#include "player/player_ui.h"

class MainVol;
class QMainWindow;

namespace player {

class PlayerView;

class TransportView : public QObject {
    Q_OBJECT
  public:
    TransportView(PlayerUi& ui, MCI& media, PlayerState& state, PlayerLinks& links,
                  PlayerView& view, const QTimer& statusTimer, QMainWindow* window,
                  QObject* parent = nullptr);

    // Master volume in use (MainVol::instance() unless a test gives its own).
    void setVolume(MainVol* v) { vol_ = v; }
    MainVol& volume();

    // Speed (the state's speed and speed item).
    void mnuSpeed_Click(int index);

    // Step mode 0 frames, 1 seconds, 2 per cent, and the three step values.
    void mnuFB_Click(int index);
    int stepMode() const { return stepMode_; }
    void setStepMode(int mode);  // as if mnuFB(mode) were chosen
    int stepValue(int mode) const { return mode >= 0 && mode < 3 ? steps_[mode] : 0; }
    void setStepValue(int mode, int value);  // rewrites the caption and the hints
    void refreshStepHints();
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
    void placeKnob();
    LumbaButton* button(KeyButton b) const;
    bool usable(KeyButton b) const;

    PlayerUi& ui_;
    MCI& media_;
    PlayerState& state_;
    PlayerLinks& links_;
    PlayerView& view_;
    const QTimer& statusTimer_;
    QMainWindow* window_;
    MainVol* vol_ = nullptr;
    int stepMode_ = kDefaultStepMode;
    int steps_[kStepModes] = {5, 5, 5};
    bool resizing_ = false;
    int dragX_ = 0;  // thumb centre while dragging, in panel coordinates
    bool dragging_ = false;
    int knobScale_ = 0;  // the slider's scale width
};

}  // namespace player
