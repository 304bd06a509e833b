#include "player/status_tick.h"

#include "player/player_logic.h"
#include "player/time_labels.h"

namespace player {

StatusTick::StatusTick(PlayerUi& ui, MCI& media, PlayerState& state, PlayerLinks& links,
                       TimeLabels& labels, QObject* parent)
    : QObject(parent), ui_(ui), media_(media), state_(state), links_(links), labels_(labels) {
    tmrCheck_.setInterval(333);
    connect(&tmrCheck_, &QTimer::timeout, this, &StatusTick::tmrCheck_Timer);
}

void StatusTick::setTicking(bool on) {
    if (on)
        tmrCheck_.start();
    else
        tmrCheck_.stop();
}

void StatusTick::tmrCheck_Timer() {
    if (closing_) return;
    marks::PlaybackMarks& marks = links_.marks();
    const int32_t position = media_.getCurFrame();
    const int32_t lastTickPos = state_.position();
    const bool paused = state_.playState() == PlayState::Paused;
    if (!(position == lastTickPos && !paused) && state_.length() > 1) {
        labels_.moveThumb(position);
        const double progress = progressOf(ui_.picHsb2->x(), ui_.picHsb2->width(), ui_.picHsb->x(),
                                           ui_.picHsb->width());
        ui_.lblFnName->setText(statusLine(paused, progress, state_.speed()));
        labels_.showCurrentTime(progress);
        if (marks.lastIsOpen() && position != lastTickPos) marks.stretchOpenSegment(position);
    }
    bool ended = false;
    if (media_.isRngPlaying() && !paused) {
        if (media_.rngEnd() > 0 && position >= media_.rngEnd())
            ended = true;
        else if (position == lastTickPos)
            ended = true;
    }
    if (!ended && !paused && media_.getMode() == MciMode::Stopped) ended = true;
    emit statusTick(position);
    if (ended) emit endReached();
    state_.setPosition(position);
}

}  // namespace player
