#pragma once
// The life of the player around its main window: start-up in its fixed order, the
// single-instance hand-off, drops and the shared helpers' host. The shell's menu items,
// the settings on the windows and the shutdown are its parts.
#include <QObject>
#include <QRect>
#include <QString>
#include <QStringList>
#include <functional>

#include "app/settings_store.h"
#include "app/shell_menus.h"
#include "app/shutdown.h"
#include "app/window_settings.h"
#include "common/host.h"

class QMimeData;
class QTimer;
class frmMain;

namespace lists {
class frmList;
}

namespace app {

class AppShell : public QObject, public AppHost {
    Q_OBJECT
  public:
    AppShell(frmMain& window, SettingsStore& store, QObject* parent = nullptr);
    ~AppShell() override;

    // The start-up steps after the folders are known: left-overs removed, settings loaded,
    // the command-line path played, then unloadSplash, the first-run help and tmrStart.
    // A prompt before that point calls unloadSplash first, so no box opens under the splash.
    void startUp(const QStringList& paths, const std::function<void()>& unloadSplash = {});
    void startUp(const QString& path, const std::function<void()>& unloadSplash = {}) {
        startUp(path.isEmpty() ? QStringList() : QStringList{path}, unloadSplash);
    }

    // A second start's paths (Form_LinkExecute). Paths that come in before start-up opens
    // the command line's, or while another hand-over is opening, wait their turn, in order.
    void linkExecute(const QStringList& paths);
    void linkExecute(const QString& path) {
        linkExecute(path.isEmpty() ? QStringList() : QStringList{path});
    }
    // Several files at once (a command line or a hand-over): all go to the play list, in
    // order, and the first plays from there. Set by the application.
    std::function<void(const QStringList&)> playFiles;
    // Files or text dropped on the main window or its hint label (Form_OLEDragDrop).
    void dropped(const QMimeData& data);

    // 0: exit and save the settings; 1: exit without saving.
    void mnuEnd(int index) { shutdown_.mnuEnd(index); }
    // Saves now and says so; false (after the error box) when the save failed.
    bool mnuSaveNow();
    // Writes both files; a failure keeps the old files and, unless quiet, shows "錯誤訊息".
    bool saveSettings(bool quiet = false) { return settings_.save(quiet); }
    // A termination signal: close through the normal shutdown, asking nothing.
    void terminate() { shutdown_.terminate(); }

    bool loading() const { return loading_; }
    bool closing() const { return shutdown_.closing(); }
    bool terminated() const { return shutdown_.terminated(); }
    // The window's last rectangle in the normal state (pos and size).
    QRect normalRect() const { return settings_.normalRect(); }
    SettingsStore& store() { return store_; }
    // The list window: placed and set up by the settings, closed with the program.
    void setListWindow(lists::frmList* list);
    ShellMenus& menus() { return menus_; }

    // AppHost
    void closeRunFn(const QString& path) override;
    QString saveFolderBox() override;
    void clearSaveFolderBox() override;
    QString playingFile() override;

  signals:
    // The close is confirmed: nothing new may be handed to this instance.
    void closingBegun();

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    frmMain& w_;
    SettingsStore& store_;
    ShellMenus menus_;
    WindowSettings settings_;
    Shutdown shutdown_;
    bool loading_ = false;
    QTimer* tmrStart_ = nullptr;
    lists::frmList* list_ = nullptr;
    void openHandedOver();
    void open(const QStringList& paths);
    QList<QStringList> handedOver_;
    bool startedUp_ = false;
    bool openingHandedOver_ = false;
};

}  // namespace app
