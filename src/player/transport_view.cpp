#include "player/transport_view.h"

#include <QScopeGuard>

#include "common/prompts.h"
#include "common/texts.h"
#include "media/main_vol.h"
#include "player/player_logic.h"

namespace player {

namespace {
using texts::kErrorTitle;
}

TransportView::TransportView(MCI& media, PlayerState& state, PlayerLinks& links,
                             TransportScreen& screen, const QTimer& statusTimer, QObject* parent)
    : QObject(parent),
      media_(media),
      state_(state),
      links_(links),
      screen_(screen),
      statusTimer_(statusTimer) {}

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
    // The menu toggles an item's check by itself; announcing the speed in force, also when
    // nothing changes, leaves only its item checked.
    bool applied = false;
    const auto syncChecks = qScopeGuard([this, &applied] {
        if (!applied) state_.setSpeed(state_.speedItem(), state_.speed());
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
    applied = true;
    state_.setSpeed(index, speed);
    media_.setSpeed(speed);
}

void TransportView::mnuFB_Click(int index) {
    // As with the speed: the mode in force is announced whatever happens, so that only its
    // item stays checked.
    bool applied = false;
    const auto syncChecks = qScopeGuard([this, &applied] {
        if (!applied) state_.setSteps(state_.stepMode(), state_.stepValues());
    });
    if (const std::optional<StepMode> mode = stepModeOf(index)) {
        applied = true;
        state_.setSteps(*mode, state_.stepValues());
        return;
    }
    if (index != kCustomStepItem) return;
    pauseIfPlaying();
    const StepMode mode = state_.stepMode();
    prompts::Input in;
    in.prompt = customStepPrompt(stepModeName(mode));
    in.defaultText = QString::number(stepValue(mode));
    const std::optional<QString> answer = prompts::current().input(in);
    if (!answer || answer->isEmpty()) return;
    const NumberAnswer n = parseStepValue(*answer);
    if (n.kind != NumberAnswer::Ok) {
        prompts::msgBox(QString::fromUtf8(kStepRangeError), prompts::Buttons::Ok, kErrorTitle);
        return;
    }
    applied = true;
    setStepValue(mode, n.value);
}

void TransportView::setStepValue(StepMode mode, int value) {
    StepValues values = state_.stepValues();
    values[stepIndex(mode)] = value;
    state_.setSteps(state_.stepMode(), values);
}

void TransportView::jump(bool useMode, int direction, std::optional<int32_t> target) {
    media_.rngCancel();
    const StepMode mode = state_.stepMode();
    const bool frames = !useMode || mode == StepMode::Frames;
    const double fps = (!frames && mode == StepMode::Seconds) ? media_.getFramesPerSecond() : 0;
    const int step = jumpStep(useMode, mode, state_.stepValues(), fps, state_.length());
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
    media_.setCurFrame(screen_.unitsAtBar(pos.x()), state_.playState() != PlayState::Paused);
    screen_.putThumbAt(pos.x());
    cancelSegmentPlay();
}

void TransportView::picHsbBack_MouseDown(Qt::MouseButton button, QPoint pos) {
    if (state_.barEnabled()) picHsb_MouseDown(button, pos);
}

void TransportView::picHsb2_MouseDown(Qt::MouseButton button) {
    if (button != Qt::LeftButton || !statusTimer_.isActive()) return;
    dragging_ = true;
    screen_.beginThumbDrag();
}

void TransportView::picHsb2_MouseMove(Qt::MouseButtons buttons, QPoint pos) {
    if (!dragging_ || !(buttons & Qt::LeftButton)) return;
    screen_.dragThumb(pos.x());
}

void TransportView::picHsb2_MouseUp(Qt::MouseButton button) {
    if (button != Qt::LeftButton || !dragging_) return;
    dragging_ = false;
    const int x = screen_.endThumbDrag();
    media_.setCurFrame(screen_.unitsAtBar(x), state_.playState() != PlayState::Paused);
    cancelSegmentPlay();
}

int TransportView::volumeScale() {
    MainVol& v = volume();
    return v.MaxMainVolume() - v.MinMainVolume();
}

void TransportView::setKnob(int value) {
    state_.setVolume(value, state_.muted());
    screen_.placeKnob(value, volumeScale());
}

void TransportView::picVolSdr_MouseDown(Qt::MouseButton button, QPoint pos) {
    if (button != Qt::LeftButton) return;
    MainVol& v = volume();
    v.setMainVolume(screen_.volumeAtSlider(pos.x(), volumeScale()));
    setKnob(v.MainVolume());
}

void TransportView::picVolPos_MouseMove(Qt::MouseButtons buttons, QPoint pos) {
    if (!(buttons & Qt::LeftButton)) return;
    const int value = screen_.volumeAtKnob(pos.x(), volumeScale());
    volume().setMainVolume(value);
    setKnob(value);
}

void TransportView::mbSound_Click() {
    // The button holds itself down while muted.
    const bool mute = screen_.buttonLook(PanelButton::Sound) == ButtonState::Down;
    volume().setMainMute(mute);
    state_.setVolume(state_.volume(), mute);
}

void TransportView::refreshVolume() {
    MainVol& v = volume();
    const bool mute = v.MainMute();
    state_.setButton(PanelButton::Sound, mute ? ButtonState::Down : ButtonState::Normal);
    if (media_.isVideoOnly()) state_.setButton(PanelButton::Sound, ButtonState::Disabled);
    state_.setVolume(state_.volume(), mute);
    setKnob(v.MainVolume());
}

bool TransportView::keepWH() const { return state_.keepWH(); }
void TransportView::setKeepWH(bool on) { state_.setKeep(on, state_.keepDef()); }
bool TransportView::keepDef() const { return state_.keepDef(); }
void TransportView::setKeepDef(bool on) { state_.setKeep(state_.keepWH(), on); }

void TransportView::toggleMaximise() { screen_.toggleMaximise(); }

QSize TransportView::videoArea() const { return screen_.videoArea(); }

void TransportView::myPutSize(bool) {
    if (screen_.minimised()) return;
    resizing_ = true;
    const bool hasPicture = !media_.FileName().isEmpty() && !media_.isAudioOnly();
    state_.enableFitItems(hasPicture);

    int w = 0, h = 0;
    media_.getDefaultSize(w, h);
    screen_.layOut();  // the knob keeps its value; the mixer is not read again for that
    const QSize area = screen_.videoArea();
    if (!keepDef()) {
        if (keepWH()) {
            getMediaNewSize(area.width(), area.height(), w, h);
        } else {
            w = area.width();
            h = area.height();
        }
    }
    // The whole area is the picture only when neither item keeps its shape.
    screen_.setVideoStretch(!keepDef() && !keepWH());
    media_.putMCI(w, h, true, 1, 1, area.width(), area.height());
    // The put is what tells a sound-only file apart; the items follow what it found.
    state_.enableFitItems(!media_.FileName().isEmpty() && !media_.isAudioOnly());

    readLength();
    if (statusTimer_.isActive()) state_.moveThumb(media_.getCurFrame());
    resizing_ = false;
}

bool TransportView::usable(KeyButton which) const {
    std::optional<PanelButton> b;
    switch (which) {
        case KeyButton::None:
            break;
        case KeyButton::Play:
            b = PanelButton::Play;
            break;
        case KeyButton::Stop:
            b = PanelButton::Stop;
            break;
        case KeyButton::Backward:
            b = PanelButton::Backward;
            break;
        case KeyButton::Forward:
            b = PanelButton::Forward;
            break;
        case KeyButton::LastItem:
            b = PanelButton::LastItem;
            break;
        case KeyButton::NextItem:
            b = PanelButton::NextItem;
            break;
        case KeyButton::RngStart:
            b = PanelButton::RngStart;
            break;
        case KeyButton::RngEnd:
            b = PanelButton::RngEnd;
            break;
    }
    return b && acceptsKeys(screen_.buttonLook(*b));
}

bool TransportView::keyDown(int key, Qt::KeyboardModifiers modifiers) {
    const KeyRule rule = keyRule(key, modifiers);
    const bool guardOk = rule.button == KeyButton::None || usable(rule.button);
    switch (rule.action) {
        case KeyAction::None:
            return false;
        case KeyAction::PlayPause:
            if (usable(KeyButton::Play) || acceptsKeys(screen_.buttonLook(PanelButton::Pause))) {
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
            if (screen_.itemEnabled(KeyItem::SavePicture) && savePicture) savePicture();
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
            if (screen_.itemEnabled(KeyItem::SegmentPlay)) {
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
