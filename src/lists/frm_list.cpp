#include "lists/frm_list.h"

#include <QBoxLayout>
#include <QCloseEvent>
#include <QContextMenuEvent>
#include <QFileInfo>
#include <QKeyEvent>
#include <QMenu>
#include <QMenuBar>
#include <QRadioButton>
#include <QStackedWidget>

#include "controls/lumba_button.h"
#include "controls/lumba_tab.h"
#include "items/item_text.h"
#include "items/line_format.h"
#include "lists/list_box.h"
#include "lists/list_commands.h"
#include "lists/list_ops.h"
#include "lists/play_list.h"

namespace lists {

frmList::frmList(PlayLists& lists, QWidget* parent) : QWidget(parent, Qt::Window), lists_(lists) {
    setObjectName(QStringLiteral("frmList"));
    setWindowTitle(QStringLiteral("Lumba.FLV 清單"));
    resize(420, 460);

    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->setSpacing(2);
    menuBar = new QMenuBar(this);
    outer->setMenuBar(menuBar);

    tabMn = new LumbaTab(this);
    tabMn->setObjectName(QStringLiteral("tabMn"));
    outer->addWidget(tabMn, 1);

    auto* row = new QHBoxLayout;
    row->setContentsMargins(4, 0, 4, 0);
    row->setSpacing(1);
    buildListButtons(this, row, buttons);
    outer->addLayout(row);

    lblNote = new QLabel(this);
    lblNote->setObjectName(QStringLiteral("lblNote"));
    lblNote->setContentsMargins(6, 2, 6, 4);
    outer->addWidget(lblNote);

    buildMenus();
    buildTabs();
    connectButtons();

    tabMn->setPage(0, tabs_[0].page);
    const int last = lists_.shownLast == 1 ? 1 : 0;
    tabs_[0].current = last;
    area_ = last == 1 ? Area::PlayList2 : Area::PlayList1;
    tabs_[0].stack->setCurrentIndex(last);
    tabs_[0].switches[size_t(last)]->setChecked(true);
    areaSwitch();
}

frmList::~frmList() = default;

ShownList* frmList::makeList(Area a, PlayList& model, ListKind kind, const char* name) {
    auto* box = new ListBox;
    box->setObjectName(QString::fromLatin1(name));
    auto* list = new ShownList(model, *box, kind);
    connect(box, &ListBox::filesDropped, this, [this, list](const QStringList& files) {
        // Drops go to the list they land on, even when another area is current.
        list->add(files, !toListEnd());
        list->refresh();
        refreshButtons();
    });
    connect(box, &QListWidget::itemDoubleClicked, this, [this, list, kind] {
        if (kind == ListKind::JoinList) {
            const QString path = list->itemPath();
            if (!path.isEmpty() && host.playSingle) host.playSingle(path, false);
        } else {
            playSelected();
        }
    });
    connect(box, &QListWidget::currentRowChanged, this, [this] { refreshButtons(); });
    box->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(box, &QWidget::customContextMenuRequested, this,
            [this, box](const QPoint& p) { showPopup(box->viewport()->mapToGlobal(p)); });
    registerArea(a, box);
    return list;
}

void frmList::buildMenus() {
    QMenu* listMenu = menuBar->addMenu(QStringLiteral("清單"));
    listMenu->setObjectName(QStringLiteral("mnuListMenu"));
    QMenu* toList = listMenu->addMenu(QStringLiteral("加入指定項目到"));
    const QString toCaptions[3] = {QStringLiteral("播放清單一"), QStringLiteral("播放清單二"),
                                   QStringLiteral("合併清單")};
    for (int k = 0; k < 3; ++k) {
        mnuToList[size_t(k)] = toList->addAction(toCaptions[k]);
        mnuToList[size_t(k)]->setObjectName(QStringLiteral("mnuToList_%1").arg(k));
        connect(mnuToList[size_t(k)], &QAction::triggered, this, [this, k] { copyToList(k); });
    }
    mnuToListEnd = listMenu->addAction(QStringLiteral("總是加到清單末尾"));
    mnuToListEnd->setObjectName(QStringLiteral("mnuToListEnd"));
    mnuToListEnd->setCheckable(true);
    connect(mnuToListEnd, &QAction::toggled, this, &frmList::toListEndChanged);
    listMenu->addSeparator();

    QMenu* modes = listMenu->addMenu(QStringLiteral("清單播放模式"));
    const QString modeCaptions[4] = {QStringLiteral("單次播放檔案"), QStringLiteral("循環播放檔案"),
                                     QStringLiteral("循環播放清單"),
                                     QStringLiteral("隨機播放清單")};
    for (int i = 0; i < 4; ++i) {
        QAction* a = modes->addAction(modeCaptions[i]);
        a->setObjectName(QStringLiteral("mnuPlaySetting_%1").arg(i));
        a->setCheckable(true);
        connect(a, &QAction::triggered, this, [this, i] {
            setPlayMode(static_cast<ListPlayMode>(i));
            if (host.refreshPlayerButtons) host.refreshPlayerButtons();
        });
        mnuPlaySetting[size_t(i)] = a;
    }
    QMenu* formats = listMenu->addMenu(QStringLiteral("清單顯示模式"));
    for (int i = 0; i < 3; ++i) {
        QAction* a = formats->addAction(mdlLineFormat::formatCaption(i));
        a->setObjectName(QStringLiteral("mnuLineFmt_%1").arg(i));
        a->setCheckable(true);
        connect(a, &QAction::triggered, this, [this, i] { setLineFormat(i); });
        mnuLineFmt[size_t(i)] = a;
    }

    QMenu* areas = menuBar->addMenu(QStringLiteral("切換工作區"));
    areas->setObjectName(QStringLiteral("mnuSwith"));
    for (int i = 0; i < kStripTabs; ++i) {
        QAction* a = areas->addAction(switchItemCaption(i));
        a->setObjectName(QStringLiteral("mnuSwithItem_%1").arg(i));
        a->setCheckable(true);
        connect(a, &QAction::triggered, this, [this, i] {
            const int tab = kAreaTabOfStrip[size_t(i)];
            changeToTab(tab, tabs_[size_t(i)].current);
        });
        mnuSwithItem[size_t(i)] = a;
    }

    popup = new QMenu(this);
    mnuPlaySpec = popup->addAction(QStringLiteral("播放指定影片"));
    mnuPlaySpec->setObjectName(QStringLiteral("mnuPlaySpec"));
    connect(mnuPlaySpec, &QAction::triggered, this, [this] {
        if (isConversionArea(area_))
            emit playSourceRequested(area_);
        else
            playSelected();
    });
    popup->addMenu(toList);

    setPlayMode(ListPlayMode::Once);
    setLineFormat(mdlLineFormat::lineFormat());
}

void frmList::buildTabs() {
    tabMn->setTabs(kStripTabs);
    tabMn->setTabsPerRow(4);
    QStringList captions;
    for (int i = 0; i < kStripTabs; ++i) captions << tabCaption(i);
    tabMn->setAll_Caption(tabstrip::joinCaptions(captions));
    QList<QWidget*> pages;
    for (int i = 0; i < kStripTabs; ++i) {
        TabPage& t = tabs_[size_t(i)];
        t.page = new QWidget(this);
        t.page->setObjectName(QStringLiteral("picTab_%1").arg(i));
        auto* lay = new QVBoxLayout(t.page);
        lay->setContentsMargins(4, 4, 4, 4);
        const QStringList sw = pageSwitchCaptions(i);
        if (!sw.isEmpty()) {
            auto* swRow = new QHBoxLayout;
            for (int p = 0; p < 2; ++p) {
                auto* r = new QRadioButton(sw.at(p), t.page);
                r->setObjectName(QStringLiteral("optPage_%1_%2").arg(i).arg(p));
                connect(r, &QRadioButton::clicked, this, [this, i, p] { pageSwitched(i, p); });
                swRow->addWidget(r);
                t.switches[size_t(p)] = r;
            }
            swRow->addStretch(1);
            lay->addLayout(swRow);
            t.switches[0]->setChecked(true);
        }
        t.stack = new QStackedWidget(t.page);
        lay->addWidget(t.stack, 1);
        for (int p = 0; p < pageCount(i); ++p) {
            // An empty page until its content is handed in.
            t.areaPages[size_t(p)] = new QWidget(t.stack);
            t.stack->addWidget(t.areaPages[size_t(p)]);
        }
        pages << t.page;
    }
    tabMn->setPages(pages);
    connect(tabMn, &LumbaTab::Click, this, [this] { tabClicked(); });

    for (int k = 0; k < 2; ++k)
        playLists_[size_t(k)].reset(makeList(k == 0 ? Area::PlayList1 : Area::PlayList2,
                                             lists_.list[size_t(k)], ListKind::PlayList,
                                             k == 0 ? "lstMn_0" : "lstMn_1"));
    joinList_.reset(makeList(Area::JoinList, joinModel_, ListKind::JoinList, "lstMn2"));
}

void frmList::registerArea(Area a, QWidget* w) {
    const int strip = stripIndexOfAreaTab(areaTab(a));
    TabPage& t = tabs_[size_t(strip)];
    const int p = areaPage(a);
    QWidget* old = t.areaPages[size_t(p)];
    t.stack->removeWidget(old);
    t.stack->insertWidget(p, w);
    // The empty page goes; a list the new page took in (the join list) stays, and shows again
    // after the stack hid it.
    if (w->isAncestorOf(old))
        old->show();
    else if (old != w)
        old->deleteLater();
    t.areaPages[size_t(p)] = w;
    t.stack->setCurrentIndex(t.current);
    areas_[a] = w;
}

QWidget* frmList::areaWidget(Area a) const {
    const auto it = areas_.find(a);
    return it == areas_.end() ? nullptr : it->second;
}

int frmList::shownLast() const { return lists_.shownLast; }

void frmList::reloadLists() {
    for (auto& l : playLists_) l->redraw();
    if (isPlayListArea(area_))
        changeToTab(0, lists_.shownLast == 1 ? 1 : 0);
    else
        refreshButtons();
}

void frmList::connectButtons() {
    ListButtonsUi& b = buttons;
    for (int i = 0; i < 2; ++i) {
        connect(b.mbAdd[size_t(i)], &LumbaButton::Click, this,
                [this, i] { mbAdd_Click(*this, i); });
        connect(b.mbDel[size_t(i)], &LumbaButton::Click, this,
                [this, i] { mbDel_Click(*this, i); });
        connect(b.mbMove[size_t(i)], &LumbaButton::Click, this,
                [this, i] { mbMove_Click(*this, i); });
        connect(b.mbSave[size_t(i)], &LumbaButton::Click, this,
                [this, i] { mbSave_Click(*this, i); });
    }
    connect(b.mbSortItem, &LumbaButton::Click, this, [this] { mbSortItem_Click(*this); });
    connect(b.mbRndItem, &LumbaButton::Click, this, [this] { mbRndItem_Click(*this); });
    connect(b.mbRevItem, &LumbaButton::Click, this, [this] { mbRevItem_Click(*this); });
    connect(b.mbToFile, &LumbaButton::Click, this, [this] {
        if (current_ && host.showInBrowser) host.showInBrowser(current_->itemPath());
    });
    connect(b.mbPlay, &LumbaButton::Click, this, [this] { playSelected(); });
    connect(b.mbRndPlay, &LumbaButton::Click, this, [this] {
        if (browserMode_) {
            if (browser.select && browser.count)
                browser.select(randomIndex(browser.count(), listRandom()));
        } else if (current_) {
            current_->select(randomIndex(current_->count(), listRandom()));
        }
        refreshButtons();
        playSelected();
    });
    connect(b.mbStop, &LumbaButton::Click, this, [this] {
        if (host.stop) host.stop();
    });
    connect(b.mbStopLoop, &LumbaButton::Click, this, [this] {
        if (host.setContinueMode) host.setContinueMode(ContinueMode::None);
        if (host.stopAll) host.stopAll();
    });
}

void frmList::playSelected() {
    if (browserMode_) {
        if (browser.play) browser.play();
    } else if (current_ && current_->selected() >= 0) {
        if (host.playSingle) host.playSingle(QString(), true);
    } else {
        return;
    }
    if (host.enableItemButtons)
        host.enableItemButtons(browserMode_ ? (browser.count && browser.count() > 0)
                                            : (current_ && current_->count() > 0));
}

void frmList::addToList(const QString& text, bool insertAfterSelection, bool refresh) {
    if (text.isEmpty()) return;
    addToList(QStringList{text}, insertAfterSelection, refresh);
}

void frmList::addToList(const QStringList& texts, bool insertAfterSelection, bool refresh) {
    if (texts.isEmpty() || !current_) return;
    current_->add(texts, insertAfterSelection);
    if (refresh) {
        current_->refresh();
        refreshButtons();
    }
}

void frmList::addToListK(int k, const QString& text) {
    if (text.isEmpty() || k < 0 || k > 2) return;
    changeToTab(k == 2 ? 2 : 0, k == 2 ? 0 : k);
    addToList(text, !toListEnd(), true);
}

void frmList::copyToList(int k) {
    QString text;
    if (browserMode_) {
        text = browser.selectedPath ? browser.selectedPath() : QString();
    } else if (current_) {
        text = k == 2 ? current_->itemPath() : current_->itemText();
    }
    if (text.isEmpty()) return;
    if (k == 2) text = items::splitItemText(text).path;
    addToListK(k, text);
}

void frmList::setPlayMode(ListPlayMode m) {
    playMode_ = m;
    for (int i = 0; i < 4; ++i) mnuPlaySetting[size_t(i)]->setChecked(i == static_cast<int>(m));
    emit playModeChanged(m);
}

void frmList::setToListEnd(bool on) { mnuToListEnd->setChecked(on); }

void frmList::setLineFormat(int format) {
    if (format < 0 || format > 2) return;
    mdlLineFormat::setLineFormat(format);
    for (int i = 0; i < 3; ++i) mnuLineFmt[size_t(i)]->setChecked(i == format);
    if (current_) current_->redrawIfFormatChanged();
    emit lineFormatChanged(format);
}

void frmList::changeToTab(int tab, int page) {
    const int strip = stripIndexOfAreaTab(tab);
    if (strip < 0 || !areaOf(tab, page)) return;
    TabPage& t = tabs_[size_t(strip)];
    t.current = page;
    t.stack->setCurrentIndex(page);
    if (t.switches[size_t(page)]) t.switches[size_t(page)]->setChecked(true);
    switching_ = true;
    tabMn->setTabNow(strip);
    switching_ = false;
    areaSwitch();
}

void frmList::tabClicked() {
    if (switching_) return;
    areaSwitch();
}

void frmList::pageSwitched(int strip, int page) {
    changeToTab(kAreaTabOfStrip[size_t(strip)], page);
}

void frmList::areaSwitch() {
    const int strip = tabMn->TabNow();
    const int tab = kAreaTabOfStrip[size_t(strip)];
    const int page = tabs_[size_t(strip)].current;
    current_ = nullptr;
    browserMode_ = false;
    area_ = areaOf(tab, page).value_or(Area::PlayList1);
    for (int i = 0; i < kStripTabs; ++i) mnuSwithItem[size_t(i)]->setChecked(i == strip);
    mnuPlaySpec->setText(playItemCaption(area_));
    lblNote->setText(areaHint(area_));
    switch (area_) {
        case Area::PlayList1:
        case Area::PlayList2:
            lists_.shownLast = areaPage(area_);
            current_ = playLists_[size_t(lists_.shownLast)].get();
            current_->redrawIfFormatChanged();
            break;
        case Area::JoinList:
            current_ = joinList_.get();
            break;
        case Area::FileBrowser:
            browserMode_ = true;
            break;
        default:
            break;
    }
    refreshButtons();
    emit areaShown(area_);
}

void frmList::refreshButtons() {
    int n = 0, selected = -1;
    if (browserMode_) {
        n = browser.count ? browser.count() : 0;
        selected = browser.selected ? browser.selected() : -1;
    } else if (current_) {
        n = current_->count();
        selected = current_->selected();
    }
    applyListButtons(buttons, listButtons(n, selected),
                     browserMode_ ? ButtonTarget::Browser
                     : current_   ? ButtonTarget::List
                                  : ButtonTarget::None);
    for (QAction* a : mnuToList) a->setEnabled(n >= 1);
    mnuPlaySpec->setEnabled(n >= 1 || isConversionArea(area_));
    if (area_ == Area::JoinList) {
        qint64 bytes = 0;
        for (const QString& p : joinList_->model().items()) bytes += QFileInfo(p).size();
        lblNote->setText(QStringLiteral("合併清單目前所有項目的總檔案大小是：") +
                         QString::number((bytes + 1023) / 1024) + QStringLiteral(" KB"));
    }
}

void frmList::showPopup(const QPoint& globalPos) { popup->popup(globalPos); }

void frmList::showOn(Area a) {
    switchTo(a);
    show();
    raise();
    activateWindow();
}

void frmList::showTab(int tab) {
    const int strip = stripIndexOfAreaTab(tab);
    if (strip < 0) return;
    changeToTab(tab, tabs_[size_t(strip)].current);
    show();
    raise();
    activateWindow();
}

void frmList::showPlayLists() { showOn(lists_.shownLast == 1 ? Area::PlayList2 : Area::PlayList1); }
void frmList::showMarksList() { showOn(Area::MarksList); }
void frmList::showFileList() { showOn(Area::FileBrowser); }

void frmList::closeEvent(QCloseEvent* e) {
    if (closing_) {
        e->accept();
        return;
    }
    e->ignore();
    hide();
    if (host.enableItemButtons) host.enableItemButtons(true);
}

void frmList::keyPressEvent(QKeyEvent* e) {
    switch (e->key()) {
        case Qt::Key_F1:
            showPlayLists();
            return;
        case Qt::Key_F2:
            host.goToMarks ? host.goToMarks() : showMarksList();
            return;
        case Qt::Key_F3:
            host.goToFiles ? host.goToFiles() : showFileList();
            return;
        default:
            QWidget::keyPressEvent(e);
    }
}

}  // namespace lists
