#include "player/status_tick.h"

namespace player {

StatusTick::StatusTick(MCI& media, PlayerState& state, PlayerLinks& links, QObject* parent)
    : QObject(parent), media_(media), state_(state), links_(links) {
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
        state_.showPosition(position);
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
