#include "player/player_state.h"

namespace player {

void PlayerState::setPlayState(PlayState s) {
    if (playState_ == s) return;
    playState_ = s;
    emit playStateChanged(s);
}

void PlayerState::setContinueMode(ContinueMode m) {
    if (continueMode_ == m) return;
    continueMode_ = m;
    emit continueModeChanged(m);
}

void PlayerState::setFileName(const QString& name) {
    if (fileName_ == name) return;
    fileName_ = name;
    emit fileNameChanged(name);
}

void PlayerState::setFilePath(const QString& path) {
    filePath_ = path;
    emit filePathChanged(path);
}

void PlayerState::setLastFile(const QString& path) {
    lastFile_ = path;
    emit lastFileChanged(path);
}

void PlayerState::setPosition(int32_t units) {
    if (position_ == units) return;
    position_ = units;
    emit positionChanged(units);
}

void PlayerState::setLength(int32_t units, float secondsPerUnit, double totalSeconds) {
    length_ = units;
    secondsPerUnit_ = secondsPerUnit;
    totalSeconds_ = totalSeconds;
    emit lengthChanged(units);
}

void PlayerState::setSpeed(int item, int speed) {
    speedItem_ = item;
    speed_ = speed;
    emit speedChanged(speed);
}

void PlayerState::setSteps(StepMode mode, const StepValues& values) {
    stepMode_ = mode;
    stepValues_ = values;
    emit stepsChanged();
}

void PlayerState::setKeep(bool keepWH, bool keepDef) {
    keepWH_ = keepWH;
    keepDef_ = keepDef;
    emit keepChanged(keepWH, keepDef);
}

void PlayerState::setVolume(int value, bool muted) {
    if (volume_ == value && muted_ == muted) return;
    volume_ = value;
    muted_ = muted;
    emit volumeChanged(value, muted);
}

void PlayerState::setStatusText(const QString& text) {
    statusText_ = text;
    emit statusTextChanged(text);
}

void PlayerState::setTimesVisible(bool on) {
    timesVisible_ = on;
    emit timesVisibleChanged(on);
}

void PlayerState::setButton(PanelButton b, ButtonState s) {
    buttons_[static_cast<size_t>(b)] = s;
    emit buttonChanged(b, s);
}

void PlayerState::setBarEnabled(bool on) {
    barEnabled_ = on;
    emit barEnabledChanged(on);
}

}  // namespace player
