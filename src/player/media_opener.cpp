#include "player/media_opener.h"

#include <QFileIconProvider>
#include <QFileInfo>
#include <QWidget>

#include "common/comm_dialog.h"
#include "common/file_object.h"
#include "common/media_kinds.h"
#include "common/paths.h"
#include "common/prompts.h"
#include "common/texts.h"
#include "items/item_text.h"
#include "media/video_surface.h"
#include "player/playback_controller.h"
#include "player/player_logic.h"
#include "player/time_labels.h"
#include "player/transport_view.h"

namespace player {

namespace {
// The alias of the playback media object.
const QString kMainAlias = QStringLiteral("Lumba.FLV");
}  // namespace

using texts::kCrLf;

MediaOpener::MediaOpener(PlayerUi& ui, MCI& media, QWidget* window, PlaybackController& playback,
                         TimeLabels& labels, QObject* parent)
    : QObject(parent),
      ui_(ui),
      media_(media),
      window_(window),
      playback_(playback),
      labels_(labels) {}

void MediaOpener::playSingle(QString path, int fromList) {
    path = items::withoutQuotes(path);
    marks::PlaybackMarks& marks = playback_.marks();
    if (marks.checkDealRng() && fromList == 0) marks.setRngEditTag(RngEditTag::SingleFileRequest);
    playback_.setContinueMode(fromList > 0 ? ContinueMode::PlayList : ContinueMode::SingleFile);
    const items::ItemParts item =
        items::splitItemText(path.isEmpty() ? playback_.listLink().currentItemText() : path);
    newPlay(fixDriveLetter(item.path), item.marks);
    window_->show();
}

bool MediaOpener::confirmLeavingMarks(const QString& path) {
    if (media_.getMode() == MciMode::Playing) playback_.mbPause_Click();
    const QString text = QStringLiteral("某個多媒體檔案正準備接續播放") + kCrLf +
                         QStringLiteral("但是你目前處於標記編輯的狀態") + kCrLf + kCrLf +
                         QStringLiteral("按「是」則允許該多媒體的播放") + kCrLf +
                         QStringLiteral("按「否」則取消該多媒體的播放") + kCrLf + kCrLf + path;
    if (prompts::msgBox(text, prompts::Buttons::YesNo, texts::kNoticeTitle) != prompts::Answer::Yes)
        return false;
    playback_.setContinueMode(ContinueMode::None);
    playback_.shareBnStop({.listDone = true, .atEnd = true});
    playback_.setContinueMode(playback_.marks().rngEditTag() == RngEditTag::SingleFileRequest
                                  ? ContinueMode::SingleFile
                                  : ContinueMode::PlayList);
    playback_.letEventsRun();
    return true;
}

void MediaOpener::newPlay(const QString& path, const QString& marksText) {
    marks::PlaybackMarks& marks = playback_.marks();
    if (marks.checkDealRng() && !confirmLeavingMarks(path)) return;
    if (isMediaFile(path) && !isAudioFile(path) && prepareCapture) prepareCapture(path);

    marks.setRngEditTag(RngEditTag::Empty);
    marks.clearAllMarks();

    lastFile_ = media_.FileName();
    ui_.mnuPlayLast->setEnabled(!lastFile_.isEmpty());

    labels_.clearForNewFile();

    media_.closeMCI(QString());
    media_.setIsAudioOnly(false);

    static QFileIconProvider iconProvider;
    ui_.picAssIcon->setPixmap(iconProvider.icon(QFileInfo(path)).pixmap(16, 16));

    fnTag_ = fso().GetFileName(path);
    window_->setWindowTitle(QStringLiteral(" ") + fnTag_ + QStringLiteral(" - Lumba.FLV"));
    ui_.lblFnName->setText(QStringLiteral("正在播放，進度 0 ％，播速 100 ％"));

    if (transport_) transport_->mnuSpeed_Click(kNormalSpeedItem);

    media_.openMCI(path, ui_.video->surfaceId(), kMainAlias);
    media_.setVolume(500);

    if (transport_) transport_->myPutSize(true);

    marks.applyMarksText(media_, marksText);

    if (media_.isSuccess()) {
        ui_.picNote->hide();
        playback_.showPlaying(false);
        if (media_.getTotalSeconds() <= 0) {
            ui_.mbRngStart->setState(ButtonState::Disabled);
            ui_.mbRngEnd->setState(ButtonState::Disabled);
            labels_.setTimeLabelsVisible(false);
            playback_.listLink().lengthUnknown();
        }
        playback_.listLink().markCurrentItem();
        emit mediaMenusEnabled(true, !media_.isAudioOnly());
    } else {
        failPlay(QString());
    }
    emit playback_.stateChanged();
}

void MediaOpener::failPlay(const QString& givenPath) {
    playback_.setContinueMode(ContinueMode::None);
    playback_.listLink().clearCurrentItemMarker();
    emit mediaMenusEnabled(false, false);
    const QString path = givenPath.isEmpty() ? media_.FileName() : givenPath;
    labels_.setTimeLabelsVisible(false);
    if (hideBusy) hideBusy();
    playback_.shareBnStop({.listDone = true, .atEnd = true});
    ui_.lblFnName->setText(QStringLiteral("無法播放"));
    ui_.mnuSaveCap->setEnabled(false);
    playErrorMsg(path, QString::fromUtf8(kPlayErrorLead));
}

void MediaOpener::playErrorMsg(const QString& path, const QString& lead) {
    bool withCancel = false;
    const QString text = playErrorText(path, lead, &withCancel);
    const auto answer = prompts::msgBox(
        text, withCancel ? prompts::Buttons::OkCancel : prompts::Buttons::Ok, texts::kErrorTitle);
    if (withCancel && answer == prompts::Answer::Ok) emit codecHelpRequested();
}

void MediaOpener::closeRunFn(QString path) {
    if (!path.isEmpty() && !path.contains(u'/')) path = currentFolder() + path;
    if (path.isEmpty() || path != media_.FileName()) return;
    playback_.setContinueMode(ContinueMode::None);
    playback_.shareBnStop({});
    playback_.marks().clearAllMarks();
    labels_.setTimeLabelsVisible(false);
    media_.closeMCI(QString());
    ui_.lblFnName->setText(QStringLiteral("關閉播放，因為此檔案經過重新讀取"));
    playback_.letEventsRun();
}

void MediaOpener::mnuOpen_Click(const QString& openFilter) {
    playback_.pausePrFn();
    CommDialog& d = commDialog();
    d.hwndOwner = window_;
    d.setFilter(openFilter);
    d.setFilterIndex(1);
    d.FileName.clear();
    const QString chosen = d.ShowOpen();
    if (!chosen.isEmpty()) playSingle(chosen, 0);
}

void MediaOpener::mnuPlayLast_Click() {
    if (lastFile_.isEmpty()) return;
    playback_.setContinueMode(ContinueMode::SingleFile);
    const QString path = lastFile_;  // newPlay overwrites lastFile_ with the current file
    newPlay(path, QString());
}

}  // namespace player
