#include "player/frm_main.h"

#include <QKeyEvent>
#include <QMouseEvent>

#include "common/globals.h"
#include "common/texts.h"
#include "controls/icons.h"
#include "keyframes/keyframe_indexer.h"
#include "media/video_surface.h"
#include "player/capture/frm_cap.h"
#include "player/keyframe_step.h"
#include "player/marks_view.h"
#include "player/media_opener.h"
#include "player/playback_controller.h"
#include "player/player_logic.h"
#include "player/player_view.h"
#include "player/status_tick.h"
#include "player/transport_view.h"
#include "player/window_marks.h"

using player::MediaOpener;
using player::PlaybackController;
using player::TransportView;

frmMain::frmMain(MciDevice* device, QWidget* parent) : QMainWindow(parent) {
    setObjectName(QStringLiteral("frmMain"));
    setWindowTitle(texts::kProgramTitle);
    setWindowIcon(QIcon(icons::pixmap(icons::Kind::Program, 32)));
    player::buildPlayerUi(this, ui_);
    media_ = std::make_unique<MCI>(device);
    view_ = std::make_unique<player::PlayerView>(ui_, state_, this);
    playback_ = std::make_unique<PlaybackController>(*media_, state_, links_);
    status_ = std::make_unique<player::StatusTick>(*media_, state_, links_);
    opener_ = std::make_unique<MediaOpener>(*media_, ui_.video->surfaceId(), this, state_, links_);
    transport_ =
        std::make_unique<TransportView>(*media_, state_, links_, *view_, status_->tmrCheck());
    player::MarksCommands commands;
    commands.pausePrFn = [this] { playback_->pausePrFn(); };
    commands.shareBnStop = [this] { playback_->shareBnStop({}); };
    commands.failPlay = [this] { opener_->failPlay(QString()); };
    commands.segmentPlayStarted = [this](bool fromStopped) {
        playback_->segmentPlayStarted(fromStopped);
    };
    commands.copyStartSeconds = [this](double markSeconds) -> std::optional<double> {
        const keyframes::KeyframeIndex* k =
            keyframes_ ? keyframes_->find(state_.filePath()) : nullptr;
        return k ? keyframes::copyStartSeconds(*k, markSeconds) : std::nullopt;
    };
    marks_ = std::make_unique<player::WindowMarks>(*media_, state_, *view_, std::move(commands));
    marksView_ = std::make_unique<player::MarksView>(ui_, marks_->controller(), this);
    links_.setMarks(&marks_->controller());
    connectParts();
    connectUi();
    connectKeyframes();

    resize(370, 370);
    view_->layOut();

    // Idle: nothing open, the stopped look, the items that need a file disabled.
    buildFilters();
    state_.setStatusText(QString());
    view_->setMediaMenus(false, false);
    setItemButtonsEnabled(false);
    playback_->ifStopped(true);
}

frmMain::~frmMain() {
    status_->setTicking(false);
    media_->closeMCI(QString());
}

// What one part asks of another goes through here, so the parts never hold each other.
void frmMain::connectParts() {
    using player::PlayRequest;
    using player::StatusTick;
    PlaybackController* pb = playback_.get();
    MediaOpener* op = opener_.get();
    StatusTick* st = status_.get();
    TransportView* tv = transport_.get();

    connect(pb, &PlaybackController::tickingChanged, st, &StatusTick::setTicking);
    connect(pb, &PlaybackController::tickWanted, st, &StatusTick::tmrCheck_Timer);
    connect(pb, &PlaybackController::playingShown, tv, &TransportView::refreshVolume);
    connect(pb, &PlaybackController::reopenWanted, op,
            [op](const QString& path) { op->playSingle(path, PlayRequest::User); });
    connect(pb, &PlaybackController::playFailed, op, [op] { op->failPlay(QString()); });
    connect(st, &StatusTick::endReached, pb, &PlaybackController::endReached);

    connect(op, &MediaOpener::pauseWanted, pb, &PlaybackController::mbPause_Click);
    connect(op, &MediaOpener::stopWanted, pb, &PlaybackController::shareBnStop);
    connect(op, &MediaOpener::playingWanted, pb, [pb] { pb->showPlaying(false); });
    connect(op, &MediaOpener::normalSpeedWanted, tv,
            [tv] { tv->mnuSpeed_Click(player::kNormalSpeedItem); });
    connect(op, &MediaOpener::sizeWanted, tv, [tv] { tv->myPutSize(true); });
    connect(op, &MediaOpener::openDone, pb, &PlaybackController::stateChanged);

    connect(tv, &TransportView::playWanted, pb, &PlaybackController::mbPlay_Click);
    connect(tv, &TransportView::pauseWanted, pb, &PlaybackController::mbPause_Click);
    connect(tv, &TransportView::stopWanted, pb, &PlaybackController::mbStop_Click);
    connect(tv, &TransportView::lookWanted, pb, &PlaybackController::refreshTransportLook);
    connect(tv, &TransportView::tickWanted, st, &StatusTick::tmrCheck_Timer);
}

void frmMain::connectUi() {
    using player::BarPart;
    PlaybackController* pb = playback_.get();
    MediaOpener* op = opener_.get();
    TransportView* tv = transport_.get();

    connect(ui_.mnuOpen, &QAction::triggered, op, [this, op] { op->mnuOpen_Click(openFilter_); });
    connect(ui_.mnuPlayLast, &QAction::triggered, op, &MediaOpener::mnuPlayLast_Click);
    for (int i = 0; i < static_cast<int>(ui_.mnuSpeed.size()); ++i)
        if (i != player::kSpeedSeparatorItem)
            connect(ui_.mnuSpeed[i], &QAction::triggered, this, [tv, i] { tv->mnuSpeed_Click(i); });
    for (int i = 0; i < static_cast<int>(ui_.mnuFB.size()); ++i)
        if (i != player::kStepSeparatorItem)
            connect(ui_.mnuFB[i], &QAction::triggered, this, [tv, i] { tv->mnuFB_Click(i); });
    // The items check themselves; the transport takes their word and fits the picture anew.
    connect(ui_.mnuKeepWH, &QAction::triggered, tv, [tv](bool on) {
        tv->setKeepWH(on);
        tv->myPutSize(true);
    });
    connect(ui_.mnuKeepDef, &QAction::triggered, tv, [tv](bool on) {
        tv->setKeepDef(on);
        tv->myPutSize(true);
    });
    connect(ui_.mnuScnFull, &QAction::triggered, tv, [tv] { tv->keyDown(Qt::Key_Escape); });

    connect(ui_.mbPlay, &LumbaButton::Click, pb, &PlaybackController::mbPlay_Click);
    connect(ui_.mbPause, &LumbaButton::Click, pb, &PlaybackController::mbPause_Click);
    connect(ui_.mbStop, &LumbaButton::Click, pb, &PlaybackController::mbStop_Click);
    connect(ui_.mbBackward, &LumbaButton::Click, tv, [tv] { tv->jump(true, -1); });
    connect(ui_.mbForward, &LumbaButton::Click, tv, [tv] { tv->jump(true, +1); });
    connect(ui_.mbSound, &LumbaButton::Click, tv, &TransportView::mbSound_Click);
    connect(ui_.mbLastItem, &LumbaButton::Click, this, [this] { links_.list().previousItem(); });
    connect(ui_.mbNextItem, &LumbaButton::Click, this, [this] { links_.list().nextItem(); });
    connect(ui_.mbRngStart, &LumbaButton::Click, this, [this] { links_.marks().markStart(); });
    connect(ui_.mbRngEnd, &LumbaButton::Click, this, [this] { links_.marks().markEnd(); });

    connect(ui_.picHsb, &BarPart::mouseDown, tv, &TransportView::picHsb_MouseDown);
    connect(ui_.picHsbBack, &BarPart::mouseDown, tv, &TransportView::picHsbBack_MouseDown);
    connect(ui_.picHsb2, &BarPart::mouseDown, tv, &TransportView::picHsb2_MouseDown);
    connect(ui_.picHsb2, &BarPart::mouseMove, tv, &TransportView::picHsb2_MouseMove);
    connect(ui_.picHsb2, &BarPart::mouseUp, tv, &TransportView::picHsb2_MouseUp);
    connect(ui_.picVolSdr, &BarPart::mouseDown, tv, &TransportView::picVolSdr_MouseDown);
    connect(ui_.picVolPos, &BarPart::mouseMove, tv, &TransportView::picVolPos_MouseMove);

    connect(op, &MediaOpener::mediaMenusEnabled, view_.get(), &player::PlayerView::setMediaMenus);
    connect(op, &MediaOpener::captureMenuDisabled, view_.get(),
            &player::PlayerView::disableCaptureItem);
    connect(ui_.mnuSaveCap, &QAction::triggered, this, &frmMain::mnuSaveCap_Click);
    tv->savePicture = [this] { mnuSaveCap_Click(); };

    ui_.central->installEventFilter(this);
    ui_.video->installEventFilter(this);
    ui_.panel->installEventFilter(this);
}

QMenu& frmMain::menu(player::MenuSlot which) {
    switch (which) {
        case player::MenuSlot::File:
            return *ui_.mnuFile;
        case player::MenuSlot::List:
            return *ui_.mnuListMenu;
        case player::MenuSlot::Tools:
            return *ui_.mnuTools;
        case player::MenuSlot::Help:
            break;
    }
    return *ui_.mnuHelpMenu;
}

QAction& frmMain::item(player::ItemSlot which) {
    switch (which) {
        case player::ItemSlot::PlayLists:
            return *ui_.mnuList;
        case player::ItemSlot::FileList:
            return *ui_.mnuMyExplorer;
        case player::ItemSlot::SaveFile:
            return *ui_.mnuSaveFile;
        case player::ItemSlot::Explorer:
            break;
    }
    return *ui_.mnuExplorer;
}

void frmMain::focusPanel() { state_.focusPanel(); }

void frmMain::focusVideo() { view_->focusVideo(); }

void frmMain::setItemButtonsEnabled(bool on) {
    for (auto b : {player::PanelButton::LastItem, player::PanelButton::NextItem})
        state_.setButton(b, on ? ButtonState::Normal : ButtonState::Disabled);
}

// Each opened file's keyframes are indexed beside the window: when they arrive, the segments
// show where their saves really start; Ctrl+← and Ctrl+→ step by them.
void frmMain::connectKeyframes() {
    keyframes_ = std::make_unique<keyframes::KeyframeIndexer>();
    keyframeStep_ = std::make_unique<player::KeyframeStep>(*media_, state_, *keyframes_);
    transport_->keyframeTarget = [this](int direction) { return keyframeStep_->target(direction); };
    connect(&state_, &player::PlayerState::filePathChanged, keyframes_.get(),
            &keyframes::KeyframeIndexer::request);
    connect(keyframes_.get(), &keyframes::KeyframeIndexer::indexed, this,
            [this](const QString& path) {
                if (path == state_.filePath()) marks().refreshCopyStarts();
            });
}

marks::MarksController& frmMain::marks() { return marks_->controller(); }
marks::MarksActions& frmMain::marksActions() { return marksView_->actions(); }

frmCap& frmMain::capture() {
    if (!cap_) cap_ = new frmCap(this);
    return *cap_;
}

void frmMain::mnuSaveCap_Click() {
    playback_->pausePrFn();
    repaint();
    // The pictures mpv rendered up to the pause reach the surface first.
    player::letEventsRun();
    // The video area inside the surface's 1-pixel frame.
    capture().showCapture(media_->FileName(), *ui_.video,
                          QRect(QPoint(1, 1), transport_->videoArea()));
}

bool frmMain::eventFilter(QObject* watched, QEvent* e) {
    if (watched == ui_.central && e->type() == QEvent::Resize) {
        if (!isMinimized() && !transport_->resizing()) transport_->myPutSize(true);
        return false;
    }
    if (e->type() == QEvent::MouseButtonPress && (watched == ui_.video || watched == ui_.panel)) {
        auto* me = static_cast<QMouseEvent*>(e);
        // A left click on the video, or on the panel outside its controls, acts as Space.
        const bool onSurface =
            watched == ui_.video || !ui_.panel->childAt(me->position().toPoint());
        if (me->button() == Qt::LeftButton && onSurface) {
            transport_->keyDown(Qt::Key_Space);
            return true;
        }
    }
    return QMainWindow::eventFilter(watched, e);
}

void frmMain::keyPressEvent(QKeyEvent* e) {
    emit keyPressed(e->key(), static_cast<int>(e->modifiers()));
    if (transport_->keyDown(e->key(), e->modifiers()))
        e->accept();
    else
        QMainWindow::keyPressEvent(e);
}

void frmMain::buildFilters() {
    openFilter_ = player::openFilter(MoreFormats);
    editFilter_ = player::editFilter(MoreFormats);
}
