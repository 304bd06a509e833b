#include "app/app_shell.h"

#include <QAction>
#include <QCloseEvent>
#include <QFile>
#include <QFileInfo>
#include <QMimeData>
#include <QTimer>
#include <QUrl>

#include "app/aux_commands.h"
#include "common/dialog_folders.h"
#include "common/globals.h"
#include "common/media_kinds.h"
#include "common/paths.h"
#include "common/prompts.h"
#include "common/texts.h"
#include "lists/file_browser.h"
#include "lists/frm_list.h"
#include "media/video_surface.h"
#include "player/frm_main.h"
#include "player/media_opener.h"
#include "player/playback_controller.h"
#include "tools/deployment.h"

namespace app {

AppShell::AppShell(frmMain& window, SettingsStore& store, QObject* parent)
    : QObject(parent),
      w_(window),
      store_(store),
      menus_(window),
      settings_(window, menus_, store),
      shutdown_(window, settings_, [this] {
          tmrStart_->stop();
          emit closingBegun();
      }) {
    installAppHost(this);
    w_.installEventFilter(this);
    w_.setAcceptDrops(true);
    tmrStart_ = new QTimer(this);
    tmrStart_->setSingleShot(true);
    tmrStart_->setInterval(200);
    connect(tmrStart_, &QTimer::timeout, this, [this] {
        tmrStart_->stop();
        w_.item(player::ItemSlot::PlayLists).trigger();
    });
    connect(&menus_, &ShellMenus::saveNowRequested, this, [this] { mnuSaveNow(); });
    connect(&menus_, &ShellMenus::endRequested, this, [this](int index) { mnuEnd(index); });
}

AppShell::~AppShell() { installAppHost(nullptr); }

void AppShell::setListWindow(lists::frmList* list) {
    list_ = list;
    settings_.setListWindow(list);
}

// ---- start-up -------------------------------------------------------------------------

void AppShell::startUp(const QStringList& paths, const std::function<void()>& unloadSplash) {
    // No box may open underneath the splash: the first prompt of the start-up unloads it
    // early, otherwise it goes once the command-line path is playing.
    bool splashGone = !unloadSplash;
    const auto unload = [&splashGone, &unloadSplash] {
        if (splashGone) return;
        splashGone = true;
        unloadSplash();
    };
    prompts::beforeNextPrompt(unload);

    // Left-overs of an earlier run: the media aliases and the written tool files.
    w_.media().closeMCI(QStringLiteral("Lumba.FLV"));
    w_.media().closeMCI(QStringLiteral("Lumba.FLV_forCapture"));
    tools::removeResources(tools::Deployed::All);

    MoreFormats = isMoreFormatsOn() ? kMoreFormatsList : QString();

    loading_ = true;
    settings_.load();
    loading_ = false;

    w_.buildFilters();

    dialogFolders().media = store_.values.listWindow.saveFolder;
    prompts::setOwner(&w_);

    w_.show();
    settings_.trackNormalRect();
    // Files handed over before this point came later than the command line's: they open
    // after it. From here on they open as they come, even while a box of this open waits.
    startedUp_ = true;
    open(paths);
    openHandedOver();
    prompts::beforeNextPrompt({});
    unload();
    // A termination signal may have come in while a message box was up.
    if (closing()) return;

    if (QFile::exists(ProgramFolder + QString::fromLatin1(kHelpFile)) && !store_.settingsExisted())
        mnuHelp();
    if (menus_.mnuStartList->isChecked()) tmrStart_->start();
}

// ---- the link, drops ------------------------------------------------------------------

void AppShell::open(const QStringList& paths) {
    if (paths.size() > 1 && playFiles)
        playFiles(paths);
    else if (!paths.isEmpty() && !paths.first().isEmpty())
        w_.opener().playSingle(paths.first(), player::PlayRequest::User);
}

void AppShell::linkExecute(const QStringList& paths) {
    handedOver_.append(paths);
    openHandedOver();
}

void AppShell::openHandedOver() {
    // Opening a hand-over runs nested event loops: one that arrives inside it opens after
    // it, so the last file handed over is the one that plays.
    if (!startedUp_ || openingHandedOver_) return;
    openingHandedOver_ = true;
    while (!handedOver_.isEmpty() && !closing()) {
        const QStringList paths = handedOver_.takeFirst();
        if (w_.isMinimized()) w_.showNormal();
        w_.show();
        w_.raise();
        w_.activateWindow();
        open(paths);
    }
    handedOver_.clear();
    openingHandedOver_ = false;
}

void AppShell::dropped(const QMimeData& data) {
    if (closing()) return;
    player::MediaOpener& opener = w_.opener();
    const QList<QUrl> urls = data.urls();
    if (!urls.isEmpty() && urls.first().isLocalFile()) {
        // Several files: the first plays and all of them are listed, as from a command line.
        QStringList paths;
        for (const QUrl& url : urls) {
            const QString path = url.isLocalFile() ? fixDriveLetter(url.toLocalFile()) : QString();
            if (!path.isEmpty() && QFileInfo::exists(path)) paths << path;
        }
        open(paths);
    } else if (data.hasText()) {
        opener.playSingle(data.text(), player::PlayRequest::User);
    } else if (!urls.isEmpty()) {
        opener.playSingle(urls.first().toString(), player::PlayRequest::User);
    }
    w_.focusVideo();
}

bool AppShell::mnuSaveNow() {
    w_.playback().pausePrFn();
    if (!saveSettings()) return false;
    prompts::msgBox(QStringLiteral("已經成功儲存播放清單與其它組態設定！"), prompts::Buttons::Ok,
                    texts::kNoticeTitle, prompts::Icon::Information);
    return true;
}

bool AppShell::eventFilter(QObject* watched, QEvent* event) {
    if (watched != &w_) return QObject::eventFilter(watched, event);
    switch (event->type()) {
        case QEvent::Move:
        case QEvent::Resize:
            if (!loading_) settings_.trackNormalRect();
            break;
        case QEvent::Close:
            if (closing()) break;
            if (!shutdown_.run()) {
                event->ignore();
                return true;
            }
            // The settings are saved: the list window goes with the main window.
            if (list_) {
                list_->setClosing(true);
                list_->close();
            }
            break;
        case QEvent::DragEnter: {
            auto* e = static_cast<QDragEnterEvent*>(event);
            if (e->mimeData()->hasUrls() || e->mimeData()->hasText()) e->acceptProposedAction();
            return true;
        }
        case QEvent::DragMove:
            static_cast<QDragMoveEvent*>(event)->acceptProposedAction();
            return true;
        case QEvent::Drop: {
            auto* e = static_cast<QDropEvent*>(event);
            dropped(*e->mimeData());
            e->acceptProposedAction();
            return true;
        }
        default:
            break;
    }
    return QObject::eventFilter(watched, event);
}

// ---- AppHost --------------------------------------------------------------------------

void AppShell::closeRunFn(const QString& path) { w_.opener().closeRunFn(path); }

namespace {
lists::FileBrowser* browserOf(lists::frmList* list) {
    return list ? qobject_cast<lists::FileBrowser*>(list->areaWidget(lists::Area::FileBrowser))
                : nullptr;
}
}  // namespace

QString AppShell::saveFolderBox() {
    if (lists::FileBrowser* b = browserOf(list_)) return b->saveFolder();
    return store_.values.listWindow.saveFolder;
}

void AppShell::clearSaveFolderBox() {
    if (lists::FileBrowser* b = browserOf(list_)) b->clearSaveFolder();
    store_.values.listWindow.saveFolder.clear();
}

QString AppShell::playingFile() { return w_.media().FileName(); }

}  // namespace app
