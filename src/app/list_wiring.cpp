#include "app/list_wiring.h"

#include <QAction>
#include <QMenu>

#include "app/save_copy.h"
#include "controls/lumba_button.h"
#include "player/frm_main.h"
#include "player/marks/marks_controller.h"
#include "player/media_opener.h"
#include "player/playback_controller.h"
#include "player/status_tick.h"
#include "tools/done_report.h"

namespace app {

using lists::Area;

ListWiring::ListWiring(frmMain& window, lists::PlayLists& lists)
    : w_(window),
      list_(std::make_unique<lists::frmList>(lists)),
      player_(std::make_unique<lists::ListPlayer>(*list_)),
      editorHost_(window) {
    w_.links().setList(player_.get());
    w_.marks().setListLink(player_.get());
    connectHost();
    addListAreas();
    addMainMenus();
}

ListWiring::~ListWiring() {
    w_.links().setList(nullptr);
    w_.marks().setListLink(nullptr);
}

void ListWiring::connectHost() {
    lists::ListWindowHost& h = list_->host;
    player::PlaybackController& pb = w_.playback();
    player::MediaOpener& opener = w_.opener();
    h.pausePrFn = [&pb] { pb.pausePrFn(); };
    h.playSingle = [&opener](const QString& path, bool fromList) {
        opener.playSingle(path, fromList ? player::PlayRequest::List : player::PlayRequest::User);
    };
    h.newPlay = [&opener](const QString& path, const QString& marks) {
        opener.newPlay(path, marks);
    };
    h.stop = [&pb] { pb.mbStop_Click(); };
    h.stopAll = [&pb] { pb.shareBnStop({}); };
    player::PlayerState& state = w_.state();
    h.continueMode = [&state] { return state.continueMode(); };
    h.setContinueMode = [&state](ContinueMode m) { state.setContinueMode(m); };
    h.stopStatusTimer = [this] { w_.status().setTicking(false); };
    h.focusPlayer = [this] { w_.focusPanel(); };
    h.enableItemButtons = [this](bool on) { w_.setItemButtonsEnabled(on); };
    h.refreshPlayerButtons = [this] { refreshMainItems(); };
    h.saveFile = [](const QString& path, QWidget* owner) { saveFile(path, owner); };
    h.listSaved = [](const QString& path) { tools::doneAfterSave(path, false, 0, false); };
    h.openFilter = [this] { return w_.OpenFilter(); };
    h.goToMarks = [this] { w_.marks().goToMarksList(); };

    connect(list_.get(), &lists::frmList::toListEndChanged, this, [this](bool on) {
        if (mnuToListEnd && mnuToListEnd->isChecked() != on) mnuToListEnd->setChecked(on);
    });
    connect(list_.get(), &lists::frmList::areaShown, this, [this] { refreshMainItems(); });
    connect(&pb, &player::PlaybackController::stateChanged, this, [this] { refreshMainItems(); });
}

void ListWiring::addListAreas() {
    editor_ = new lists::SegmentEditor;
    editor_->setHost(&editorHost_);
    list_->registerArea(Area::MarksList, editor_);
    player_->editorLoadMark = [this] { editor_->loadMark(); };
    player_->editorCheckCmdRng = [this] { editor_->checkCmdRng(); };
    player_->editorRefreshNotes = [this] { editor_->refreshNotes(); };
    player_->editorSpansOf = [this] { return editor_->editorSpans(); };
    // The editor shows the marks of whatever is open, also after a failed open.
    connect(&w_.opener(), &player::MediaOpener::mediaMenusEnabled, this,
            [this] { editor_->loadMark(); });

    browser_ = new lists::FileBrowser;
    list_->registerArea(Area::FileBrowser, browser_);
    list_->browser = lists::browserItems(*browser_);
    lists::FileBrowserHost& b = browser_->host;
    b.playPath = [this](const QString& path) {
        w_.opener().playSingle(path, player::PlayRequest::List);
        list_->host.enableItemButtons(browser_->fileCount() > 0);
    };
    b.dropped = [this](const QMimeData& data) {
        if (dropHandler) dropHandler(data);
    };
    b.playingFile = [this] { return w_.media().FileName(); };
    b.focusNeutral = [this] { list_->setFocus(); };
    b.filesChanged = [this] { list_->refreshButtons(); };
    b.showBrowserArea = [this] { list_->showOn(Area::FileBrowser); };
    list_->host.showInBrowser = [this](const QString& path) {
        list_->showOn(Area::FileBrowser);
        browser_->showFile(path);
    };
    list_->host.goToFiles = [this] { goToFiles(); };
    connect(list_.get(), &lists::frmList::areaShown, this, [this](Area a) {
        if (a == Area::MarksList) editor_->shown();
        if (a == Area::FileBrowser) browser_->shown();
    });
}

void ListWiring::goToFiles() {
    const QString open = w_.media().FileName();
    list_->showOn(Area::FileBrowser);
    if (!open.isEmpty()) browser_->showFile(open);
}

void ListWiring::playFiles(const QStringList& paths) {
    if (paths.isEmpty()) return;
    // The play list the user looked at last takes them, after what it holds already.
    const int k = list_->shownLast() == 1 ? 1 : 0;
    list_->switchTo(k == 1 ? Area::PlayList2 : Area::PlayList1);
    lists::ShownList& target = list_->playList(k);
    const int first = target.count();
    target.add(paths, false);
    target.refresh();
    list_->refreshButtons();
    target.select(first);
    if (list_->host.playSingle) list_->host.playSingle(QString(), true);
}

void ListWiring::addMainMenus() {
    using player::ItemSlot;
    QMenu& listMenu = w_.menu(player::MenuSlot::List);
    QMenu& tools = w_.menu(player::MenuSlot::Tools);
    // The list menu's own items come first, above the window's "播放清單".
    QAction* playLists = &w_.item(ItemSlot::PlayLists);
    QMenu* toList = new QMenu(QStringLiteral("加入目前檔案到"), &listMenu);
    listMenu.insertMenu(playLists, toList);
    const QString captions[3] = {QStringLiteral("播放清單一"), QStringLiteral("播放清單二"),
                                 QStringLiteral("合併清單")};
    for (int k = 0; k < 3; ++k) {
        QAction* a = toList->addAction(captions[k]);
        a->setObjectName(QStringLiteral("mnuToList_%1").arg(k));
        connect(a, &QAction::triggered, this, [this, k] {
            const QString text = w_.marks().itemTextWithMarks(k == 2);
            if (text.isEmpty()) return;
            list_->addToListK(k, text);
            list_->show();
            list_->raise();
        });
        mnuToList[size_t(k)] = a;
    }
    mnuToListEnd = new QAction(QStringLiteral("總是加到清單末尾"), &listMenu);
    mnuToListEnd->setObjectName(QStringLiteral("mnuToListEnd"));
    mnuToListEnd->setCheckable(true);
    listMenu.insertAction(playLists, mnuToListEnd);
    listMenu.insertSeparator(playLists);
    connect(mnuToListEnd, &QAction::toggled, list_.get(), &lists::frmList::setToListEnd);

    playLists->setEnabled(true);
    connect(playLists, &QAction::triggered, this, [this] { list_->showPlayLists(); });
    QAction& fileList = w_.item(ItemSlot::FileList);
    fileList.setEnabled(true);
    connect(&fileList, &QAction::triggered, this, [this] { goToFiles(); });

    mnuSaveDir = listMenu.addAction(QStringLiteral("設定存取目錄 ...."));
    mnuSaveDir->setObjectName(QStringLiteral("mnuSaveDir"));
    connect(mnuSaveDir, &QAction::triggered, this, [this] { list_->showOn(Area::FileBrowser); });
    // The player's own item, enabled with its media menus.
    connect(&w_.item(ItemSlot::SaveFile), &QAction::triggered, this, [this] {
        w_.playback().pausePrFn();
        saveFile(w_.media().FileName(), &w_);
    });

    const char* const names[6] = {"mnuMediaJoin", "mnuMediaSplit", "mnuMediaSnap",
                                  "mnuMediaFix",  "mnuFLV2Mov",    "mnuFLV2Muc"};
    const char* const texts[6] = {"合併功能", "切割功能",   "截圖功能",
                                  "修復功能", "FLV 轉影片", "FLV 轉音樂"};
    const Area targets[4] = {Area::JoinList, Area::Split, Area::Snapshot, Area::Fix};
    for (int i = 0; i < 6; ++i) {
        if (i == 4) tools.addSeparator();
        QAction* a = tools.addAction(QString::fromUtf8(texts[i]));
        a->setObjectName(QString::fromLatin1(names[i]));
        connect(a, &QAction::triggered, this, [this, i, targets] {
            if (i < 4)
                list_->showOn(targets[i]);
            else  // the conversion tabs keep the side the user chose last
                list_->showTab(i == 4 ? 6 : 7);
        });
        mnuToolArea[size_t(i)] = a;
    }
    refreshMainItems();
}

void ListWiring::refreshMainItems() {
    const bool open = !w_.media().FileName().isEmpty();
    for (QAction* a : mnuToList) a->setEnabled(open);
}

}  // namespace app
