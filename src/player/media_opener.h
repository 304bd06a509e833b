#pragma once
// Opening media in the main window: a path or list item played, the open dialog and the
// last file, the failure of an open with its error box, and releasing a file that is
// about to be rewritten.
#include <QObject>
#include <QString>
#include <functional>

#include "media/mci.h"
#include "player/player_ui.h"

class QWidget;

namespace player {

class PlaybackController;
class TimeLabels;
class TransportView;

class MediaOpener : public QObject {
    Q_OBJECT
  public:
    MediaOpener(PlayerUi& ui, MCI& media, QWidget* window, PlaybackController& playback,
                TimeLabels& labels, QObject* parent = nullptr);

    void setTransport(TransportView* t) { transport_ = t; }
    QString lastFile() const { return lastFile_; }
    QString fileNameTag() const { return fnTag_; }  // Tag of lblFnName

    // fromList > 0: the list asked for it. "" plays the list's current item.
    void playSingle(QString path, int fromList);
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

  private:
    // Marks are being edited: true when the user lets the new file play.
    bool confirmLeavingMarks(const QString& path);

    PlayerUi& ui_;
    MCI& media_;
    QWidget* window_;
    PlaybackController& playback_;
    TimeLabels& labels_;
    TransportView* transport_ = nullptr;
    QString lastFile_;
    QString fnTag_;
};

}  // namespace player
