#pragma once
// The status timer of the main window (tmrCheck, 333 ms): each tick moves the thumb, writes
// the status line and the current time, stretches an open segment and detects the end of
// the file or of a segment play.
#include <QObject>
#include <QTimer>
#include <cstdint>

#include "media/mci.h"
#include "player/player_links.h"
#include "player/player_state.h"

namespace player {

class StatusTick : public QObject {
    Q_OBJECT
  public:
    StatusTick(MCI& media, PlayerState& state, PlayerLinks& links, QObject* parent = nullptr);

    QTimer& tmrCheck() { return tmrCheck_; }
    void setTicking(bool on);
    // One tick, as the timer runs it.
    void tmrCheck_Timer();
    // While the program closes, ticks do nothing.
    void setClosing(bool on) { closing_ = on; }

  signals:
    // Every tick, with the position it read.
    void statusTick(int32_t position);
    // The end of a segment play or of the file.
    void endReached();

  private:
    MCI& media_;
    PlayerState& state_;
    PlayerLinks& links_;
    QTimer tmrCheck_;
    bool closing_ = false;
};

}  // namespace player
