#pragma once
// The main window: the video area and the control panel. It builds the widgets and routes
// their events; the playback logic lives in PlaybackController, the direct handles (speed,
// jumps, bar, volume, sizing, keys) in TransportView.
#include <QMainWindow>
#include <cstdint>
#include <memory>

#include "media/mci.h"
#include "player/list_link.h"
#include "player/marks_hooks.h"
#include "player/player_ui.h"

class MainVol;
class MciDevice;

namespace player {
class PlaybackController;
class TransportView;
class PlayerMarks;
}  // namespace player

class frmMain : public QMainWindow {
    Q_OBJECT
  public:
    // device: the media device of the playback object (nullptr: defaultMciDevice()).
    explicit frmMain(MciDevice* device = nullptr, QWidget* parent = nullptr);
    ~frmMain() override;

    // Playback (see PlaybackController for the rules)
    void playSingle(const QString& path, int fromList = 0);
    void newPlay(const QString& path, const QString& marksText);
    void failPlay(const QString& path, bool flag);
    void playErrorMsg(const QString& path, const QString& lead);
    void ifStopped(bool flag);
    void shareBnPause();
    void shareBnStop(bool listDone, bool atEnd, bool checkMarks, bool reserved);
    void pausePrFn();
    void closeRunFn(const QString& path);
    void mbPlay_Click();
    void mbPause_Click();
    void mbStop_Click();
    void mnuOpen();
    void mnuPlayLast();
    void tmrCheck_Timer();  // one status tick, as the timer runs it

    // Transport and view
    void mnuSpeed_Click(int index);
    void mnuFB_Click(int index);
    int speedTag() const;  // Tag of mnuSpeed(0): 1000 = 100 %
    int stepMode() const;
    void setStepMode(int mode);
    int stepValue(int mode) const;
    void setStepValue(int mode, int value);
    void refreshStepHints();
    bool keepWH() const;
    void setKeepWH(bool on);
    bool keepDef() const;
    void setKeepDef(bool on);
    void myPutSize(bool flag = true);
    static void getMediaNewSize(int areaW, int areaH, int& w, int& h);
    // The key-down handler of the window (Qt key code and modifiers).
    bool keyDown(int key, Qt::KeyboardModifiers modifiers = {});

    // Dialog filters built from the pattern lists and MoreFormats (call again after
    // MoreFormats changes).
    void buildFilters();
    QString OpenFilter() const { return openFilter_; }
    QString EditFilter() const { return editFilter_; }

    // Player values
    int playState() const;
    int continueMode() const;
    void setContinueMode(int mode);
    int32_t totalUnits() const;
    float secondsPerUnit() const;
    float barScale() const;
    QString lastFile() const;
    bool statusTimerActive() const;
    void setClosing(bool on);

    // Collaborators
    MCI& media() { return *media_; }
    player::PlayerUi& ui() { return ui_; }
    player::PlaybackController& playback() { return *playback_; }
    player::TransportView& transport() { return *transport_; }
    // Segments, marks bar and marks menus.
    player::PlayerMarks& marks() { return *marks_; }
    void setListLink(player::PlayerListLink* link);  // not owned; nullptr: empty play list
    void setMarksHooks(player::MarksHooks* marks);   // not owned; nullptr: no marks
    void setVolume(MainVol* volume);                 // not owned; default MainVol::instance()

  signals:
    // Every status tick, with the position read.
    void statusTick(int32_t position);
    // The player's state changed (play, pause, stop, open, failure).
    void stateChanged();
    // OK in the error box of an unplayable .flv: open the codec help.
    void codecHelpRequested();
    // Every key press the window sees, before the player's own table runs.
    void keyPressed(int key, int modifiers);

  protected:
    void keyPressEvent(QKeyEvent* e) override;
    bool eventFilter(QObject* watched, QEvent* e) override;

  private:
    void connectUi();
    void setMediaMenus(bool on, bool capture);

    player::PlayerUi ui_;
    std::unique_ptr<MCI> media_;
    std::unique_ptr<player::PlaybackController> playback_;
    std::unique_ptr<player::TransportView> transport_;
    std::unique_ptr<player::PlayerMarks> marks_;  // last: it goes first
    QString openFilter_;
    QString editFilter_;
};
