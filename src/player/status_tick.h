#pragma once
// The status timer of the main window (tmrCheck, 333 ms): each tick moves the thumb, writes
// the status line and the current time, stretches an open segment and detects the end of
// the file or of a segment play.
#include <QObject>
#include <QTimer>
#include <cstdint>

#include "media/mci.h"
#include "player/player_ui.h"

namespace player {

class PlaybackController;
class TimeLabels;
class TransportView;

class StatusTick : public QObject {
    Q_OBJECT
  public:
    StatusTick(PlayerUi& ui, MCI& media, TimeLabels& labels, PlaybackController& playback,
               QObject* parent = nullptr);

    void setTransport(const TransportView* t) { transport_ = t; }
    QTimer& tmrCheck() { return tmrCheck_; }
    // One tick, as the timer runs it.
    void tmrCheck_Timer();
    int32_t lastTickPosition() const { return lastTickPos_; }
    // While the program closes, ticks do nothing.
    void setClosing(bool on) { closing_ = on; }

  signals:
    // Every tick, with the position it read.
    void statusTick(int32_t position);

  private:
    void endReached();

    PlayerUi& ui_;
    MCI& media_;
    TimeLabels& labels_;
    PlaybackController& playback_;
    const TransportView* transport_ = nullptr;
    QTimer tmrCheck_;
    int32_t lastTickPos_ = 0;
    bool closing_ = false;
};

}  // namespace player
