#include "player/player_view.h"

#include <QFileIconProvider>
#include <QFileInfo>

#include "common/time_code.h"
#include "media/video_surface.h"
#include "player/player_logic.h"

namespace player {

PlayerView::PlayerView(PlayerUi& ui, PlayerState& state, QWidget* window, QObject* parent)
    : QObject(parent), ui_(ui), state_(state), window_(window) {
    connect(&state, &PlayerState::lengthChanged, this, &PlayerView::showLength);
    connect(&state, &PlayerState::thumbMoved, this, &PlayerView::moveThumb);
    connect(&state, &PlayerState::positionShown, this, &PlayerView::showPosition);
    connect(&state, &PlayerState::stoppedShown, this, &PlayerView::showStopped);
    connect(&state, &PlayerState::timesVisibleChanged, this, &PlayerView::showTimes);
    connect(&state, &PlayerState::statusTextChanged, ui.lblFnName, &QLabel::setText);
    connect(&state, &PlayerState::buttonChanged, this,
            [this](PanelButton b, ButtonState s) { button(b)->setState(s); });
    connect(&state, &PlayerState::barEnabledChanged, ui.picHsb, &QWidget::setEnabled);
    connect(&state, &PlayerState::filePathChanged, this, &PlayerView::showFile);
    connect(&state, &PlayerState::lastFileChanged, this,
            [this](const QString& path) { ui_.mnuPlayLast->setEnabled(!path.isEmpty()); });
    connect(&state, &PlayerState::noteHidden, ui.picNote, &QWidget::hide);
    connect(&state, &PlayerState::windowWanted, window, &QWidget::show);
    connect(&state, &PlayerState::panelFocusWanted, this, [this] { ui_.picAssIcon->setFocus(); });
    connect(&state, &PlayerState::speedChanged, this, &PlayerView::showSpeed);
    connect(&state, &PlayerState::stepsChanged, this, &PlayerView::showSteps);
    connect(&state, &PlayerState::keepChanged, this, [this](bool keepWH, bool keepDef) {
        ui_.mnuKeepWH->setChecked(keepWH);
        ui_.mnuKeepDef->setChecked(keepDef);
    });
    connect(&state, &PlayerState::fitItemsEnabled, this, [this](bool on) {
        ui_.mnuKeepWH->setEnabled(on);
        ui_.mnuKeepDef->setEnabled(on);
    });
    showSteps();
}

void PlayerView::showSpeed() {
    for (int i = 0; i < static_cast<int>(ui_.mnuSpeed.size()); ++i)
        if (ui_.mnuSpeed[i] && !ui_.mnuSpeed[i]->isSeparator())
            ui_.mnuSpeed[i]->setChecked(i == state_.speedItem());
}

void PlayerView::showSteps() {
    const StepValues& values = state_.stepValues();
    for (StepMode m : kAllStepModes) {
        QAction* item = ui_.mnuFB[stepIndex(m)];
        item->setChecked(m == state_.stepMode());
        item->setText(stepCaption(m, values[stepIndex(m)]));
    }
    const auto [back, forward] = stepHints(state_.stepMode(), values);
    ui_.mbBackward->setToolTipText(back);
    ui_.mbForward->setToolTipText(forward);
}

void PlayerView::setMediaMenus(bool on, bool capture) {
    ui_.mnuSaveCap->setEnabled(on && capture);
    ui_.mnuExplorer->setEnabled(on);
    ui_.mnuSaveFile->setEnabled(on);
    if (!on) {
        ui_.mnuKeepWH->setEnabled(false);
        ui_.mnuKeepDef->setEnabled(false);
    }
}

void PlayerView::disableCaptureItem() { ui_.mnuSaveCap->setEnabled(false); }

void PlayerView::repaintMarks() { ui_.picRngBk->repaint(); }

void PlayerView::focusVideo() {
    if (ui_.video) ui_.video->setFocus();
}

int32_t PlayerView::unitsAtBar(int x) const { return roundEven(x / barScale_); }

void PlayerView::putThumbAt(int x) {
    ui_.picHsb2->move(ui_.picHsb->x() + x - ui_.picHsb2->width() / 2, ui_.picHsb2->y());
}

void PlayerView::beginThumbDrag() {
    dragging_ = true;
    dragX_ = ui_.picHsb2->x() + ui_.picHsb2->width() / 2;
}

void PlayerView::dragThumb(int dx) {
    const int left = ui_.picHsb->x();
    const int right = left + ui_.picHsb->width();
    dragX_ = qBound(left, ui_.picHsb2->x() + dx, right);
    ui_.picHsb2->move(dragX_ - ui_.picHsb2->width() / 2, ui_.picHsb2->y());
}

int PlayerView::endThumbDrag() {
    dragging_ = false;
    ui_.picHsb->update();
    ui_.picHsbBack->update();
    return dragX_ - ui_.picHsb->x();
}

int PlayerView::volumeAtSlider(int x, int scale) const {
    const int sliderW = qMax(ui_.picVolSdr->width(), 1);
    return roundEven(static_cast<double>(x) * scale / sliderW);
}

int PlayerView::volumeAtKnob(int dx, int scale) const {
    const int left = ui_.picVolSdr->x();
    const int sliderW = qMax(ui_.picVolSdr->width(), 1);
    const int x = qBound(left, ui_.picVolPos->x() + dx, left + sliderW);
    return roundEven(static_cast<double>(x - left) * scale / sliderW);
}

void PlayerView::placeKnob(int value, int scale) {
    knobValue_ = value;
    knobScale_ = scale;
    showKnob();
}

void PlayerView::showKnob() {
    const int sliderW = ui_.picVolSdr->width();
    const int centre =
        ui_.picVolSdr->x() + (knobScale_ > 0 ? sliderW * knobValue_ / knobScale_ : 0);
    ui_.picVolPos->move(centre - ui_.picVolPos->width() / 2, ui_.picVolPos->y());
}

ButtonState PlayerView::buttonLook(PanelButton b) const { return button(b)->State(); }

bool PlayerView::itemEnabled(KeyItem item) const {
    switch (item) {
        case KeyItem::SavePicture:
            return ui_.mnuSaveCap->isEnabled();
        case KeyItem::SegmentPlay:
            break;
    }
    return ui_.mnuRngPlay[0]->isEnabled();
}

void PlayerView::layOut() {
    layoutPlayerUi(ui_, ui_.central->size());
    showKnob();  // the slider may have moved
}

QSize PlayerView::videoArea() const {
    const QSize inner = ui_.central->size();
    return {qMax(inner.width() - 2, 0), qMax(inner.height() - PlayerUi::kPanelHeight - 2, 0)};
}

void PlayerView::setVideoStretch(bool on) { ui_.video->setStretch(on); }

bool PlayerView::minimised() const { return window_->isMinimized(); }

void PlayerView::toggleMaximise() {
    if (window_->isMaximized())
        window_->showNormal();
    else
        window_->showMaximized();
}

void PlayerView::showLength(int32_t units) {
    if (units == 0) {  // a new file opens: the thumb back at the start
        moveThumb(0);
        ui_.picHsb->update();
        ui_.picHsbBack->update();
        return;
    }
    if (units == 1) {
        barScale_ = 1.0f;
        return;
    }
    int fields = 2;
    float shown = static_cast<float>(state_.totalSeconds());  // the text may round it
    ui_.lblTtTime->setText(secToText(shown, 2, 0, &fields));
    curTag_ = fields;
    ui_.lblCurTime->setText(secToText(0.0, curTag_, 0));
    ui_.lblSplit->setText(QStringLiteral("/"));
    barScale_ = static_cast<float>(ui_.picHsb->width()) / static_cast<float>(units);
}

void PlayerView::moveThumb(int32_t units) {
    if (dragging_) return;
    ui_.picHsb2->move(thumbLeftFor(units, barScale_, ui_.picHsb2->width(), ui_.picHsb->x()),
                      ui_.picHsb2->y());
}

void PlayerView::showPosition(int32_t units) {
    moveThumb(units);
    // The progress is what the thumb shows, also while it is dragged.
    const double progress =
        progressOf(ui_.picHsb2->x(), ui_.picHsb2->width(), ui_.picHsb->x(), ui_.picHsb->width());
    state_.setStatusText(
        statusLine(state_.playState() == PlayState::Paused, progress, state_.speed()));
    ui_.lblCurTime->setText(secToText(progress * state_.totalSeconds(), curTag_, 0));
}

void PlayerView::showStopped() {
    moveThumb(0);
    if (barScale_ != 1.0f) ui_.lblCurTime->setText(secToText(0.0, curTag_, 0));
}

void PlayerView::showTimes(bool on) {
    ui_.lblCurTime->setVisible(on);
    ui_.lblSplit->setVisible(on);
    ui_.lblTtTime->setVisible(on);
}

void PlayerView::showFile(const QString& path) {
    static QFileIconProvider iconProvider;
    ui_.picAssIcon->setPixmap(iconProvider.icon(QFileInfo(path)).pixmap(16, 16));
    window_->setWindowTitle(QStringLiteral(" ") + state_.fileName() +
                            QStringLiteral(" - Lumba.FLV"));
}

LumbaButton* PlayerView::button(PanelButton b) const {
    switch (b) {
        case PanelButton::Play:
            return ui_.mbPlay;
        case PanelButton::Pause:
            return ui_.mbPause;
        case PanelButton::Stop:
            return ui_.mbStop;
        case PanelButton::Backward:
            return ui_.mbBackward;
        case PanelButton::Forward:
            return ui_.mbForward;
        case PanelButton::RngStart:
            return ui_.mbRngStart;
        case PanelButton::RngEnd:
            return ui_.mbRngEnd;
        case PanelButton::LastItem:
            return ui_.mbLastItem;
        case PanelButton::NextItem:
            return ui_.mbNextItem;
        case PanelButton::Sound:
            break;
    }
    return ui_.mbSound;
}

}  // namespace player
