#pragma once
// The transport commands of the main window: play, pause, stop, the stopped and playing
// looks, the end of a file or segment and the hand-over to the list after a stop. It acts on
// the media object and the player's state; what other parts must do in turn (the status
// timer, a new open, the volume read) it asks through its signals.
#include <QObject>

#include "common/player_values.h"
#include "media/mci.h"
#include "player/player_links.h"
#include "player/player_logic.h"
#include "player/player_state.h"

namespace player {

// Lets pending window events run (pictures reach the surface, boxes close).
void letEventsRun();

class PlaybackController : public QObject {
    Q_OBJECT
  public:
    PlaybackController(MCI& media, PlayerState& state, PlayerLinks& links,
                       QObject* parent = nullptr);

    void mbPlay_Click();
    void mbPause_Click();
    void mbStop_Click();
    void shareBnPause();
    void shareBnStop(StopFlags flags);
    void pausePrFn();
    // nothingOpen: Play and Stop are disabled too.
    void ifStopped(bool nothingOpen);
    void refreshTransportLook(bool paused);
    // Playing: the look, the labels and the status timer. afterOpen: the buttons are set.
    void showPlaying(bool afterOpen);
    // A segment play of the marks started: show it playing; from the stopped state it counts
    // as Play pressed there.
    void segmentPlayStarted(bool fromStopped);
    // The status timer saw the end of a segment play or of the file: the next segment plays
    // (or the first again when repeating), else the player stops and the list takes over.
    void endReached();

  signals:
    // playState, the buttons or the labels changed.
    void stateChanged();
    // The status timer runs from play to stop; one tick right after a command.
    void tickingChanged(bool on);
    void tickWanted();
    // Play is shown (after the timer started): the volume is read again.
    void playingShown();
    // Play of the stopped media failed: it is opened again (path), or reported (resume).
    void reopenWanted(const QString& path);
    void playFailed();

  private:
    // The mark-start button is held down while a segment plays.
    void showSegmentPlay();

    MCI& media_;
    PlayerState& state_;
    PlayerLinks& links_;
};

}  // namespace player
