#pragma once
// The playback logic of the main window: opening a path, the transport commands, the stopped
// and failed states, and the status tick with its end detection. It drives the widgets of
// PlayerUi and asks the list window and the marks through their small interfaces.
#include <QObject>
#include <QString>
#include <QTimer>
#include <cstdint>
#include <functional>

#include "media/mci.h"
#include "player/list_link.h"
#include "player/marks_hooks.h"
#include "player/player_ui.h"

class QWidget;

namespace player {

class TransportView;

class PlaybackController : public QObject {
    Q_OBJECT
  public:
    PlaybackController(PlayerUi& ui, MCI& media, QWidget* window, QObject* parent = nullptr);

    void setTransport(TransportView* t) { transport_ = t; }
    // nullptr restores the defaults (an empty play list, no marks).
    void setListLink(PlayerListLink* link) { list_ = link ? link : &noList_; }
    void setMarks(MarksHooks* marks) { marks_ = marks ? marks : &noMarks_; }
    PlayerListLink& listLink() { return *list_; }
    MarksHooks& marks() { return *marks_; }

    // Player values
    int playState() const { return playState_; }
    void setPlayState(int s) { playState_ = s; }
    int continueMode() const { return continueMode_; }
    void setContinueMode(int m) { continueMode_ = m; }
    int32_t totalUnits() const { return totalUnits_; }
    float secondsPerUnit() const { return secondsPerUnit_; }
    float barScale() const { return barScale_; }
    QString lastFile() const { return lastFile_; }
    QString fileNameTag() const { return fnTag_; }     // Tag of lblFnName
    double totalSecondsTag() const { return ttTag_; }  // Tag of lblTtTime
    int timeStyleTag() const { return curTag_; }       // Tag of lblCurTime
    int32_t lastTickPosition() const { return lastTickPos_; }
    QTimer& tmrCheck() { return tmrCheck_; }
    void setClosing(bool on) { closing_ = on; }
    bool thumbDragging() const { return dragging_; }
    void setThumbDragging(bool on) { dragging_ = on; }

    // Operations
    void playSingle(QString path, int fromList);
    void newPlay(const QString& path, const QString& marksText);
    void failPlay(const QString& path, bool flag);
    void playErrorMsg(const QString& path, const QString& lead);
    void ifStopped(bool flag);
    void shareBnPause();
    void shareBnStop(bool listDone, bool atEnd, bool checkMarks, bool reserved);
    void pausePrFn();
    void closeRunFn(QString path);
    void mbPlayClick();
    void mbPauseClick();
    void mbStopClick();
    void mnuOpen(const QString& openFilter);
    void mnuPlayLast();
    void tick();
    void updateTimeLabels();
    void moveThumb(int32_t position);
    void refreshTransportLook(bool paused);
    void setTimeLabelsVisible(bool on);
    // A segment play of the marks started: show it playing; from the stopped state it counts
    // as Play pressed there.
    void segmentPlayStarted(bool fromStopped);

    // Hooks of later work: capture preparation for a new video file (step 2 of newPlay), the
    // busy window's hiding, letting pending events run.
    std::function<void(const QString&)> prepareCapture;
    std::function<void()> hideBusy;
    std::function<void()> processEvents;

  signals:
    // Every status tick, with the position it read.
    void statusTick(int32_t position);
    // playState, the buttons or the labels changed.
    void stateChanged();
    // OK in the error box of an .flv: open the codec help.
    void codecHelpRequested();
    // The media menus follow the open media (capture: it has a picture).
    void mediaMenusEnabled(bool on, bool capture);

  private:
    void showPlaying(bool afterOpen);
    void letEventsRun();

    PlayerUi& ui_;
    MCI& media_;
    QWidget* window_;
    TransportView* transport_ = nullptr;
    PlayerListLink noList_;
    MarksHooks noMarks_;
    PlayerListLink* list_ = &noList_;
    MarksHooks* marks_ = &noMarks_;
    QTimer tmrCheck_;

    int playState_ = 5;
    int continueMode_ = 0;
    int32_t totalUnits_ = 0;
    float secondsPerUnit_ = 1.0f;
    float barScale_ = 1.0f;
    QString lastFile_;
    QString fnTag_;
    double ttTag_ = 0;
    int curTag_ = 2;
    int32_t lastTickPos_ = 0;
    bool closing_ = false;
    bool dragging_ = false;
};

inline constexpr const char* kMainAlias = "Lumba.FLV";

}  // namespace player
