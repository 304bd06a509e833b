#include "player/transport_view.h"

#include <QMainWindow>
#include <QScopeGuard>

#include "common/prompts.h"
#include "common/texts.h"
#include "media/main_vol.h"
#include "media/video_surface.h"
#include "player/player_logic.h"
#include "player/player_view.h"

namespace player {

namespace {
using texts::kErrorTitle;
}

TransportView::TransportView(PlayerUi& ui, MCI& media, PlayerState& state, PlayerLinks& links,
                             PlayerView& view, const QTimer& statusTimer, QMainWindow* window,
                             QObject* parent)
    : QObject(parent),
      ui_(ui),
      media_(media),
      state_(state),
      links_(links),
      view_(view),
      statusTimer_(statusTimer),
      window_(window) {}

void TransportView::readLength() {
    const int32_t units = media_.getTotalFrames();
    if (units <= 1) {
        state_.setLength(1, 1.0f, state_.totalSeconds());
        return;
    }
    const float total = media_.getTotalSeconds();
    state_.setLength(units, total / static_cast<float>(units), total);
}

void TransportView::pauseIfPlaying() {
    if (state_.playState() == PlayState::Playing) emit pauseWanted();
}

MainVol& TransportView::volume() {
    if (!vol_) vol_ = &MainVol::instance();
    return *vol_;
}

void TransportView::mnuSpeed_Click(int index) {
    // The menu toggles an item's check by itself; only the item in force stays checked.
    const auto syncChecks = qScopeGuard([this] {
        for (int i = 0; i < static_cast<int>(ui_.mnuSpeed.size()); ++i)
            if (ui_.mnuSpeed[i] && !ui_.mnuSpeed[i]->isSeparator())
                ui_.mnuSpeed[i]->setChecked(i == state_.speedItem());
    });
    int speed = speedForItem(index);
    if (index == kCustomSpeedItem) {
        pauseIfPlaying();
        prompts::Input in;
        in.prompt = customSpeedPrompt();
        in.defaultText = QStringLiteral("100");
        const std::optional<QString> answer = prompts::current().input(in);
        if (!answer || answer->isEmpty()) return;
        const NumberAnswer n = parseCustomSpeed(*answer);
        if (n.kind != NumberAnswer::Ok) {
            prompts::msgBox(QString::fromUtf8(kSpeedRangeError), prompts::Buttons::Ok, kErrorTitle);
            return;
        }
        speed = n.value;
    } else if (speed == 0) {
        return;
    }
    state_.setSpeed(index, speed);
    media_.setSpeed(speed);
}

void TransportView::mnuFB_Click(int index) {
    const auto syncChecks = qScopeGuard([this] {
        for (int i = 0; i < kStepModes; ++i) ui_.mnuFB[i]->setChecked(i == stepMode_);
    });
    if (index >= 0 && index < kStepModes) {
        stepMode_ = index;
        refreshStepHints();
        return;
    }
    if (index != kCustomStepItem) return;
    pauseIfPlaying();
    prompts::Input in;
    in.prompt = customStepPrompt(stepModeName(ui_.mnuFB[stepMode_]->text()));
    in.defaultText = QString::number(steps_[stepMode_]);
    const std::optional<QString> answer = prompts::current().input(in);
    if (!answer || answer->isEmpty()) return;
    const NumberAnswer n = parseStepValue(*answer);
    if (n.kind != NumberAnswer::Ok) {
        prompts::msgBox(QString::fromUtf8(kStepRangeError), prompts::Buttons::Ok, kErrorTitle);
        return;
    }
    setStepValue(stepMode_, n.value);
}

void TransportView::setStepMode(int mode) {
    mnuFB_Click(mode >= 0 && mode < kStepModes ? mode : kDefaultStepMode);
}

void TransportView::setStepValue(int mode, int value) {
    if (mode < 0 || mode >= kStepModes) return;
    steps_[mode] = value;
    ui_.mnuFB[mode]->setText(stepCaption(ui_.mnuFB[mode]->text(), value));
    refreshStepHints();
}

void TransportView::refreshStepHints() {
    const auto [back, forward] = stepHints(stepMode_, steps_);
    ui_.mbBackward->setToolTipText(back);
    ui_.mbForward->setToolTipText(forward);
}

void TransportView::jump(bool useMode, int direction, std::optional<int32_t> target) {
    media_.rngCancel();
    const bool frames = !useMode || stepMode_ == 0;
    const double fps = (!frames && stepMode_ == 1) ? media_.getFramesPerSecond() : 0;
    const int step = jumpStep(useMode, stepMode_, steps_, fps, state_.length());
    const JumpTarget t =
        target ? JumpTarget{*target, false}
               : jumpTarget(media_.getCurFrame(), direction, step, media_.getTotalFrames());
    if (t.pause) state_.setPlayState(PlayState::Paused);
    if (frames) {
        media_.pauseMCI();
        media_.setCurFrame(t.target, false);
        state_.setPlayState(PlayState::Paused);
    } else {
        media_.setCurFrame(t.target, state_.playState() != PlayState::Paused);
    }
    const bool ok = media_.isSuccess();
    emit lookWanted(state_.playState() == PlayState::Paused);
    emit tickWanted();
    if (!ok) prompts::msgBox(QString::fromUtf8(kJumpError), prompts::Buttons::Ok, kErrorTitle);
}

void TransportView::cancelSegmentPlay() {
    if (!media_.isRngPlaying()) return;
    media_.rngCancel();
    media_.setRngStart(0);
    emit lookWanted(state_.playState() == PlayState::Paused);
}

void TransportView::picHsb_MouseDown(Qt::MouseButton button, QPoint pos) {
    if (button != Qt::LeftButton || !statusTimer_.isActive()) return;
    const float scale = view_.barScale();
    media_.setCurFrame(roundEven(pos.x() / scale), state_.playState() != PlayState::Paused);
    ui_.picHsb2->move(ui_.picHsb->x() + pos.x() - ui_.picHsb2->width() / 2, ui_.picHsb2->y());
    cancelSegmentPlay();
}

void TransportView::picHsbBack_MouseDown(Qt::MouseButton button, QPoint pos) {
    if (ui_.picHsb->isEnabled()) picHsb_MouseDown(button, pos);
}

void TransportView::picHsb2_MouseDown(Qt::MouseButton button) {
    if (button != Qt::LeftButton || !statusTimer_.isActive()) return;
    dragging_ = true;
    view_.setThumbDragging(true);
    dragX_ = ui_.picHsb2->x() + ui_.picHsb2->width() / 2;
}

void TransportView::picHsb2_MouseMove(Qt::MouseButtons buttons, QPoint pos) {
    if (!dragging_ || !(buttons & Qt::LeftButton)) return;
    const int left = ui_.picHsb->x();
    const int right = left + ui_.picHsb->width();
    dragX_ = qBound(left, ui_.picHsb2->x() + pos.x(), right);
    ui_.picHsb2->move(dragX_ - ui_.picHsb2->width() / 2, ui_.picHsb2->y());
}

void TransportView::picHsb2_MouseUp(Qt::MouseButton button) {
    if (button != Qt::LeftButton || !dragging_) return;
    dragging_ = false;
    view_.setThumbDragging(false);
    media_.setCurFrame(roundEven((dragX_ - ui_.picHsb->x()) / view_.barScale()),
                       state_.playState() != PlayState::Paused);
    ui_.picHsb->update();
    ui_.picHsbBack->update();
    cancelSegmentPlay();
}

void TransportView::setKnob(int value) {
    MainVol& v = volume();
    knobScale_ = v.MaxMainVolume() - v.MinMainVolume();
    state_.setVolume(value, state_.muted());
    placeKnob();
}

void TransportView::placeKnob() {
    const int sliderW = ui_.picVolSdr->width();
    const int centre =
        ui_.picVolSdr->x() + (knobScale_ > 0 ? sliderW * state_.volume() / knobScale_ : 0);
    ui_.picVolPos->move(centre - ui_.picVolPos->width() / 2, ui_.picVolPos->y());
}

void TransportView::picVolSdr_MouseDown(Qt::MouseButton button, QPoint pos) {
    if (button != Qt::LeftButton) return;
    MainVol& v = volume();
    const int scale = v.MaxMainVolume() - v.MinMainVolume();
    const int sliderW = qMax(ui_.picVolSdr->width(), 1);
    v.setMainVolume(roundEven(static_cast<double>(pos.x()) * scale / sliderW));
    setKnob(v.MainVolume());
}

void TransportView::picVolPos_MouseMove(Qt::MouseButtons buttons, QPoint pos) {
    if (!(buttons & Qt::LeftButton)) return;
    MainVol& v = volume();
    const int left = ui_.picVolSdr->x();
    const int sliderW = qMax(ui_.picVolSdr->width(), 1);
    const int x = qBound(left, ui_.picVolPos->x() + pos.x(), left + sliderW);
    const int scale = v.MaxMainVolume() - v.MinMainVolume();
    const int value = roundEven(static_cast<double>(x - left) * scale / sliderW);
    v.setMainVolume(value);
    setKnob(value);
}

void TransportView::mbSound_Click() {
    const bool mute = ui_.mbSound->State() == ButtonState::Down;
    volume().setMainMute(mute);
    state_.setVolume(state_.volume(), mute);
}

void TransportView::refreshVolume() {
    MainVol& v = volume();
    const bool mute = v.MainMute();
    ui_.mbSound->setState(mute ? ButtonState::Down : ButtonState::Normal);
    if (media_.isVideoOnly()) ui_.mbSound->setState(ButtonState::Disabled);
    state_.setVolume(state_.volume(), mute);
    setKnob(v.MainVolume());
}

bool TransportView::keepWH() const { return ui_.mnuKeepWH->isChecked(); }
void TransportView::setKeepWH(bool on) { ui_.mnuKeepWH->setChecked(on); }
bool TransportView::keepDef() const { return ui_.mnuKeepDef->isChecked(); }
void TransportView::setKeepDef(bool on) { ui_.mnuKeepDef->setChecked(on); }

void TransportView::toggleMaximise() {
    if (window_->isMaximized())
        window_->showNormal();
    else
        window_->showMaximized();
}

QSize TransportView::videoArea() const {
    const QSize inner = ui_.central->size();
    return {qMax(inner.width() - 2, 0), qMax(inner.height() - PlayerUi::kPanelHeight - 2, 0)};
}

void TransportView::myPutSize(bool) {
    if (window_->isMinimized()) return;
    resizing_ = true;
    const bool hasPicture = !media_.FileName().isEmpty() && !media_.isAudioOnly();
    ui_.mnuKeepWH->setEnabled(hasPicture);
    ui_.mnuKeepDef->setEnabled(hasPicture);

    int w = 0, h = 0;
    media_.getDefaultSize(w, h);
    layoutPlayerUi(ui_, ui_.central->size());
    placeKnob();  // the slider may have moved; the mixer is not read again for that
    const QSize area = videoArea();
    if (!keepDef()) {
        if (keepWH()) {
            getMediaNewSize(area.width(), area.height(), w, h);
        } else {
            w = area.width();
            h = area.height();
        }
    }
    // The whole area is the picture only when neither item keeps its shape.
    ui_.video->setStretch(!keepDef() && !keepWH());
    media_.putMCI(w, h, true, 1, 1, area.width(), area.height());
    // The put is what tells a sound-only file apart; the items follow what it found.
    const bool picture = !media_.FileName().isEmpty() && !media_.isAudioOnly();
    ui_.mnuKeepWH->setEnabled(picture);
    ui_.mnuKeepDef->setEnabled(picture);

    readLength();
    if (statusTimer_.isActive()) state_.moveThumb(media_.getCurFrame());
    resizing_ = false;
}

LumbaButton* TransportView::button(KeyButton b) const {
    switch (b) {
        case KeyButton::None:
            return nullptr;
        case KeyButton::Play:
            return ui_.mbPlay;
        case KeyButton::Stop:
            return ui_.mbStop;
        case KeyButton::Backward:
            return ui_.mbBackward;
        case KeyButton::Forward:
            return ui_.mbForward;
        case KeyButton::LastItem:
            return ui_.mbLastItem;
        case KeyButton::NextItem:
            return ui_.mbNextItem;
        case KeyButton::RngStart:
            return ui_.mbRngStart;
        case KeyButton::RngEnd:
            return ui_.mbRngEnd;
    }
    return nullptr;
}

bool TransportView::usable(KeyButton which) const {
    const LumbaButton* b = button(which);
    return b && acceptsKeys(b->State());
}

bool TransportView::keyDown(int key, Qt::KeyboardModifiers modifiers) {
    const KeyRule rule = keyRule(key, modifiers);
    const bool guardOk = rule.button == KeyButton::None || usable(rule.button);
    switch (rule.action) {
        case KeyAction::None:
            return false;
        case KeyAction::PlayPause:
            if (usable(KeyButton::Play) || acceptsKeys(ui_.mbPause->State())) {
                if (state_.playState() == PlayState::Playing)
                    emit pauseWanted();
                else
                    emit playWanted();
            }
            break;
        case KeyAction::Stop:
            if (guardOk) emit stopWanted();
            break;
        case KeyAction::JumpBack:
            if (guardOk) jump(true, -1);
            break;
        case KeyAction::JumpForward:
            if (guardOk) jump(true, +1);
            break;
        case KeyAction::FrameBack:
            if (guardOk) jump(false, -1);
            break;
        case KeyAction::FrameForward:
            if (guardOk) jump(false, +1);
            break;
        case KeyAction::KeyframeBack:
        case KeyAction::KeyframeForward:
            if (guardOk) {
                const int direction = rule.action == KeyAction::KeyframeBack ? -1 : +1;
                jump(false, direction, keyframeTarget ? keyframeTarget(direction) : std::nullopt);
            }
            break;
        case KeyAction::LastItem:
            if (guardOk) links_.list().previousItem();
            break;
        case KeyAction::NextItem:
            if (guardOk) links_.list().nextItem();
            break;
        case KeyAction::Maximise:
            toggleMaximise();
            break;
        case KeyAction::SavePicture:
            if (ui_.mnuSaveCap->isEnabled() && savePicture) savePicture();
            break;
        case KeyAction::GoPlayList:
            links_.list().showPlayList();
            break;
        case KeyAction::GoMarks:
            links_.marks().goToMarksList();
            break;
        case KeyAction::GoFileList:
            links_.list().showFileList();
            break;
        case KeyAction::SegmentPlay:
            if (ui_.mnuRngPlay[0]->isEnabled()) {
                int mask = 0;
                if (modifiers & Qt::ShiftModifier) mask |= 1;
                if (modifiers & Qt::ControlModifier) mask |= 2;
                if (modifiers & Qt::AltModifier) mask |= 4;
                links_.marks().playMarksForModifiers(mask);
            }
            break;
        case KeyAction::MarkStart:
            if (guardOk) links_.marks().markStart();
            break;
        case KeyAction::MarkEnd:
            if (guardOk) links_.marks().markEnd();
            break;
    }
    return true;
}

}  // namespace player
