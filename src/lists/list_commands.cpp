#include "lists/list_commands.h"

#include <QFileInfo>

#include "common/dialog_folders.h"
#include "common/file_filters.h"
#include "common/prompts.h"
#include "common/text_file.h"
#include "common/texts.h"
#include "lists/areas.h"
#include "lists/frm_list.h"
#include "lists/list_formats.h"
#include "lists/list_ops.h"

namespace lists {

namespace {
void pause(frmList& w) {
    if (w.host.pausePrFn) w.host.pausePrFn();
}

void changed(frmList& w, ShownList& list) {
    list.refresh();
    w.refreshButtons();
}
}  // namespace

void addFiles(frmList& w, const QStringList& files) {
    ShownList* list = w.currentList();
    if (!list) return;
    const QStringList lastFirst(files.crbegin(), files.crend());
    w.addToList(lastFirst, !w.toListEnd(), false);
    changed(w, *list);
}

namespace {
// Runs a list-file dialog from the folder lists were last used in.
QString listDialog(prompts::FileDialog d) {
    d.initialFolder = listDialogStart();
    const prompts::FileAnswer a = prompts::current().file(d);
    if (a.paths.isEmpty()) return {};
    listFileUsed(a.paths.first());
    return a.paths.first();
}

QString listName(frmList& w, const ShownList& list) {
    if (!list.fileName.isEmpty()) return list.fileName;
    const Area a = w.currentArea();
    return pageSwitchCaptions(stripIndexOfAreaTab(areaTab(a))).value(areaPage(a));
}
}  // namespace

bool importListFile(frmList& w, const QString& path) {
    ShownList* list = w.currentList();
    if (!listFormatOf(path) || !list) return false;
    const QStringList items = readListFile(path);
    if (items.isEmpty()) {
        prompts::msgBox(QStringLiteral("清單檔 ") + QFileInfo(path).fileName() +
                            QStringLiteral(" 裡沒有可以播放的檔案或網址！"),
                        prompts::Buttons::Ok, texts::kNoticeTitle);
        return true;
    }
    if (list->count() == 0) list->fileName = QFileInfo(path).completeBaseName();
    w.addToList(items, !w.toListEnd(), false);
    changed(w, *list);
    return true;
}

bool saveListFile(frmList& w, const QString& path) {
    ShownList* list = w.currentList();
    if (!list) return false;
    const TextWriteResult written =
        writeTextLines(path, listFileContent(path, listFileLines(*list)));
    if (!written.ok) {
        prompts::msgBox(QStringLiteral("無法儲存清單檔：") + texts::kCrLf + written.error,
                        prompts::Buttons::Ok, texts::kErrorTitle, prompts::Icon::Critical);
        return false;
    }
    list->fileName = QFileInfo(path).completeBaseName();
    return true;
}

void mbAdd_Click(frmList& w, int index) {
    if (!w.currentList()) return;
    pause(w);
    prompts::FileDialog d;
    d.owner = &w;
    if (index == 0) {
        d.kind = prompts::FileDialog::OpenMany;
        d.initialFolder = mediaDialogStart();
        d.qtFilter =
            w.host.openFilter ? w.host.openFilter() : fileFilter(QStringLiteral("所有檔案"), {});
        const QStringList files = prompts::current().file(d).paths;
        if (!files.isEmpty()) addFiles(w, files);
    } else {
        d.qtFilter = listImportFilter();
        const QString path = listDialog(d);
        if (!path.isEmpty()) importListFile(w, path);
    }
}

void mbDel_Click(frmList& w, int index) {
    ShownList* list = w.currentList();
    if (!list) return;
    if (index == 0) {
        list->removeSelected();
    } else if (prompts::msgBox(QStringLiteral("確定要移除這個清單的全部項目？"),
                               prompts::Buttons::OkCancel,
                               texts::kNoticeTitle) == prompts::Answer::Ok) {
        list->clear();
    }
    changed(w, *list);
}

void mbMove_Click(frmList& w, int index) {
    if (ShownList* list = w.currentList()) {
        list->move(index == 0 ? -1 : 1);
        w.refreshButtons();
    }
}

void mbSortItem_Click(frmList& w) {
    if (ShownList* list = w.currentList()) list->sortByShownText();
}

void mbRndItem_Click(frmList& w) {
    if (ShownList* list = w.currentList()) list->shuffle();
}

void mbRevItem_Click(frmList& w) {
    if (ShownList* list = w.currentList()) list->reverse();
}

QStringList listFileLines(const ShownList& list) { return list.model().items(); }

void mbSave_Click(frmList& w, int index) {
    pause(w);
    if (index == 0) {
        if (!w.host.saveFile) return;
        const QString path = w.browserMode()
                                 ? (w.browser.selectedPath ? w.browser.selectedPath() : QString())
                             : w.currentList() ? w.currentList()->itemPath()
                                               : QString();
        if (!path.isEmpty()) w.host.saveFile(path, &w);
        return;
    }
    ShownList* list = w.currentList();
    if (!list) return;
    // Marks live only in .plt; the .m3u8 is for other players.
    prompts::FileDialog d;
    d.kind = prompts::FileDialog::Save;
    d.owner = &w;
    d.qtFilter = listSaveFilter();
    d.defaultExt = QString::fromLatin1(kOwnListExtension);
    d.fileName = listName(w, *list) + u'.' + d.defaultExt;
    const QString path = listDialog(d);
    if (!path.isEmpty() && saveListFile(w, path) && w.host.listSaved) w.host.listSaved(path);
}

}  // namespace lists
