#pragma once
// Opening media in the main window: a path or list item played, the open dialog and the
// last file, the failure of an open with its error box, and releasing a file that is
// about to be rewritten.
#include <QObject>
#include <QString>
#include <functional>

#include "media/mci.h"
#include "player/player_links.h"
#include "player/player_state.h"
#include "player/player_ui.h"

class QWidget;

namespace player {

// How a file comes to play: asked for by the user, or by the list window.
enum class PlayRequest { User, List };

class MediaOpener : public QObject {
    Q_OBJECT
  public:
    MediaOpener(PlayerUi& ui, MCI& media, QWidget* window, PlayerState& state, PlayerLinks& links,
                QObject* parent = nullptr);

    QString lastFile() const { return lastFile_; }

    // "" plays the list's current item.
    void playSingle(QString path, PlayRequest from);
    void newPlay(const QString& path, const QString& marksText);
    // path "": the file of the media object.
    void failPlay(const QString& path);
    void playErrorMsg(const QString& path, const QString& lead);
    void closeRunFn(QString path);
    void mnuOpen_Click(const QString& openFilter);
    void mnuPlayLast_Click();

    // Hooks of later work: capture preparation for a new video file, the busy window's
    // hiding on a failure.
    std::function<void(const QString&)> prepareCapture;
    std::function<void()> hideBusy;

  signals:
    // OK in the error box of an .flv: open the codec help.
    void codecHelpRequested();
    // The media menus follow the open media (capture: it has a picture).
    void mediaMenusEnabled(bool on, bool capture);
    // What the transport does around an open: pause what plays, stop it, show the new file
    // playing; the speed back to normal and the picture sized for the new file.
    void pauseWanted();
    void stopWanted(const StopFlags& flags);
    void playingWanted();
    void normalSpeedWanted();
    void sizeWanted();
    // An open or a release ended (the player's state and items may have changed).
    void openDone();

  private:
    // Marks are being edited: true when the user lets the new file play.
    bool confirmLeavingMarks(const QString& path);

    PlayerUi& ui_;
    MCI& media_;
    QWidget* window_;
    PlayerState& state_;
    PlayerLinks& links_;
    QString lastFile_;
};

}  // namespace player
