#pragma once
// What the player is: its play state and continue mode, the file it plays, position and
// length, speed and volume. The controllers write it; the view and the other rooms read it
// and hear each change.
#include <QObject>
#include <QString>
#include <array>
#include <cstdint>

#include "common/button_state.h"
#include "common/player_values.h"
#include "player/player_logic.h"

namespace player {

// The panel's buttons, whose look follows the play state, the marks, the list and the mixer.
enum class PanelButton {
    Play,
    Pause,
    Stop,
    Backward,
    Forward,
    RngStart,
    RngEnd,
    LastItem,
    NextItem,
    Sound
};
inline constexpr int kPanelButtons = 10;

class PlayerState : public QObject {
    Q_OBJECT
  public:
    using QObject::QObject;

    PlayState playState() const { return playState_; }
    void setPlayState(PlayState s);
    ContinueMode continueMode() const { return continueMode_; }
    void setContinueMode(ContinueMode m);

    // The name of the file last given to play ("" before the first).
    QString fileName() const { return fileName_; }
    void setFileName(const QString& name);

    // The path of the file last given to play, announced on every open (its icon and the
    // window title follow), and the file played before it ("" when none).
    QString filePath() const { return filePath_; }
    void setFilePath(const QString& path);
    QString lastFile() const { return lastFile_; }
    void setLastFile(const QString& path);
    // The program's picture in the empty video area, until a file plays.
    void hideNote() { emit noteHidden(); }
    // The window shows (a file is given to play).
    void showWindow() { emit windowWanted(); }

    // The position the last status tick read, in units.
    int32_t position() const { return position_; }
    void setPosition(int32_t units);

    // The open media's length in units (0 while a file opens, 1 when it has none), the
    // seconds of one unit and the length in seconds as shown. Every read is announced, even
    // an unchanged one: the bar's scale follows the bar's width as well.
    int32_t length() const { return length_; }
    float secondsPerUnit() const { return secondsPerUnit_; }
    double totalSeconds() const { return totalSeconds_; }
    void setLength(int32_t units, float secondsPerUnit, double totalSeconds);

    // Speed in device units (1000 = 100 %) and the speed menu item in force. Every set is
    // announced: a menu item checks itself when chosen, also when the choice is refused.
    int speed() const { return speed_; }
    int speedItem() const { return speedItem_; }
    void setSpeed(int item, int speed);

    // The jumps' step mode and each mode's value; announced on every set, as the speed.
    StepMode stepMode() const { return stepMode_; }
    const StepValues& stepValues() const { return stepValues_; }
    void setSteps(StepMode mode, const StepValues& values);

    // How the picture fits the video area: keep its aspect ratio, keep its own size.
    bool keepWH() const { return keepWH_; }
    bool keepDef() const { return keepDef_; }
    void setKeep(bool keepWH, bool keepDef);
    // Whether the two fit items can be chosen (a picture is open).
    void enableFitItems(bool on) { emit fitItemsEnabled(on); }

    // The master volume as last read or set, and its mute.
    int volume() const { return volume_; }
    bool muted() const { return muted_; }
    void setVolume(int value, bool muted);

    // The line under the picture. Every write is announced: the status timer rewrites it.
    QString statusText() const { return statusText_; }
    void setStatusText(const QString& text);
    // Whether the current and total time show.
    bool timesVisible() const { return timesVisible_; }
    void setTimesVisible(bool on);

    // The look of a panel button as last set. Every set is announced: a button changes its
    // own look under the mouse as well.
    ButtonState button(PanelButton b) const { return buttons_[static_cast<size_t>(b)]; }
    void setButton(PanelButton b, ButtonState s);
    // Whether the position bar takes clicks.
    bool barEnabled() const { return barEnabled_; }
    void setBarEnabled(bool on);
    // Keyboard focus to the panel, away from the list window.
    void focusPanel() { emit panelFocusWanted(); }

    // What the read-outs show for a position: the thumb alone, or (a status tick) the thumb,
    // the progress line and the current time; stopped: the thumb at the start, time zero.
    void moveThumb(int32_t units) { emit thumbMoved(units); }
    void showPosition(int32_t units) { emit positionShown(units); }
    void showStopped() { emit stoppedShown(); }

  signals:
    void playStateChanged(PlayState s);
    void continueModeChanged(ContinueMode m);
    void fileNameChanged(const QString& name);
    void filePathChanged(const QString& path);
    void lastFileChanged(const QString& path);
    void noteHidden();
    void windowWanted();
    void positionChanged(int32_t units);
    void lengthChanged(int32_t units);
    void speedChanged(int speed);
    void stepsChanged();
    void keepChanged(bool keepWH, bool keepDef);
    void fitItemsEnabled(bool on);
    void volumeChanged(int value, bool muted);
    void statusTextChanged(const QString& text);
    void timesVisibleChanged(bool on);
    void thumbMoved(int32_t units);
    void positionShown(int32_t units);
    void stoppedShown();
    void buttonChanged(PanelButton b, ButtonState s);
    void barEnabledChanged(bool on);
    void panelFocusWanted();

  private:
    PlayState playState_ = PlayState::Stopped;
    ContinueMode continueMode_ = ContinueMode::None;
    QString fileName_;
    QString filePath_;
    QString lastFile_;
    int32_t position_ = 0;
    int32_t length_ = 0;
    float secondsPerUnit_ = 1.0f;
    double totalSeconds_ = 0;
    int speed_ = 1000;
    int speedItem_ = kNormalSpeedItem;
    StepMode stepMode_ = kDefaultStepMode;
    StepValues stepValues_ = {5, 5, 5};
    bool keepWH_ = false;
    bool keepDef_ = false;
    int volume_ = 0;
    bool muted_ = false;
    QString statusText_;
    bool timesVisible_ = true;
    std::array<ButtonState, kPanelButtons> buttons_{};
    bool barEnabled_ = true;
};

}  // namespace player
