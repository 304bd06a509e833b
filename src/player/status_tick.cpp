#include "player/status_tick.h"

#include "player/playback_controller.h"
#include "player/player_logic.h"
#include "player/time_labels.h"
#include "player/transport_view.h"

namespace player {

StatusTick::StatusTick(PlayerUi& ui, MCI& media, TimeLabels& labels, PlaybackController& playback,
                       QObject* parent)
    : QObject(parent), ui_(ui), media_(media), labels_(labels), playback_(playback) {
    tmrCheck_.setInterval(333);
    connect(&tmrCheck_, &QTimer::timeout, this, &StatusTick::tmrCheck_Timer);
}

void StatusTick::tmrCheck_Timer() {
    if (closing_) return;
    marks::PlaybackMarks& marks = playback_.marks();
    const int32_t position = media_.getCurFrame();
    const bool paused = playback_.playState() == PlayState::Paused;
    if (!(position == lastTickPos_ && !paused) && labels_.totalUnits() > 1) {
        labels_.moveThumb(position);
        const double progress = progressOf(ui_.picHsb2->x(), ui_.picHsb2->width(), ui_.picHsb->x(),
                                           ui_.picHsb->width());
        const int speed = transport_ ? transport_->speedTag() : 1000;
        ui_.lblFnName->setText(statusLine(paused, progress, speed));
        labels_.showCurrentTime(progress);
        if (marks.lastIsOpen() && position != lastTickPos_) marks.stretchOpenSegment(position);
    }
    bool ended = false;
    if (media_.isRngPlaying() && !paused) {
        if (media_.rngEnd() > 0 && position >= media_.rngEnd())
            ended = true;
        else if (position == lastTickPos_)
            ended = true;
    }
    if (!ended && !paused && media_.getMode() == MciMode::Stopped) ended = true;
    emit statusTick(position);
    if (ended) endReached();
    lastTickPos_ = position;
}

// The end of a segment plays the next one (or the first again when repeating); the end of
// the file, or of the last segment, stops and hands over to the list.
void StatusTick::endReached() {
    marks::PlaybackMarks& marks = playback_.marks();
    const int playing = marks.playingSegment();
    const int last = marks.lastIndex();
    if (media_.rngRepeat()) {
        marks.playNextSegment(marks::SegmentRepeat::Loop, playing < last ? playing + 1 : 0);
    } else if (media_.rngEnd() > 0 && playing < last) {
        marks.playNextSegment(marks::SegmentRepeat::Once, playing + 1);
    } else {
        media_.rngCancel();
        playback_.shareBnStop({.atEnd = playback_.listLink().playMode() != ListPlayMode::Once});
    }
}

}  // namespace player
