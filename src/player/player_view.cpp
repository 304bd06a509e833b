#include "player/player_view.h"

#include <QFileIconProvider>
#include <QFileInfo>

#include "common/time_code.h"
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
            break;
    }
    return ui_.mbRngEnd;
}

}  // namespace player
