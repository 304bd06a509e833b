#pragma once
// The playback state of the main window and its transport commands: play, pause, stop, the
// stopped look and the hand-over to the list after a stop. Opening media lives in
// MediaOpener, the status timer in StatusTick, the read-outs in TimeLabels; the list window
// and the marks are reached through their small interfaces.
#include <QObject>
#include <functional>

#include "common/player_values.h"
#include "media/mci.h"
#include "player/list_link.h"
#include "player/marks/playback_marks.h"
#include "player/player_ui.h"

namespace player {

class MediaOpener;
class StatusTick;
class TimeLabels;
class TransportView;

// How a stop came about (shareBnStop).
struct StopFlags {
    bool listDone = false;    // the list must not advance afterwards
    bool atEnd = false;       // the file ended: a list that carries on keeps the position
    bool checkMarks = false;  // leave list play mode when marks were edited
};

class PlaybackController : public QObject {
    Q_OBJECT
  public:
    PlaybackController(PlayerUi& ui, MCI& media, TimeLabels& labels, QObject* parent = nullptr);

    // The other parts of the window, set once after they are made.
    void join(MediaOpener& opener, StatusTick& status, TransportView& transport);
    // nullptr restores the defaults (an empty play list, no marks).
    void setListLink(PlayerListLink* link) { list_ = link ? link : &noList_; }
    void setMarks(marks::PlaybackMarks* marks) { marks_ = marks ? marks : &noMarks_; }
    PlayerListLink& listLink() { return *list_; }
    marks::PlaybackMarks& marks() { return *marks_; }

    PlayState playState() const { return playState_; }
    void setPlayState(PlayState s) { playState_ = s; }
    ContinueMode continueMode() const { return continueMode_; }
    void setContinueMode(ContinueMode m) { continueMode_ = m; }

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
    // Lets pending window events run.
    void letEventsRun();

  signals:
    // playState, the buttons or the labels changed.
    void stateChanged();

  private:
    PlayerUi& ui_;
    MCI& media_;
    TimeLabels& labels_;
    MediaOpener* opener_ = nullptr;
    StatusTick* status_ = nullptr;
    TransportView* transport_ = nullptr;
    PlayerListLink noList_;
    marks::PlaybackMarks noMarks_;
    PlayerListLink* list_ = &noList_;
    marks::PlaybackMarks* marks_ = &noMarks_;

    PlayState playState_ = PlayState::Stopped;
    ContinueMode continueMode_ = ContinueMode::None;
};

}  // namespace player
