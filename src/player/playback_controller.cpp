#include "player/playback_controller.h"

#include <QCoreApplication>

#include "player/media_opener.h"
#include "player/status_tick.h"
#include "player/time_labels.h"
#include "player/transport_view.h"

namespace player {

PlaybackController::PlaybackController(PlayerUi& ui, MCI& media, TimeLabels& labels,
                                       QObject* parent)
    : QObject(parent), ui_(ui), media_(media), labels_(labels) {}

void PlaybackController::join(MediaOpener& opener, StatusTick& status, TransportView& transport) {
    opener_ = &opener;
    status_ = &status;
    transport_ = &transport;
}

void PlaybackController::letEventsRun() { QCoreApplication::processEvents(); }

void PlaybackController::ifStopped(bool nothingOpen) {
    status_->tmrCheck().stop();
    ui_.picHsb->setEnabled(false);
    labels_.moveThumb(0);
    ui_.lblFnName->setText(opener_->fileNameTag().isEmpty() ? QStringLiteral("請開啟新的檔案")
                                                            : QStringLiteral("結束播放"));
    labels_.showStoppedTime();
    for (LumbaButton* b :
         {ui_.mbRngStart, ui_.mbRngEnd, ui_.mbPause, ui_.mbBackward, ui_.mbForward})
        b->setState(ButtonState::Disabled);
    ui_.mbPlay->setState(nothingOpen ? ButtonState::Disabled : ButtonState::Normal);
    ui_.mbStop->setState(nothingOpen ? ButtonState::Disabled : ButtonState::Down);
    playState_ = PlayState::Stopped;
    list_->refreshButtons();
    emit stateChanged();
}

void PlaybackController::refreshTransportLook(bool paused) {
    ui_.mbPlay->setState(paused ? ButtonState::Normal : ButtonState::Down);
    ui_.mbPause->setState(paused ? ButtonState::Down : ButtonState::Normal);
    ui_.mbStop->setState(ButtonState::Normal);
    ui_.mbBackward->setState(ButtonState::Normal);
    ui_.mbForward->setState(ButtonState::Normal);
    ui_.mbRngStart->setState(media_.isRngPlaying() ? ButtonState::Down : ButtonState::Normal);
    ui_.picHsb->setEnabled(true);
}

void PlaybackController::showPlaying(bool afterOpen) {
    if (!afterOpen) refreshTransportLook(false);
    labels_.setTimeLabelsVisible(true);
    ui_.mbRngStart->setState(media_.isRngPlaying() ? ButtonState::Down : ButtonState::Normal);
    playState_ = PlayState::Playing;
    list_->refreshButtons();
    // The timer first: the first volume read may raise the no-mixer notice, and the status
    // line must keep moving behind that box.
    status_->tmrCheck().start();
    transport_->refreshVolume();
    emit stateChanged();
}

void PlaybackController::segmentPlayStarted(bool fromStopped) {
    if (fromStopped) continueMode_ = ContinueMode::PlayList;
    showPlaying(false);
}

void PlaybackController::mbPlay_Click() {
    refreshTransportLook(false);
    const PlayState was = playState_;
    if (playState_ != PlayState::Paused) {
        media_.playMCI(0, labels_.totalUnits(), false, false, false);
        media_.rngCancel();
        if (!media_.isSuccess()) {
            opener_->playSingle(media_.FileName(), 0);
            return;
        }
    } else {
        media_.resumeMCI();
    }
    if (media_.isSuccess()) {
        if (was == PlayState::Stopped) continueMode_ = ContinueMode::PlayList;
        showPlaying(true);
        status_->tmrCheck_Timer();
    } else {
        opener_->failPlay(QString());
    }
}

void PlaybackController::mbPause_Click() {
    refreshTransportLook(true);
    letEventsRun();
    shareBnPause();
    status_->tmrCheck_Timer();
}

void PlaybackController::shareBnPause() {
    media_.pauseMCI();
    playState_ = PlayState::Paused;
    refreshTransportLook(true);
    emit stateChanged();
}

void PlaybackController::mbStop_Click() {
    shareBnStop(
        {.atEnd = continueMode_ == ContinueMode::PlayList && listRunsOn(list_->playMode())});
}

void PlaybackController::shareBnStop(StopFlags flags) {
    if (marks_->lastIsOpen()) marks_->markEnd();
    media_.rngCancel();
    if (!(flags.atEnd && !media_.isCDa() && list_->carriesOn())) media_.stopMCI(QString(), 0);
    ifStopped(false);
    if (flags.checkMarks && marks_->marksEdited()) {
        marks_->leaveListModeAfterEditing();
        return;
    }
    if (!flags.listDone) list_->advance(continueMode_);
    if (list_->isForeground()) ui_.picAssIcon->setFocus();
}

void PlaybackController::pausePrFn() {
    if (playState_ == PlayState::Playing) mbPause_Click();
}

}  // namespace player
