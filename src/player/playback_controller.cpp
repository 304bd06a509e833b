#include "player/playback_controller.h"

#include <QCoreApplication>
#include <QFileIconProvider>
#include <QFileInfo>
#include <QWidget>

#include "common/comm_dialog.h"
#include "common/file_object.h"
#include "common/media_kinds.h"
#include "common/paths.h"
#include "common/prompts.h"
#include "common/time_code.h"
#include "media/video_surface.h"
#include "player/player_logic.h"
#include "player/transport_view.h"

namespace player {

namespace {
const QString kCrLf = QStringLiteral("\r\n");
constexpr char16_t kItemSeparator = u'\u2225';
}  // namespace

PlaybackController::PlaybackController(PlayerUi& ui, MCI& media, QWidget* window, QObject* parent)
    : QObject(parent), ui_(ui), media_(media), window_(window) {
    tmrCheck_.setInterval(333);
    connect(&tmrCheck_, &QTimer::timeout, this, &PlaybackController::tick);
}

void PlaybackController::letEventsRun() {
    if (processEvents)
        processEvents();
    else
        QCoreApplication::processEvents();
}

void PlaybackController::playSingle(QString path, int fromList) {
    path.remove(u'"');
    if (marks_->checkDealRng() && fromList == 0) marks_->setRngEditTag(QStringLiteral("on2"));
    continueMode_ = fromList > 0 ? 2 : 3;
    const QString item = path.isEmpty() ? list_->currentItemText() : path;
    QString marksText;
    const int cut = item.lastIndexOf(kItemSeparator);
    if (cut >= 0) {
        path = item.left(cut);
        marksText = item.mid(cut + 1);
    } else {
        path = item;
    }
    path = fixDriveLetter(path);
    newPlay(path, marksText);
    window_->show();
}

void PlaybackController::newPlay(const QString& path, const QString& marksText) {
    if (marks_->checkDealRng()) {
        if (media_.getStatus() == QLatin1String("playing")) mbPauseClick();
        const QString text = QStringLiteral("某個多媒體檔案正準備接續播放") + kCrLf +
                             QStringLiteral("但是你目前處於標記編輯的狀態") + kCrLf + kCrLf +
                             QStringLiteral("按「是」則允許該多媒體的播放") + kCrLf +
                             QStringLiteral("按「否」則取消該多媒體的播放") + kCrLf + kCrLf + path;
        if (prompts::msgBox(text, prompts::Buttons::YesNo, QStringLiteral("注意事項")) !=
            prompts::Answer::Yes)
            return;
        continueMode_ = 0;
        shareBnStop(true, true, false, false);
        continueMode_ = marks_->rngEditTag() == QLatin1String("on2") ? 3 : 2;
        letEventsRun();
    }
    if (isMediaFile(path) && !isAudioFile(path) && prepareCapture) prepareCapture(path);

    marks_->setRngEditTag(QString());
    marks_->clearAllMarks();

    lastFile_ = media_.FileName();
    ui_.mnuPlayLast->setEnabled(!lastFile_.isEmpty());

    totalUnits_ = 0;
    moveThumb(0);
    ui_.picHsb->update();
    ui_.picHsbBack->update();

    media_.closeMCI(QString());
    media_.setIsAudioOnly(false);

    static QFileIconProvider iconProvider;
    ui_.picAssIcon->setPixmap(iconProvider.icon(QFileInfo(path)).pixmap(16, 16));

    fnTag_ = fso().GetFileName(path);
    window_->setWindowTitle(QStringLiteral(" ") + fnTag_ + QStringLiteral(" - Lumba.FLV"));
    ui_.lblFnName->setText(QStringLiteral("正在播放，進度 0 ％，播速 100 ％"));

    if (transport_) transport_->mnuSpeedClick(kNormalSpeedItem);

    media_.openMCI(path, ui_.video->surfaceId(), QString::fromLatin1(kMainAlias));
    media_.setVolume(500);

    if (transport_) transport_->myPutSize(true);

    marks_->applyMarksText(media_, marksText);

    if (media_.isSuccess()) {
        ui_.picNote->hide();
        showPlaying(false);
        if (media_.getTotalSeconds() <= 0) {
            ui_.mbRngStart->setState(3);
            ui_.mbRngEnd->setState(3);
            setTimeLabelsVisible(false);
            list_->lengthUnknown();
        }
        list_->markCurrentItem();
        emit mediaMenusEnabled(true, !media_.isAudioOnly());
    } else {
        failPlay(QString(), true);
    }
    emit stateChanged();
}

void PlaybackController::failPlay(const QString& givenPath, bool /*flag*/) {
    continueMode_ = 0;
    list_->clearCurrentItemMarker();
    emit mediaMenusEnabled(false, false);
    const QString path = givenPath.isEmpty() ? media_.FileName() : givenPath;
    setTimeLabelsVisible(false);
    if (hideBusy) hideBusy();
    shareBnStop(true, true, false, true);
    ui_.lblFnName->setText(QStringLiteral("無法播放"));
    ui_.mnuSaveCap->setEnabled(false);
    playErrorMsg(path, QString::fromUtf8(kPlayErrorLead));
}

void PlaybackController::playErrorMsg(const QString& path, const QString& lead) {
    bool withCancel = false;
    const QString text = playErrorText(path, lead, &withCancel);
    const auto answer =
        prompts::msgBox(text, withCancel ? prompts::Buttons::OkCancel : prompts::Buttons::Ok,
                        QStringLiteral("錯誤訊息"));
    if (withCancel && answer == prompts::Answer::Ok) emit codecHelpRequested();
}

void PlaybackController::ifStopped(bool flag) {
    tmrCheck_.stop();
    ui_.picHsb->setEnabled(false);
    moveThumb(0);
    ui_.lblFnName->setText(fnTag_.isEmpty() ? QStringLiteral("請開啟新的檔案")
                                            : QStringLiteral("結束播放"));
    if (barScale_ != 1.0f) ui_.lblCurTime->setText(secToText(0.0, curTag_, 0));
    for (LumbaButton* b :
         {ui_.mbRngStart, ui_.mbRngEnd, ui_.mbPause, ui_.mbBackward, ui_.mbForward})
        b->setState(3);
    ui_.mbPlay->setState(flag ? 3 : 0);
    ui_.mbStop->setState(flag ? 3 : 2);
    playState_ = 5;
    list_->refreshButtons();
    emit stateChanged();
}

void PlaybackController::refreshTransportLook(bool paused) {
    ui_.mbPlay->setState(paused ? 0 : 2);
    ui_.mbPause->setState(paused ? 2 : 0);
    ui_.mbStop->setState(0);
    ui_.mbBackward->setState(0);
    ui_.mbForward->setState(0);
    ui_.mbRngStart->setState(media_.isRngPlaying() ? 2 : 0);
    ui_.picHsb->setEnabled(true);
}

void PlaybackController::showPlaying(bool afterOpen) {
    if (!afterOpen) refreshTransportLook(false);
    setTimeLabelsVisible(true);
    ui_.mbRngStart->setState(media_.isRngPlaying() ? 2 : 0);
    playState_ = 1;
    list_->refreshButtons();
    // The timer first: the first volume read may raise the no-mixer notice, and the status
    // line must keep moving behind that box.
    tmrCheck_.start();
    if (transport_) transport_->refreshVolume();
    emit stateChanged();
}

void PlaybackController::segmentPlayStarted(bool fromStopped) {
    if (fromStopped) continueMode_ = 2;
    showPlaying(false);
}

void PlaybackController::mbPlayClick() {
    refreshTransportLook(false);
    const int was = playState_;
    if (playState_ != 4) {
        media_.playMCI(0, totalUnits_, false, false, false);
        media_.rngCancel();
        if (!media_.isSuccess()) {
            playSingle(media_.FileName(), 0);
            return;
        }
    } else {
        media_.resumeMCI();
    }
    if (media_.isSuccess()) {
        if (was == 5) continueMode_ = 2;
        showPlaying(true);
        tick();
    } else {
        failPlay(QString(), false);
    }
}

void PlaybackController::mbPauseClick() {
    refreshTransportLook(true);
    letEventsRun();
    shareBnPause();
    tick();
}

void PlaybackController::shareBnPause() {
    media_.pauseMCI();
    playState_ = 4;
    refreshTransportLook(true);
    emit stateChanged();
}

void PlaybackController::mbStopClick() {
    shareBnStop(false, continueMode_ == 2 && list_->playMode() >= 2, false, false);
}

void PlaybackController::shareBnStop(bool listDone, bool atEnd, bool checkMarks,
                                     bool /*reserved*/) {
    if (marks_->lastIsOpen()) marks_->closeOpenSegment();
    media_.rngCancel();
    if (!(atEnd && !media_.isCDa() && list_->carriesOn())) media_.stopMCI(QString(), 0);
    ifStopped(false);
    if (checkMarks && marks_->marksEdited()) {
        marks_->leaveListModeAfterEditing();
        return;
    }
    if (!listDone) list_->advance(continueMode_);
    if (list_->isForeground()) ui_.picAssIcon->setFocus();
}

void PlaybackController::pausePrFn() {
    if (playState_ == 1) mbPauseClick();
}

void PlaybackController::closeRunFn(QString path) {
    if (!path.isEmpty() && !path.contains(u'/')) path = currentFolder() + path;
    if (path.isEmpty() || path != media_.FileName()) return;
    continueMode_ = 0;
    shareBnStop(false, false, false, false);
    marks_->clearAllMarks();
    setTimeLabelsVisible(false);
    media_.closeMCI(QString());
    ui_.lblFnName->setText(QStringLiteral("關閉播放，因為此檔案經過重新讀取"));
    letEventsRun();
}

void PlaybackController::mnuOpen(const QString& openFilter) {
    pausePrFn();
    CommDialog& d = commDialog();
    d.hwndOwner = window_;
    d.setFilter(openFilter);
    d.setFilterIndex(1);
    d.FileName.clear();
    const QString chosen = d.ShowOpen();
    if (!chosen.isEmpty()) playSingle(chosen, 0);
}

void PlaybackController::mnuPlayLast() {
    if (lastFile_.isEmpty()) return;
    continueMode_ = 3;
    const QString path = lastFile_;  // newPlay overwrites lastFile_ with the current file
    newPlay(path, QString());
}

void PlaybackController::setTimeLabelsVisible(bool on) {
    ui_.lblCurTime->setVisible(on);
    ui_.lblSplit->setVisible(on);
    ui_.lblTtTime->setVisible(on);
}

void PlaybackController::updateTimeLabels() {
    totalUnits_ = media_.getTotalFrames();
    if (totalUnits_ <= 1) {
        totalUnits_ = 1;
        secondsPerUnit_ = 1.0f;
        barScale_ = 1.0f;
        return;
    }
    float total = media_.getTotalSeconds();
    ttTag_ = total;
    int fields = 2;
    float shown = total;
    ui_.lblTtTime->setText(secToText(shown, 2, 0, &fields));
    curTag_ = fields;
    ui_.lblCurTime->setText(secToText(0.0, curTag_, 0));
    ui_.lblSplit->setText(QStringLiteral("/"));
    secondsPerUnit_ = total / static_cast<float>(totalUnits_);
    barScale_ = static_cast<float>(ui_.picHsb->width()) / static_cast<float>(totalUnits_);
}

void PlaybackController::moveThumb(int32_t position) {
    if (dragging_) return;
    ui_.picHsb2->move(thumbLeftFor(position, barScale_, ui_.picHsb2->width(), ui_.picHsb->x()),
                      ui_.picHsb2->y());
}

void PlaybackController::tick() {
    if (closing_) return;
    const int32_t position = media_.getCurFrame();
    const bool paused = playState_ == 4;
    if (!(position == lastTickPos_ && !paused) && totalUnits_ > 1) {
        moveThumb(position);
        const double progress = progressOf(ui_.picHsb2->x(), ui_.picHsb2->width(), ui_.picHsb->x(),
                                           ui_.picHsb->width());
        const int speed = transport_ ? transport_->speedTag() : 1000;
        ui_.lblFnName->setText(statusLine(paused, progress, speed));
        ui_.lblCurTime->setText(secToText(progress * ttTag_, curTag_, 0));
        if (marks_->lastIsOpen() && position != lastTickPos_) marks_->stretchOpenSegment(position);
    }
    bool ended = false;
    if (media_.isRngPlaying() && !paused) {
        if (media_.rngEnd() > 0 && position >= media_.rngEnd())
            ended = true;
        else if (position == lastTickPos_)
            ended = true;
    }
    if (!ended && !paused && media_.getStatus() == QLatin1String("stopped")) ended = true;
    emit statusTick(position);
    if (ended) {
        const int playing = marks_->playingSegment();
        const int last = marks_->lastIndex();
        if (media_.rngRepeat()) {
            marks_->playNextRS(1, playing < last ? playing + 1 : 0);
        } else if (media_.rngEnd() > 0 && playing < last) {
            marks_->playNextRS(0, playing + 1);
        } else {
            media_.rngCancel();
            shareBnStop(false, list_->playMode() != 0, false, false);
        }
    }
    lastTickPos_ = position;
}

}  // namespace player
