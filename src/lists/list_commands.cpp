#include "lists/list_commands.h"

#include <QDir>
#include <QFileInfo>

#include "common/comm_dialog.h"
#include "common/paths.h"
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
// Runs a list-file dialog from the folder lists were last used in, leaving the dialogs'
// own start folder as it was.
QString listDialog(frmList& w, bool save) {
    CommDialog& cd = commDialog();
    const QString initDir = cd.InitDir;
    cd.InitDir = w.listFolder.isEmpty() ? addSlash(QDir::homePath()) : w.listFolder;
    const QString path = save ? cd.ShowSave() : cd.ShowOpen(false, false);
    cd.InitDir = initDir;
    if (!path.isEmpty()) w.listFolder = addSlash(QFileInfo(path).absolutePath());
    return path;
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
    const QString ext = QFileInfo(path).suffix().toLower();
    const bool m3u = ext == QLatin1String("m3u8") || ext == QLatin1String("m3u");
    const QStringList lines = listFileLines(*list);
    const TextWriteResult written = writeTextLines(path, m3u ? m3u8Lines(lines) : lines);
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
    CommDialog& cd = commDialog();
    cd.hwndOwner = &w;
    if (index == 0) {
        cd.setFilter(w.host.openFilter ? w.host.openFilter() : QStringLiteral("所有檔案|*.*"));
        cd.setFilterIndex(1);
        cd.FileName.clear();
        if (cd.ShowOpen(false, true).isEmpty()) return;
        QStringList files = cd.FileArray();
        if (files.isEmpty() && !cd.FileName.isEmpty()) files << cd.FileName;
        addFiles(w, files);
    } else {
        cd.setFilter(QStringLiteral("支援的清單檔 (*.plt;*.pls;*.m3u;*.m3u8;*.asx;*.xspf)|") +
                     (w.host.listPatterns ? w.host.listPatterns() : QString()));
        cd.setFilterIndex(1);
        cd.FileName.clear();
        const QString path = listDialog(w, false);
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
    CommDialog& cd = commDialog();
    cd.hwndOwner = &w;
    cd.setFilter(QStringLiteral("預設清單檔(*.plt)|*.plt|M3U8 清單檔(*.m3u8)|*.m3u8"));
    cd.setFilterIndex(1);
    cd.DefaultExt = QStringLiteral("plt");
    cd.FileName = listName(w, *list) + QStringLiteral(".plt");
    const QString path = listDialog(w, true);
    if (!path.isEmpty() && saveListFile(w, path) && w.host.listSaved) w.host.listSaved(path);
}

}  // namespace lists
