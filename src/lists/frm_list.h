#pragma once
// The list window: a frame of work areas under the tab strip, the list buttons, the hint line,
// the menus and keys that switch areas, and hiding instead of closing. The areas' content is
// handed in by number; the frame owns the two play lists and the join list it shows.
#include <QAction>
#include <QLabel>
#include <QWidget>
#include <array>
#include <map>
#include <memory>

#include "lists/areas.h"
#include "lists/list_buttons.h"
#include "lists/list_window_host.h"
#include "lists/shown_list.h"

class LumbaTab;
class QMenu;
class QMenuBar;
class QStackedWidget;
class QRadioButton;

namespace lists {

class ListBox;
struct PlayLists;

class frmList : public QWidget {
    Q_OBJECT
  public:
    // lists: the play lists as loaded; the window shows and changes them in place.
    explicit frmList(PlayLists& lists, QWidget* parent = nullptr);
    ~frmList() override;

    ListWindowHost host;
    BrowserItems browser;

    // Puts an area's widget into its page; the frame owns it from then on.
    void registerArea(Area a, QWidget* w);
    QWidget* areaWidget(Area a) const;

    // Selects the area of an area tab (0..7) and sub-page, and performs the area switch.
    void changeToTab(int areaTab, int page);
    void switchTo(Area a) { changeToTab(areaTab(a), areaPage(a)); }
    Area currentArea() const { return area_; }
    // The list the buttons act on: nullptr outside areas 0, 1 and 20.
    ShownList* currentList() { return current_; }
    bool browserMode() const { return browserMode_; }
    int shownLast() const;
    // The play lists were read again (the settings load): redraw them and show the one shown
    // last when a play list is showing.
    void reloadLists();

    ShownList& playList(int k) { return *playLists_[size_t(k)]; }
    ShownList& joinList() { return *joinList_; }

    // Adds one item to the current list (addToList).
    void addToList(const QString& text, bool insertAfterSelection, bool refresh);
    // Several texts as addToList adds them one after the other, in one batch.
    void addToList(const QStringList& texts, bool insertAfterSelection, bool refresh);
    // The list of copy target k (0, 1 play lists, 2 join list) shown and text added to it.
    void addToListK(int k, const QString& text);

    // Play mode, always-to-end and line format with their menu checks.
    ListPlayMode playMode() const { return playMode_; }
    void setPlayMode(ListPlayMode m);
    bool toListEnd() const { return mnuToListEnd->isChecked(); }
    void setToListEnd(bool on);
    void setLineFormat(int format);

    // The button states after a change of the current list or an area switch.
    void refreshButtons();
    // The hint line.
    QLabel* lblNote = nullptr;
    // The program is closing: a close really closes.
    void setClosing(bool on) { closing_ = on; }

    // F1, F2, F3 as the main window's menus do them.
    void showPlayLists();
    void showMarksList();
    void showFileList();
    // Shows and raises the window on an area, or on an area tab keeping its sub-page.
    void showOn(Area a);
    void showTab(int areaTab);

    LumbaTab* tabMn = nullptr;
    QMenuBar* menuBar = nullptr;
    std::array<QAction*, 3> mnuToList{};
    QAction* mnuToListEnd = nullptr;
    std::array<QAction*, 4> mnuPlaySetting{};
    std::array<QAction*, 3> mnuLineFmt{};
    std::array<QAction*, kStripTabs> mnuSwithItem{};
    QAction* mnuPlaySpec = nullptr;
    QMenu* popup = nullptr;
    ListButtonsUi buttons;

  signals:
    // An area was switched to (tool pages prepare their fields).
    void areaShown(Area a);
    void toListEndChanged(bool on);
    void playModeChanged(ListPlayMode m);
    void lineFormatChanged(int format);
    // The pop-up play item in a conversion area.
    void playSourceRequested(Area a);

  protected:
    void closeEvent(QCloseEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;

  private:
    struct TabPage {
        QWidget* page = nullptr;
        QStackedWidget* stack = nullptr;
        std::array<QRadioButton*, 2> switches{};
        std::array<QWidget*, 2> areaPages{};
        int current = 0;
    };

    void buildMenus();
    void buildTabs();
    void connectButtons();
    ShownList* makeList(Area a, PlayList& model, ListKind kind, const char* name);
    void areaSwitch();
    void tabClicked();
    void pageSwitched(int strip, int page);
    void showPopup(const QPoint& globalPos);
    void playSelected();  // mbPlay, double click, mnuPlaySpec
    void copyToList(int k);

    PlayLists& lists_;
    PlayList joinModel_;
    std::array<std::unique_ptr<ShownList>, 2> playLists_;
    std::unique_ptr<ShownList> joinList_;
    std::array<TabPage, kStripTabs> tabs_;
    std::map<Area, QWidget*> areas_;
    Area area_ = Area::PlayList1;
    ShownList* current_ = nullptr;
    bool browserMode_ = false;
    ListPlayMode playMode_ = ListPlayMode::Once;
    bool closing_ = false;
    bool switching_ = false;
};

}  // namespace lists
