#include "player/media_opener.h"

#include <QCoreApplication>
#include <QWidget>

#include "common/dialog_folders.h"
#include "common/file_object.h"
#include "common/media_kinds.h"
#include "common/paths.h"
#include "common/prompts.h"
#include "common/texts.h"
#include "items/item_text.h"
#include "media/video_surface.h"
#include "player/player_logic.h"

namespace player {

namespace {
// The alias of the playback media object.
const QString kMainAlias = QStringLiteral("Lumba.FLV");
}  // namespace

using texts::kCrLf;

MediaOpener::MediaOpener(MCI& media, int32_t surfaceId, QWidget* dialogOwner, PlayerState& state,
                         PlayerLinks& links, QObject* parent)
    : QObject(parent),
      media_(media),
      surfaceId_(surfaceId),
      dialogOwner_(dialogOwner),
      state_(state),
      links_(links) {}

void MediaOpener::playSingle(QString path, PlayRequest from) {
    path = items::withoutQuotes(path);
    marks::PlaybackMarks& marks = links_.marks();
    if (marks.checkDealRng() && from == PlayRequest::User)
        marks.setRngEditTag(RngEditTag::SingleFileRequest);
    state_.setContinueMode(from == PlayRequest::List ? ContinueMode::PlayList
                                                     : ContinueMode::SingleFile);
    const items::ItemParts item =
        items::splitItemText(path.isEmpty() ? links_.list().currentItemText() : path);
    newPlay(fixDriveLetter(item.path), item.marks);
    state_.showWindow();
}

bool MediaOpener::confirmLeavingMarks(const QString& path) {
    if (media_.getMode() == MciMode::Playing) emit pauseWanted();
    const QString text = QStringLiteral("某個多媒體檔案正準備接續播放") + kCrLf +
                         QStringLiteral("但是你目前處於標記編輯的狀態") + kCrLf + kCrLf +
                         QStringLiteral("按「是」則允許該多媒體的播放") + kCrLf +
                         QStringLiteral("按「否」則取消該多媒體的播放") + kCrLf + kCrLf + path;
    if (prompts::msgBox(text, prompts::Buttons::YesNo, texts::kNoticeTitle) != prompts::Answer::Yes)
        return false;
    state_.setContinueMode(ContinueMode::None);
    emit stopWanted({.listDone = true, .atEnd = true});
    state_.setContinueMode(links_.marks().rngEditTag() == RngEditTag::SingleFileRequest
                               ? ContinueMode::SingleFile
                               : ContinueMode::PlayList);
    QCoreApplication::processEvents();
    return true;
}

void MediaOpener::newPlay(const QString& path, const QString& marksText) {
    marks::PlaybackMarks& marks = links_.marks();
    if (marks.checkDealRng() && !confirmLeavingMarks(path)) return;
    if (isMediaFile(path) && !isAudioFile(path) && prepareCapture) prepareCapture(path);

    marks.setRngEditTag(RngEditTag::Empty);
    marks.clearAllMarks();

    state_.setLastFile(media_.FileName());

    state_.setLength(0, state_.secondsPerUnit(), state_.totalSeconds());

    media_.closeMCI(QString());
    media_.setIsAudioOnly(false);

    state_.setFileName(fso().GetFileName(path));
    state_.setFilePath(path);
    state_.setStatusText(QStringLiteral("正在播放，進度 0 ％，播速 100 ％"));

    emit normalSpeedWanted();

    media_.openMCI(path, surfaceId_, kMainAlias);
    media_.setVolume(500);

    emit sizeWanted();

    marks.applyMarksText(media_, marksText);

    if (media_.isSuccess()) {
        state_.hideNote();
        emit playingWanted();
        if (media_.getTotalSeconds() <= 0) {
            state_.setButton(PanelButton::RngStart, ButtonState::Disabled);
            state_.setButton(PanelButton::RngEnd, ButtonState::Disabled);
            state_.setTimesVisible(false);
            links_.list().lengthUnknown();
        }
        links_.list().markCurrentItem();
        emit mediaMenusEnabled(true, !media_.isAudioOnly());
    } else {
        failPlay(QString());
    }
    emit openDone();
}

void MediaOpener::failPlay(const QString& givenPath) {
    state_.setContinueMode(ContinueMode::None);
    links_.list().clearCurrentItemMarker();
    emit mediaMenusEnabled(false, false);
    const QString path = givenPath.isEmpty() ? media_.FileName() : givenPath;
    state_.setTimesVisible(false);
    if (hideBusy) hideBusy();
    emit stopWanted({.listDone = true, .atEnd = true});
    state_.setStatusText(QStringLiteral("無法播放"));
    emit captureMenuDisabled();
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
    state_.setContinueMode(ContinueMode::None);
    emit stopWanted({});
    links_.marks().clearAllMarks();
    state_.setTimesVisible(false);
    media_.closeMCI(QString());
    state_.setStatusText(QStringLiteral("關閉播放，因為此檔案經過重新讀取"));
    QCoreApplication::processEvents();
}

void MediaOpener::mnuOpen_Click(const QString& openFilter) {
    if (state_.playState() == PlayState::Playing) emit pauseWanted();
    prompts::FileDialog d;
    d.owner = dialogOwner_;
    d.initialFolder = mediaDialogStart();
    d.qtFilter = openFilter;
    const QStringList chosen = prompts::current().file(d).paths;
    if (!chosen.isEmpty()) playSingle(chosen.first(), PlayRequest::User);
}

void MediaOpener::mnuPlayLast_Click() {
    if (state_.lastFile().isEmpty()) return;
    state_.setContinueMode(ContinueMode::SingleFile);
    const QString path = state_.lastFile();  // newPlay makes the current file the last
    newPlay(path, QString());
}

}  // namespace player
