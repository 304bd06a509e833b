#include "player/playback_controller.h"

#include <QCoreApplication>

namespace player {

void letEventsRun() { QCoreApplication::processEvents(); }

PlaybackController::PlaybackController(MCI& media, PlayerState& state, PlayerLinks& links,
                                       QObject* parent)
    : QObject(parent), media_(media), state_(state), links_(links) {}

void PlaybackController::ifStopped(bool nothingOpen) {
    emit tickingChanged(false);
    state_.setBarEnabled(false);
    state_.setStatusText(state_.fileName().isEmpty() ? QStringLiteral("請開啟新的檔案")
                                                     : QStringLiteral("結束播放"));
    state_.showStopped();
    for (PanelButton b : {PanelButton::RngStart, PanelButton::RngEnd, PanelButton::Pause,
                          PanelButton::Backward, PanelButton::Forward})
        state_.setButton(b, ButtonState::Disabled);
    state_.setButton(PanelButton::Play, nothingOpen ? ButtonState::Disabled : ButtonState::Normal);
    state_.setButton(PanelButton::Stop, nothingOpen ? ButtonState::Disabled : ButtonState::Down);
    state_.setPlayState(PlayState::Stopped);
    links_.list().refreshButtons();
    emit stateChanged();
}

void PlaybackController::showSegmentPlay() {
    state_.setButton(PanelButton::RngStart,
                     media_.isRngPlaying() ? ButtonState::Down : ButtonState::Normal);
}

void PlaybackController::refreshTransportLook(bool paused) {
    state_.setButton(PanelButton::Play, paused ? ButtonState::Normal : ButtonState::Down);
    state_.setButton(PanelButton::Pause, paused ? ButtonState::Down : ButtonState::Normal);
    for (PanelButton b : {PanelButton::Stop, PanelButton::Backward, PanelButton::Forward})
        state_.setButton(b, ButtonState::Normal);
    showSegmentPlay();
    state_.setBarEnabled(true);
}

void PlaybackController::showPlaying(bool afterOpen) {
    if (!afterOpen) refreshTransportLook(false);
    state_.setTimesVisible(true);
    showSegmentPlay();
    state_.setPlayState(PlayState::Playing);
    links_.list().refreshButtons();
    // The timer first: the first volume read may raise the no-mixer notice, and the status
    // line must keep moving behind that box.
    emit tickingChanged(true);
    emit playingShown();
    emit stateChanged();
}

void PlaybackController::segmentPlayStarted(bool fromStopped) {
    if (fromStopped) state_.setContinueMode(ContinueMode::PlayList);
    showPlaying(false);
}

void PlaybackController::mbPlay_Click() {
    refreshTransportLook(false);
    const PlayState was = state_.playState();
    if (was != PlayState::Paused) {
        media_.playMCI(0, state_.length(), false, false, false);
        media_.rngCancel();
        if (!media_.isSuccess()) {
            emit reopenWanted(media_.FileName());
            return;
        }
    } else {
        media_.resumeMCI();
    }
    if (media_.isSuccess()) {
        if (was == PlayState::Stopped) state_.setContinueMode(ContinueMode::PlayList);
        showPlaying(true);
        emit tickWanted();
    } else {
        emit playFailed();
    }
}

void PlaybackController::mbPause_Click() {
    refreshTransportLook(true);
    letEventsRun();
    shareBnPause();
    emit tickWanted();
}

void PlaybackController::shareBnPause() {
    media_.pauseMCI();
    state_.setPlayState(PlayState::Paused);
    refreshTransportLook(true);
    emit stateChanged();
}

void PlaybackController::mbStop_Click() {
    shareBnStop({.atEnd = state_.continueMode() == ContinueMode::PlayList &&
                          listRunsOn(links_.list().playMode())});
}

void PlaybackController::shareBnStop(StopFlags flags) {
    marks::PlaybackMarks& marks = links_.marks();
    PlayerListLink& list = links_.list();
    if (marks.lastIsOpen()) marks.markEnd();
    media_.rngCancel();
    if (!(flags.atEnd && !media_.isCDa() && list.carriesOn())) media_.stopMCI(QString(), 0);
    ifStopped(false);
    if (flags.checkMarks && marks.marksEdited()) {
        marks.leaveListModeAfterEditing();
        return;
    }
    if (!flags.listDone)
        list.advance(state_.continueMode(), [this](ContinueMode m) { state_.setContinueMode(m); });
    if (list.isForeground()) state_.focusPanel();
}

void PlaybackController::pausePrFn() {
    if (state_.playState() == PlayState::Playing) mbPause_Click();
}

void PlaybackController::endReached() {
    marks::PlaybackMarks& marks = links_.marks();
    const int playing = marks.playingSegment();
    const int last = marks.lastIndex();
    if (media_.rngRepeat()) {
        marks.playNextSegment(marks::SegmentRepeat::Loop, playing < last ? playing + 1 : 0);
    } else if (media_.rngEnd() > 0 && playing < last) {
        marks.playNextSegment(marks::SegmentRepeat::Once, playing + 1);
    } else {
        media_.rngCancel();
        shareBnStop({.atEnd = links_.list().playMode() != ListPlayMode::Once});
    }
}

}  // namespace player
