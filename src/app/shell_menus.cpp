#include "app/shell_menus.h"

#include <QAction>
#include <QMenu>

#include "app/aux_commands.h"
#include "player/frm_main.h"
#include "player/media_opener.h"

namespace app {

namespace {

QAction* addItem(QMenu* menu, const char* name, const QString& caption) {
    QAction* a = menu->addAction(caption);
    a->setObjectName(QString::fromLatin1(name));
    return a;
}

QMenu* addSubMenu(QMenu* menu, const char* name, const QString& caption) {
    QMenu* sub = menu->addMenu(caption);
    sub->setObjectName(QString::fromLatin1(name));
    return sub;
}

template <typename Fn>
void onTriggered(QAction* a, QObject* context, Fn fn) {
    QObject::connect(a, &QAction::triggered, context, fn);
}

}  // namespace

ShellMenus::ShellMenus(frmMain& window, QObject* parent) : QObject(parent) {
    QMenu* file = &window.menu(player::MenuSlot::File);
    QMenu* list = &window.menu(player::MenuSlot::List);
    file->addSeparator();
    mnuSaveNow = addItem(file, "mnuSaveNow", QStringLiteral("立即儲存設定"));
    onTriggered(mnuSaveNow, this, [this] { emit saveNowRequested(); });
    mnuEnd[kEndSaving] = addItem(file, "mnuEnd_0", QStringLiteral("結束 ( 儲存設定 )"));
    onTriggered(mnuEnd[kEndSaving], this, [this] { emit endRequested(kEndSaving); });
    mnuEnd[kEndWithoutSaving] = addItem(file, "mnuEnd_1", QStringLiteral("結束 ( 不儲存設定 )"));
    onTriggered(mnuEnd[kEndWithoutSaving], this, [this] { emit endRequested(kEndWithoutSaving); });
    mnuStartList = addItem(list, "mnuStartList", QStringLiteral("啟動時開啟播放清單"));
    mnuStartList->setCheckable(true);

    onTriggered(addItem(file, "mnuOpenApp", QStringLiteral("開啟安裝目錄")), this,
                [] { mnuOpenApp(); });
    onTriggered(&window.item(player::ItemSlot::Explorer), this, [] { mnuExplorer(); });
    addHelpItems(window, &window.menu(player::MenuSlot::Help));
}

void ShellMenus::addHelpItems(frmMain& window, QMenu* help) {
    onTriggered(addItem(help, "mnuHelp", QStringLiteral("說明主題")), this, [] { mnuHelp(); });
    onTriggered(addItem(help, "munCodec", QStringLiteral("無法播放 FLV？")), this,
                [] { munCodec(); });
    connect(&window.opener(), &player::MediaOpener::codecHelpRequested, this, [] { munCodec(); });
    onTriggered(addItem(help, "mnuUpdate", QStringLiteral("查看最新版本")), this,
                [] { mnuUpdate(); });
    onTriggered(addItem(help, "mnuLearn", QStringLiteral("本軟體的教學")), this,
                [] { mnuLearn(); });
    onTriggered(addItem(help, "mnuDiscuss", QStringLiteral("作者的部落格")), this,
                [] { mnuDiscuss(); });

    QMenu* addOns = addSubMenu(help, "mnuDownload", QStringLiteral("下載附加元件"));
    onTriggered(addItem(addOns, "mnuDlPlus",
                        QStringLiteral("K-Lite Mega Codec Pack ( 播放非 Windows Media Files "
                                       "與特殊格式所需 )")),
                this, [] { mnuDlPlus(); });
    onTriggered(addItem(addOns, "mnuFLVGet", QStringLiteral("擷取網頁 FLV")), this,
                [] { mnuFLVGet(); });

    QMenu* family = addSubMenu(help, "mnuDlFamily", QStringLiteral("下載家族軟體"));
    const auto& links = web::familyLinks();
    for (int i = 0; i < links.size(); ++i) {
        QAction* a = family->addAction(links[i].caption);
        a->setObjectName(QStringLiteral("mnuDlFamily_%1").arg(i));
        onTriggered(a, this, [i] { openFamilyLink(i); });
    }

    onTriggered(addItem(help, "mnuUninstall", QStringLiteral("移除本軟體")), this,
                [] { mnuUninstall(); });
    onTriggered(addItem(help, "mnuAbout", QStringLiteral("關於本軟體")), this,
                [&window] { mnuAbout(&window); });
}

}  // namespace app
