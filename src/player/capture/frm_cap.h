#pragma once
// The capture window: the picture taken from the player's video area, shown in a panel the
// window fits exactly, and its own "另存畫面" that writes the picture to a file. It exists
// once; each capture replaces the picture and the name it offers.
#include <QImage>
#include <QMainWindow>
#include <QPoint>
#include <QString>
#include <functional>

#include "player/capture/capture_place.h"

class QAction;
class QLabel;
class VideoSurface;

class frmCap : public QMainWindow {
    Q_OBJECT
  public:
    explicit frmCap(QWidget* parent = nullptr);

    // Copies `area` of what source shows into the panel, fits the window to it and shows it
    // (not modal); the name offered by the next save follows mediaPath.
    void showCapture(const QString& mediaPath, VideoSurface& source, const QRect& area);
    // The save menu: the save dialog, the file written, then doneAfterSave.
    void mnuSaveCap_Click();

    // The panel's picture as it is saved.
    QImage picture() const { return picture_; }
    QString defaultSaveName() const { return defaultName_; }

    // The place the window opens at (CapRect). While it is shown, place() is where it stands.
    void setPlace(const player::capture::Twips& twips);
    player::capture::Twips place() const;

    // The end-of-job report for a written file (set by whoever has one).
    std::function<void(const QString& path)> doneAfterSave;

  protected:
    // Closing, or the main window going away, keeps the place for the next time.
    void hideEvent(QHideEvent* e) override;

  private:
    void keepPlace();

    QAction* mnuSaveCap_ = nullptr;
    QLabel* picShow_ = nullptr;
    QImage picture_;
    QString mediaPath_;
    QString defaultName_;
    player::capture::Twips place_{0, 0};
    QPoint placed_;  // where place_ put the window
};
