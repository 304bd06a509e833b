#pragma once
// Opening media in the main window: a path or list item played, the open dialog and the
// last file, the failure of an open with its error box, and releasing a file that is
// about to be rewritten.
#include <QObject>
#include <QString>
#include <cstdint>
#include <functional>

#include "media/mci.h"
#include "player/player_links.h"
#include "player/player_logic.h"
#include "player/player_state.h"

class QWidget;

namespace player {

// How a file comes to play: asked for by the user, or by the list window.
enum class PlayRequest { User, List };

class MediaOpener : public QObject {
    Q_OBJECT
  public:
    // surfaceId: where the video is drawn; dialogOwner: the window the open dialog belongs to.
    MediaOpener(MCI& media, int32_t surfaceId, QWidget* dialogOwner, PlayerState& state,
                PlayerLinks& links, QObject* parent = nullptr);

    QString lastFile() const { return state_.lastFile(); }

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
    // A failed open: no picture can be saved (after whatever the stop started).
    void captureMenuDisabled();

  private:
    // Marks are being edited: true when the user lets the new file play.
    bool confirmLeavingMarks(const QString& path);

    MCI& media_;
    int32_t surfaceId_;
    QWidget* dialogOwner_;
    PlayerState& state_;
    PlayerLinks& links_;
};

}  // namespace player
