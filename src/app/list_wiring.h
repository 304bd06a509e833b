#pragma once
// Joins the list window to the player window: the list links of the player and its marks,
// what the list window asks of the player, and the main window's menu items that open list
// areas or add the open file to a list.
#include <QObject>
#include <array>
#include <functional>
#include <memory>

#include "app/editor_host.h"
#include "lists/file_browser.h"
#include "lists/frm_list.h"
#include "lists/list_player.h"
#include "lists/segment_editor.h"

class QAction;
class QMimeData;
class frmMain;

namespace app {

class ListWiring : public QObject {
    Q_OBJECT
  public:
    ListWiring(frmMain& window, lists::PlayLists& lists);
    ~ListWiring() override;

    lists::frmList& window() { return *list_; }
    lists::ListPlayer& player() { return *player_; }
    lists::FileBrowser& browser() { return *browser_; }
    lists::SegmentEditor& editor() { return *editor_; }
    // F3: the open file selected in the file browser, else the browser's area.
    void goToFiles();
    // Files opened together: appended to the play list shown last, in order; the first of
    // them plays as that list's item, so the others follow as the list's play mode says.
    void playFiles(const QStringList& paths);

    // Main window items: "加入目前檔案到" 0..2, "總是加到清單末尾", the tool areas.
    std::array<QAction*, 3> mnuToList{};
    QAction* mnuToListEnd = nullptr;
    QAction* mnuSaveDir = nullptr;
    std::array<QAction*, 6> mnuToolArea{};  // join, split, snapshot, fix, FLV→video, FLV→music
    // The main window's drop handling, for drops on the file browser.
    std::function<void(const QMimeData&)> dropHandler;

  private:
    void connectHost();
    void addListAreas();
    void addMainMenus();
    void refreshMainItems();

    frmMain& w_;
    std::unique_ptr<lists::frmList> list_;
    std::unique_ptr<lists::ListPlayer> player_;
    PlayerEditorHost editorHost_;
    lists::FileBrowser* browser_ = nullptr;   // owned by the list window
    lists::SegmentEditor* editor_ = nullptr;  // owned by the list window
};

}  // namespace app
