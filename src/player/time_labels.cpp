#include "player/time_labels.h"

#include "common/time_code.h"
#include "player/player_logic.h"

namespace player {

void TimeLabels::updateTimeLabels() {
    const int32_t units = media_.getTotalFrames();
    if (units <= 1) {
        state_.setLength(1, 1.0f, state_.totalSeconds());
        barScale_ = 1.0f;
        return;
    }
    float total = media_.getTotalSeconds();
    int fields = 2;
    float shown = total;
    ui_.lblTtTime->setText(secToText(shown, 2, 0, &fields));
    curTag_ = fields;
    ui_.lblCurTime->setText(secToText(0.0, curTag_, 0));
    ui_.lblSplit->setText(QStringLiteral("/"));
    state_.setLength(units, total / static_cast<float>(units), total);
    barScale_ = static_cast<float>(ui_.picHsb->width()) / static_cast<float>(units);
}

void TimeLabels::moveThumb(int32_t position) {
    if (dragging_) return;
    ui_.picHsb2->move(thumbLeftFor(position, barScale_, ui_.picHsb2->width(), ui_.picHsb->x()),
                      ui_.picHsb2->y());
}

void TimeLabels::setTimeLabelsVisible(bool on) {
    ui_.lblCurTime->setVisible(on);
    ui_.lblSplit->setVisible(on);
    ui_.lblTtTime->setVisible(on);
}

void TimeLabels::clearForNewFile() {
    state_.setLength(0, state_.secondsPerUnit(), state_.totalSeconds());
    moveThumb(0);
    ui_.picHsb->update();
    ui_.picHsbBack->update();
}

void TimeLabels::showStoppedTime() {
    if (barScale_ != 1.0f) ui_.lblCurTime->setText(secToText(0.0, curTag_, 0));
}

void TimeLabels::showCurrentTime(double progress) {
    ui_.lblCurTime->setText(secToText(progress * state_.totalSeconds(), curTag_, 0));
}

}  // namespace player
