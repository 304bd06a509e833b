#pragma once
// The life of the player around its main window: start-up in its fixed order, the
// single-instance hand-off, drops, the menu commands of the shell, saving the settings and
// the orderly shutdown.
#include <QObject>
#include <QPoint>
#include <QRect>
#include <QString>
#include <functional>

#include "app/settings_store.h"
#include "common/host.h"

class QAction;
class QMimeData;
class QTimer;
class frmMain;

namespace app {

class AppShell : public QObject, public AppHost {
    Q_OBJECT
  public:
    AppShell(frmMain& window, SettingsStore& store, QObject* parent = nullptr);
    ~AppShell() override;

    // The start-up steps after the folders are known: left-overs removed, settings loaded,
    // the command-line path played, then unloadSplash, the first-run help and tmrStart.
    // A prompt before that point calls unloadSplash first, so no box opens under the splash.
    void startUp(const QString& commandText, const std::function<void()>& unloadSplash = {});

    // A second start's command text (Form_LinkExecute).
    void linkExecute(const QString& commandText);
    // Files or text dropped on the main window or its hint label (Form_OLEDragDrop).
    void dropped(const QMimeData& data);

    // 0: exit and save the settings; 1: exit without saving.
    void mnuEnd(int index);
    // Saves now and says so; false (after the error box) when the save failed.
    bool mnuSaveNow();
    // Writes both files; a failure keeps the old files and, unless quiet, shows "錯誤訊息".
    bool saveSettings(bool quiet = false);
    // A termination signal: close through the normal shutdown, asking nothing.
    void terminate();

    bool loading() const { return loading_; }
    bool closing() const { return closing_; }
    bool terminated() const { return quiet_; }
    // The window's last rectangle in the normal state (pos and size).
    QRect normalRect() const { return normalRect_; }
    SettingsStore& store() { return store_; }

    // AppHost
    void closeRunFn(const QString& path) override;
    QString saveFolderBox() override;
    void clearSaveFolderBox() override;
    QString playingFile() override;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void loadSettings();
    void applySettings();
    void collectSettings();
    // The shutdown steps; false when the user chose to keep the program running.
    bool shutdown();
    void wireMenus();
    QAction* findAction(const QString& name) const;
    QAction* ensureAction(const char* menu, const char* name, const QString& caption,
                          bool checkable = false);
    void trackNormalRect();

    frmMain& w_;
    SettingsStore& store_;
    bool loading_ = false;
    bool closing_ = false;
    bool quiet_ = false;
    bool saveOnClose_ = true;  // the tag of mnuEnd(0): empty, or "noSaveINI"
    QRect placedRect_;         // where the settings put the main window
    QRect normalRect_;
    QPoint listPlace_;  // the list window's place (it is created later)
    QTimer* tmrStart_ = nullptr;
};

}  // namespace app
