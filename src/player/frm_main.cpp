#include "player/frm_main.h"

#include <QKeyEvent>
#include <QMouseEvent>

#include "common/globals.h"
#include "controls/icons.h"
#include "media/video_surface.h"
#include "player/marks/player_marks.h"
#include "player/playback_controller.h"
#include "player/player_logic.h"
#include "player/transport_view.h"

using player::PlaybackController;
using player::TransportView;

frmMain::frmMain(MciDevice* device, QWidget* parent) : QMainWindow(parent) {
    setObjectName(QStringLiteral("frmMain"));
    setWindowTitle(QStringLiteral("Lumba.FLV"));
    setWindowIcon(QIcon(icons::pixmap(icons::Kind::Program, 32)));
    player::buildPlayerUi(this, ui_);
    media_ = std::make_unique<MCI>(device);
    playback_ = std::make_unique<PlaybackController>(ui_, *media_, this);
    transport_ = std::make_unique<TransportView>(ui_, *media_, *playback_, this);
    playback_->setTransport(transport_.get());
    connectUi();
    marks_ = std::make_unique<player::PlayerMarks>(*this);
    setMarksHooks(marks_.get());

    // The smallest video area is 320 x 10 inside its frame, above the panel.
    ui_.central->setMinimumSize(322, 12 + player::PlayerUi::kPanelHeight);
    resize(370, 370);
    player::layoutPlayerUi(ui_, ui_.central->size());

    // Idle: nothing open, the stopped look, the items that need a file disabled.
    buildFilters();
    ui_.lblFnName->clear();
    setMediaMenus(false, false);
    ui_.mbLastItem->setState(3);
    ui_.mbNextItem->setState(3);
    playback_->ifStopped(true);
    transport_->refreshStepHints();
}

frmMain::~frmMain() {
    playback_->tmrCheck().stop();
    media_->closeMCI(QString());
}

void frmMain::connectUi() {
    using player::BarPart;
    PlaybackController* pb = playback_.get();
    TransportView* tv = transport_.get();

    connect(ui_.mnuOpen, &QAction::triggered, this, [this] { mnuOpen(); });
    connect(ui_.mnuPlayLast, &QAction::triggered, this, [this] { mnuPlayLast(); });
    for (int i = 0; i < static_cast<int>(ui_.mnuSpeed.size()); ++i)
        if (i != 9)
            connect(ui_.mnuSpeed[i], &QAction::triggered, this, [tv, i] { tv->mnuSpeedClick(i); });
    for (int i = 0; i < static_cast<int>(ui_.mnuFB.size()); ++i)
        if (i != 3)
            connect(ui_.mnuFB[i], &QAction::triggered, this, [tv, i] { tv->mnuFBClick(i); });
    connect(ui_.mnuKeepWH, &QAction::triggered, this, [this] { myPutSize(); });
    connect(ui_.mnuKeepDef, &QAction::triggered, this, [this] { myPutSize(); });
    connect(ui_.mnuScnFull, &QAction::triggered, this, [this] { keyDown(Qt::Key_Escape); });

    connect(ui_.mbPlay, &LumbaButton::Click, pb, &PlaybackController::mbPlayClick);
    connect(ui_.mbPause, &LumbaButton::Click, pb, &PlaybackController::mbPauseClick);
    connect(ui_.mbStop, &LumbaButton::Click, pb, &PlaybackController::mbStopClick);
    connect(ui_.mbBackward, &LumbaButton::Click, tv, [tv] { tv->jump(true, -1); });
    connect(ui_.mbForward, &LumbaButton::Click, tv, [tv] { tv->jump(true, +1); });
    connect(ui_.mbSound, &LumbaButton::Click, tv, &TransportView::mbSoundClick);
    connect(ui_.mbLastItem, &LumbaButton::Click, pb, [pb] { pb->listLink().previousItem(); });
    connect(ui_.mbNextItem, &LumbaButton::Click, pb, [pb] { pb->listLink().nextItem(); });
    connect(ui_.mbRngStart, &LumbaButton::Click, pb, [pb] { pb->marks().markStart(); });
    connect(ui_.mbRngEnd, &LumbaButton::Click, pb, [pb] { pb->marks().markEnd(); });

    connect(ui_.picHsb, &BarPart::mouseDown, tv, &TransportView::trackDown);
    connect(ui_.picHsbBack, &BarPart::mouseDown, tv, &TransportView::stripDown);
    connect(ui_.picHsb2, &BarPart::mouseDown, tv, &TransportView::thumbDown);
    connect(ui_.picHsb2, &BarPart::mouseMove, tv, &TransportView::thumbMove);
    connect(ui_.picHsb2, &BarPart::mouseUp, tv, &TransportView::thumbUp);
    connect(ui_.picVolSdr, &BarPart::mouseDown, tv, &TransportView::sliderDown);
    connect(ui_.picVolPos, &BarPart::mouseMove, tv, &TransportView::knobMove);

    connect(pb, &PlaybackController::statusTick, this, &frmMain::statusTick);
    connect(pb, &PlaybackController::stateChanged, this, &frmMain::stateChanged);
    connect(pb, &PlaybackController::codecHelpRequested, this, &frmMain::codecHelpRequested);
    connect(pb, &PlaybackController::mediaMenusEnabled, this, &frmMain::setMediaMenus);

    ui_.central->installEventFilter(this);
    ui_.video->installEventFilter(this);
    ui_.panel->installEventFilter(this);
}

void frmMain::setMediaMenus(bool on, bool capture) {
    ui_.mnuSaveCap->setEnabled(on && capture && static_cast<bool>(transport_->savePicture));
    ui_.mnuExplorer->setEnabled(on);
    ui_.mnuSaveFile->setEnabled(on);
    if (!on) {
        ui_.mnuKeepWH->setEnabled(false);
        ui_.mnuKeepDef->setEnabled(false);
    }
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
            keyDown(Qt::Key_Space);
            return true;
        }
    }
    return QMainWindow::eventFilter(watched, e);
}

void frmMain::keyPressEvent(QKeyEvent* e) {
    emit keyPressed(e->key(), static_cast<int>(e->modifiers()));
    if (keyDown(e->key(), e->modifiers()))
        e->accept();
    else
        QMainWindow::keyPressEvent(e);
}

bool frmMain::keyDown(int key, Qt::KeyboardModifiers modifiers) {
    return transport_->keyDown(key, modifiers);
}

void frmMain::playSingle(const QString& path, int fromList) {
    playback_->playSingle(path, fromList);
}
void frmMain::newPlay(const QString& path, const QString& marksText) {
    playback_->newPlay(path, marksText);
}
void frmMain::failPlay(const QString& path, bool flag) { playback_->failPlay(path, flag); }
void frmMain::playErrorMsg(const QString& path, const QString& lead) {
    playback_->playErrorMsg(path, lead);
}
void frmMain::ifStopped(bool flag) { playback_->ifStopped(flag); }
void frmMain::shareBnPause() { playback_->shareBnPause(); }
void frmMain::shareBnStop(bool listDone, bool atEnd, bool checkMarks, bool reserved) {
    playback_->shareBnStop(listDone, atEnd, checkMarks, reserved);
}
void frmMain::pausePrFn() { playback_->pausePrFn(); }
void frmMain::closeRunFn(const QString& path) { playback_->closeRunFn(path); }
void frmMain::mbPlay_Click() { playback_->mbPlayClick(); }
void frmMain::mbPause_Click() { playback_->mbPauseClick(); }
void frmMain::mbStop_Click() { playback_->mbStopClick(); }
void frmMain::mnuOpen() { playback_->mnuOpen(openFilter_); }
void frmMain::mnuPlayLast() { playback_->mnuPlayLast(); }
void frmMain::tmrCheck_Timer() { playback_->tick(); }

void frmMain::mnuSpeed_Click(int index) { transport_->mnuSpeedClick(index); }
void frmMain::mnuFB_Click(int index) { transport_->mnuFBClick(index); }
int frmMain::speedTag() const { return transport_->speedTag(); }
int frmMain::stepMode() const { return transport_->stepMode(); }
void frmMain::setStepMode(int mode) { transport_->setStepMode(mode); }
int frmMain::stepValue(int mode) const { return transport_->stepValue(mode); }
void frmMain::setStepValue(int mode, int value) { transport_->setStepValue(mode, value); }
void frmMain::refreshStepHints() { transport_->refreshStepHints(); }
bool frmMain::keepWH() const { return transport_->keepWH(); }
void frmMain::setKeepWH(bool on) { transport_->setKeepWH(on); }
bool frmMain::keepDef() const { return transport_->keepDef(); }
void frmMain::setKeepDef(bool on) { transport_->setKeepDef(on); }
void frmMain::myPutSize(bool flag) { transport_->myPutSize(flag); }
void frmMain::getMediaNewSize(int areaW, int areaH, int& w, int& h) {
    player::getMediaNewSize(areaW, areaH, w, h);
}

void frmMain::buildFilters() {
    openFilter_ = player::openFilter(MoreFormats);
    editFilter_ = player::editFilter(MoreFormats);
}

int frmMain::playState() const { return playback_->playState(); }
int frmMain::continueMode() const { return playback_->continueMode(); }
void frmMain::setContinueMode(int mode) { playback_->setContinueMode(mode); }
int32_t frmMain::totalUnits() const { return playback_->totalUnits(); }
float frmMain::secondsPerUnit() const { return playback_->secondsPerUnit(); }
float frmMain::barScale() const { return playback_->barScale(); }
QString frmMain::lastFile() const { return playback_->lastFile(); }
bool frmMain::statusTimerActive() const { return playback_->tmrCheck().isActive(); }
void frmMain::setClosing(bool on) { playback_->setClosing(on); }
void frmMain::setListLink(player::PlayerListLink* link) { playback_->setListLink(link); }
void frmMain::setMarksHooks(player::MarksHooks* marks) { playback_->setMarks(marks); }
void frmMain::setVolume(MainVol* volume) { transport_->setVolume(volume); }
