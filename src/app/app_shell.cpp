#include "app/app_shell.h"

#include <QAction>
#include <QCloseEvent>
#include <QFile>
#include <QFileInfo>
#include <QMimeData>
#include <QTimer>
#include <QUrl>

#include "app/aux_commands.h"
#include "common/comm_dialog.h"
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
      shutdown_(window, settings_, [this] { tmrStart_->stop(); }) {
    installAppHost(this);
    w_.installEventFilter(this);
    w_.setAcceptDrops(true);
    tmrStart_ = new QTimer(this);
    tmrStart_->setSingleShot(true);
    tmrStart_->setInterval(200);
    connect(tmrStart_, &QTimer::timeout, this, [this] {
        tmrStart_->stop();
        w_.ui().mnuList->trigger();
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

void AppShell::startUp(const QString& commandText, const std::function<void()>& unloadSplash) {
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
    tools::dealMyResource(QStringLiteral("All"), false);

    MoreFormats = isMoreFormatsOn() ? kMoreFormatsList : QString();

    loading_ = true;
    settings_.load();
    loading_ = false;

    w_.buildFilters();

    CommDialog& dialog = commDialog();
    dialog.hwndOwner = &w_;
    dialog.FlagsDir = 0x64;
    dialog.FlagsOpen = 0x81004;
    dialog.FlagsSave = 6;
    dialog.InitDir = store_.values.listWindow.saveFolder;
    prompts::setOwner(&w_);

    w_.show();
    settings_.trackNormalRect();
    if (!commandText.isEmpty()) w_.opener().playSingle(commandText, 0);
    prompts::beforeNextPrompt({});
    unload();
    // A termination signal may have come in while a message box was up.
    if (closing()) return;

    if (QFile::exists(ProgramFolder + QString::fromLatin1(kHelpFile)) && !store_.settingsExisted())
        mnuHelp();
    if (menus_.mnuStartList->isChecked()) tmrStart_->start();
}

// ---- the link, drops ------------------------------------------------------------------

void AppShell::linkExecute(const QString& commandText) {
    if (closing()) return;
    if (w_.isMinimized()) w_.showNormal();
    w_.show();
    w_.raise();
    w_.activateWindow();
    if (!commandText.isEmpty()) w_.opener().playSingle(commandText, 0);
}

void AppShell::dropped(const QMimeData& data) {
    if (closing()) return;
    player::MediaOpener& opener = w_.opener();
    const QList<QUrl> urls = data.urls();
    if (!urls.isEmpty() && urls.first().isLocalFile()) {
        const QString path = fixDriveLetter(urls.first().toLocalFile());
        if (QFileInfo::exists(path)) opener.playSingle(path, 0);
    } else if (data.hasText()) {
        opener.playSingle(data.text(), 0);
    } else if (!urls.isEmpty()) {
        opener.playSingle(urls.first().toString(), 0);
    }
    if (w_.ui().video) w_.ui().video->setFocus();
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
