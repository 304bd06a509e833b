#include "app/app_shell.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QDialog>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QMenu>
#include <QMimeData>
#include <QScreen>
#include <QTimer>
#include <QUrl>
#include <cstdio>

#include "app/aux_commands.h"
#include "app/window_place.h"
#include "common/comm_dialog.h"
#include "common/globals.h"
#include "common/media_kinds.h"
#include "common/paths.h"
#include "common/prompts.h"
#include "media/video_surface.h"
#include "player/frm_main.h"
#include "player/playback_controller.h"
#include "tools/deployment.h"

namespace app {

namespace {

const QString kNotice = QStringLiteral("注意事項");
const QString kError = QStringLiteral("錯誤訊息");
const QString kCrLf = QStringLiteral("\r\n");

bool isNormalState(const QWidget& w) {
    return !(w.windowState() & (Qt::WindowMinimized | Qt::WindowMaximized | Qt::WindowFullScreen));
}

}  // namespace

AppShell::AppShell(frmMain& window, SettingsStore& store, QObject* parent)
    : QObject(parent), w_(window), store_(store) {
    installAppHost(this);
    w_.installEventFilter(this);
    w_.setAcceptDrops(true);
    tmrStart_ = new QTimer(this);
    tmrStart_->setSingleShot(true);
    tmrStart_->setInterval(200);
    connect(tmrStart_, &QTimer::timeout, this, [this] {
        tmrStart_->stop();
        if (QAction* list = findAction(QStringLiteral("mnuList"))) list->trigger();
    });
    wireMenus();
}

AppShell::~AppShell() { installAppHost(nullptr); }

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
    loadSettings();
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
    trackNormalRect();
    if (!commandText.isEmpty()) w_.playSingle(commandText);
    prompts::beforeNextPrompt({});
    unload();
    // A termination signal may have come in while a message box was up.
    if (closing_) return;

    if (QFile::exists(ProgramFolder + QString::fromLatin1(kHelpFile)) && !store_.settingsExisted())
        mnuHelp();
    const QAction* startList = findAction(QStringLiteral("mnuStartList"));
    if (startList && startList->isChecked()) tmrStart_->start();
}

void AppShell::loadSettings() {
    SettingsEnvironment env = diskEnvironment();
    env.fixDriveLetter = [](const QString& p) { return fixDriveLetter(p); };
    store_.load(env);
    applySettings();
}

void AppShell::applySettings() {
    const SettingsValues& v = store_.values;
    const QScreen* screen = QGuiApplication::primaryScreen();
    const QSize screenSize = screen ? screen->geometry().size() : QSize(1024, 768);
    const QRect place = mainWindowPlace(v.mainRectTwips, screenSize);
    w_.move(place.topLeft());
    w_.resize(place.size());
    placedRect_ = QRect(w_.pos(), w_.size());
    normalRect_ = placedRect_;
    listPlace_ = listWindowPlace(v.listWindow.rectTwips, w_.pos());

    w_.setKeepWH(v.keepWH);
    w_.setKeepDef(v.keepDef);
    w_.mnuFB_Click(v.stepMode);
    for (int m = 0; m < 3; ++m) w_.setStepValue(m, v.stepValues[size_t(m)]);
    w_.refreshStepHints();

    auto check = [this](const QString& name, bool on) {
        if (QAction* a = findAction(name)) a->setChecked(on);
    };
    for (int i = 0; i < 4; ++i)
        check(QStringLiteral("mnuPlaySetting_%1").arg(i), i == v.playSetting);
    for (int i = 0; i < 3; ++i) check(QStringLiteral("mnuLineFmt_%1").arg(i), i == v.lineFmt);
    check(QStringLiteral("mnuToListEnd"), v.toListEnd);
    check(QStringLiteral("mnuStartList"), v.startList);
    check(QStringLiteral("mnuAutoAddMark"), v.autoAddMark);
}

// Reads the current state back into the values; what has no window yet stays as loaded.
void AppShell::collectSettings() {
    SettingsValues& v = store_.values;
    if (isNormalState(w_) && w_.isVisible()) normalRect_ = QRect(w_.pos(), w_.size());
    v.mainRectTwips = mainRectToSave(normalRect_, v.mainRectTwips, placedRect_);
    v.listWindow.rectTwips = listRectToSave(listPlace_, v.listWindow.rectTwips, listPlace_);

    v.keepWH = w_.keepWH();
    v.keepDef = w_.keepDef();
    v.stepMode = w_.stepMode();
    for (int m = 0; m < 3; ++m) v.stepValues[size_t(m)] = w_.stepValue(m);

    auto checked = [this](const QString& name, bool fallback) {
        const QAction* a = findAction(name);
        return a ? a->isChecked() : fallback;
    };
    for (int i = 0; i < 4; ++i)
        if (checked(QStringLiteral("mnuPlaySetting_%1").arg(i), false)) v.playSetting = i;
    for (int i = 0; i < 3; ++i)
        if (checked(QStringLiteral("mnuLineFmt_%1").arg(i), false)) v.lineFmt = i;
    v.toListEnd = checked(QStringLiteral("mnuToListEnd"), v.toListEnd);
    v.startList = checked(QStringLiteral("mnuStartList"), v.startList);
    v.autoAddMark = checked(QStringLiteral("mnuAutoAddMark"), v.autoAddMark);
}

// ---- the link, drops ------------------------------------------------------------------

void AppShell::linkExecute(const QString& commandText) {
    if (closing_) return;
    if (w_.isMinimized()) w_.showNormal();
    w_.show();
    w_.raise();
    w_.activateWindow();
    if (!commandText.isEmpty()) w_.playSingle(commandText);
}

void AppShell::dropped(const QMimeData& data) {
    if (closing_) return;
    const QList<QUrl> urls = data.urls();
    if (!urls.isEmpty() && urls.first().isLocalFile()) {
        const QString path = fixDriveLetter(urls.first().toLocalFile());
        if (QFileInfo::exists(path)) w_.playSingle(path);
    } else if (data.hasText()) {
        w_.playSingle(data.text());
    } else if (!urls.isEmpty()) {
        w_.playSingle(urls.first().toString());
    }
    if (w_.ui().video) w_.ui().video->setFocus();
}

// ---- menus ----------------------------------------------------------------------------

QAction* AppShell::findAction(const QString& name) const { return w_.findChild<QAction*>(name); }

QAction* AppShell::ensureAction(const char* menu, const char* name, const QString& caption,
                                bool checkable) {
    if (QAction* a = findAction(QString::fromLatin1(name))) return a;
    QMenu* m = w_.findChild<QMenu*>(QString::fromLatin1(menu));
    QAction* a = m ? m->addAction(caption) : new QAction(caption, &w_);
    if (!m) w_.addAction(a);
    a->setObjectName(QString::fromLatin1(name));
    a->setCheckable(checkable);
    return a;
}

void AppShell::wireMenus() {
    auto on = [this](QAction* a, auto fn) { connect(a, &QAction::triggered, this, fn); };

    QMenu* file = w_.findChild<QMenu*>(QStringLiteral("mnuFile"));
    if (file && !findAction(QStringLiteral("mnuSaveNow"))) file->addSeparator();
    on(ensureAction("mnuFile", "mnuSaveNow", QStringLiteral("立即儲存設定")),
       [this] { mnuSaveNow(); });
    on(ensureAction("mnuFile", "mnuEnd_0", QStringLiteral("結束 ( 儲存設定 )")),
       [this] { mnuEnd(0); });
    on(ensureAction("mnuFile", "mnuEnd_1", QStringLiteral("結束 ( 不儲存設定 )")),
       [this] { mnuEnd(1); });
    ensureAction("mnuListMenu", "mnuStartList", QStringLiteral("啟動時開啟播放清單"), true);

    on(ensureAction("mnuFile", "mnuOpenApp", QStringLiteral("開啟安裝目錄")), [] { mnuOpenApp(); });
    if (w_.ui().mnuExplorer) on(w_.ui().mnuExplorer, [] { mnuExplorer(); });

    const char* help = "mnuHelpMenu";
    on(ensureAction(help, "mnuHelp", QStringLiteral("說明主題")), [] { mnuHelp(); });
    on(ensureAction(help, "munCodec", QStringLiteral("無法播放 FLV？")), [] { munCodec(); });
    connect(&w_, &frmMain::codecHelpRequested, this, [] { munCodec(); });
    on(ensureAction(help, "mnuUpdate", QStringLiteral("查看最新版本")), [] { mnuUpdate(); });
    on(ensureAction(help, "mnuLearn", QStringLiteral("本軟體的教學")), [] { mnuLearn(); });
    on(ensureAction(help, "mnuDiscuss", QStringLiteral("作者的部落格")), [] { mnuDiscuss(); });
    QMenu* helpMenu = w_.findChild<QMenu*>(QString::fromLatin1(help));
    QMenu* addOns = w_.findChild<QMenu*>(QStringLiteral("mnuDownload"));
    if (!addOns && helpMenu) {
        addOns = helpMenu->addMenu(QStringLiteral("下載附加元件"));
        addOns->setObjectName(QStringLiteral("mnuDownload"));
    }
    on(ensureAction("mnuDownload", "mnuDlPlus",
                    QStringLiteral("K-Lite Mega Codec Pack ( 播放非 Windows Media Files "
                                   "與特殊格式所需 )")),
       [] { mnuDlPlus(); });
    on(ensureAction("mnuDownload", "mnuFLVGet", QStringLiteral("擷取網頁 FLV")),
       [] { mnuFLVGet(); });
    QMenu* family = w_.findChild<QMenu*>(QStringLiteral("mnuDlFamily"));
    if (!family && helpMenu) {
        family = helpMenu->addMenu(QStringLiteral("下載家族軟體"));
        family->setObjectName(QStringLiteral("mnuDlFamily"));
    }
    const auto& links = web::familyLinks();
    for (int i = 0; i < links.size(); ++i) {
        const QByteArray name = QStringLiteral("mnuDlFamily_%1").arg(i).toLatin1();
        on(ensureAction("mnuDlFamily", name.constData(), links[i].caption),
           [i] { openFamilyLink(i); });
    }
    on(ensureAction(help, "mnuUninstall", QStringLiteral("移除本軟體")), [] { mnuUninstall(); });
    on(ensureAction(help, "mnuAbout", QStringLiteral("關於本軟體")), [this] { mnuAbout(&w_); });
}

void AppShell::mnuEnd(int index) {
    saveOnClose_ = index != 1;
    w_.close();
}

bool AppShell::mnuSaveNow() {
    w_.pausePrFn();
    if (!saveSettings()) return false;
    prompts::msgBox(QStringLiteral("已經成功儲存播放清單與其它組態設定！"), prompts::Buttons::Ok,
                    kNotice, prompts::Icon::Information);
    return true;
}

bool AppShell::saveSettings(bool quiet) {
    collectSettings();
    const auto failure = store_.save();
    if (!failure) return true;
    if (quiet) {
        std::fprintf(stderr, "Lumba.FLV: %s\n",
                     qPrintable(saveFailureText(*failure).replace(kCrLf, QStringLiteral(" "))));
    } else {
        prompts::msgBox(saveFailureText(*failure), prompts::Buttons::Ok, kError,
                        prompts::Icon::Critical);
    }
    return false;
}

// ---- shutdown -------------------------------------------------------------------------

void AppShell::terminate() {
    quiet_ = true;
    // Open message boxes and dialogs would hold the close; they end unanswered.
    for (int guard = 0; guard < 16; ++guard) {
        QWidget* modal = QApplication::activeModalWidget();
        if (!modal) break;
        if (auto* dialog = qobject_cast<QDialog*>(modal))
            dialog->reject();
        else
            modal->close();
    }
    if (!closing_) w_.close();
    QCoreApplication::exit(0);
}

bool AppShell::shutdown() {
    if (isNormalState(w_) && w_.isVisible()) normalRect_ = QRect(w_.pos(), w_.size());
    if (!quiet_ && w_.playback().marks().checkDealRng()) {
        w_.pausePrFn();
        const auto answer =
            prompts::msgBox(QStringLiteral("你選擇了結束與離開本軟體") + kCrLf +
                                QStringLiteral("但是你目前處於標記編輯的狀態") + kCrLf + kCrLf +
                                QStringLiteral("按「是」則結束與離開本軟體") + kCrLf +
                                QStringLiteral("按「否」則繼續使用本軟體"),
                            prompts::Buttons::YesNo, kNotice, prompts::Icon::Question);
        if (answer != prompts::Answer::Yes) {
            saveOnClose_ = true;
            return false;
        }
    }
    closing_ = true;
    w_.setClosing(true);
    tmrStart_->stop();
    w_.media().closeMCI();
    w_.media().closeMCI(QStringLiteral("Lumba.FLV_forCapture"));
    tools::dealMyResource(QStringLiteral("All"), false);
    if (saveOnClose_) saveSettings(quiet_);
    return true;
}

void AppShell::trackNormalRect() {
    if (isNormalState(w_) && w_.isVisible()) normalRect_ = QRect(w_.pos(), w_.size());
}

bool AppShell::eventFilter(QObject* watched, QEvent* event) {
    if (watched != &w_) return QObject::eventFilter(watched, event);
    switch (event->type()) {
        case QEvent::Move:
        case QEvent::Resize:
            if (!loading_) trackNormalRect();
            break;
        case QEvent::Close:
            if (closing_) break;
            if (!shutdown()) {
                event->ignore();
                return true;
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

void AppShell::closeRunFn(const QString& path) { w_.closeRunFn(path); }

QString AppShell::saveFolderBox() { return store_.values.listWindow.saveFolder; }

void AppShell::clearSaveFolderBox() { store_.values.listWindow.saveFolder.clear(); }

QString AppShell::playingFile() { return w_.media().FileName(); }

}  // namespace app
