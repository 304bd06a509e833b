#include "player/time_labels.h"

#include "common/time_code.h"
#include "player/player_logic.h"

namespace player {

void TimeLabels::updateTimeLabels() {
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
    totalUnits_ = 0;
    moveThumb(0);
    ui_.picHsb->update();
    ui_.picHsbBack->update();
}

void TimeLabels::showStoppedTime() {
    if (barScale_ != 1.0f) ui_.lblCurTime->setText(secToText(0.0, curTag_, 0));
}

void TimeLabels::showCurrentTime(double progress) {
    ui_.lblCurTime->setText(secToText(progress * ttTag_, curTag_, 0));
}

}  // namespace player
