#pragma once
// The settings meet the windows: what the store read is put on the main window, its marks
// and the shell's menu items, and read back from them before a save. The main window's
// normal rectangle is tracked here, because a maximised or hidden window no longer shows it.
#include <QPoint>
#include <QRect>

class QWidget;
class frmMain;

namespace lists {
class frmList;
}

namespace app {

class SettingsStore;
class ShellMenus;

// True when w is neither minimised, maximised nor full screen.
bool isNormalState(const QWidget& w);

class WindowSettings {
  public:
    WindowSettings(frmMain& window, ShellMenus& menus, SettingsStore& store);

    // Reads both files and applies them.
    void load();
    // Collects the windows' state and writes both files; a failure keeps the old files and
    // shows "錯誤訊息", or, when quiet, writes the reason to stderr.
    bool save(bool quiet);
    // Remembers the window's rectangle while it is in the normal state and visible.
    void trackNormalRect();
    QRect normalRect() const { return normalRect_; }
    // The list window the list values go to and come from (nullptr: kept as read).
    void setListWindow(lists::frmList* list);

  private:
    void apply();
    void applyList();
    void collect();

    frmMain& w_;
    ShellMenus& menus_;
    SettingsStore& store_;
    QRect placedRect_;  // where the settings put the main window
    QRect normalRect_;
    QPoint listPlace_;  // where the settings put the list window
    lists::frmList* list_ = nullptr;
};

}  // namespace app
