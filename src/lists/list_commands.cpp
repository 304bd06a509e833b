#include "lists/list_commands.h"

#include <QFile>

#include "common/comm_dialog.h"
#include "common/globals.h"
#include "common/media_kinds.h"
#include "common/paths.h"
#include "common/prompts.h"
#include "common/text_file.h"
#include "common/texts.h"
#include "lists/frm_list.h"
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
    for (auto it = files.crbegin(); it != files.crend(); ++it)
        w.addToList(*it, !w.toListEnd(), false);
    changed(w, *list);
}

bool importListFile(frmList& w, const QString& path) {
    if (!isListFile(path) || !w.currentList()) return false;
    // A file that cannot be read to its end still gives the lines read before.
    const TextReadResult read = readTextFile(path);
    for (const QString& line : listFileItems(read.lines)) w.addToList(line, !w.toListEnd(), false);
    changed(w, *w.currentList());
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
        cd.setFilter(QStringLiteral("支援的清單檔 (*.plt;*.pls;*.m3u;*.asx)|") +
                     (w.host.listPatterns ? w.host.listPatterns() : QString()));
        cd.setFilterIndex(1);
        cd.FileName.clear();
        const QString path = cd.ShowOpen(false, false);
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
    if (!w.host.saveFile) return;
    if (index == 0) {
        const QString path = w.browserMode()
                                 ? (w.browser.selectedPath ? w.browser.selectedPath() : QString())
                             : w.currentList() ? w.currentList()->itemPath()
                                               : QString();
        if (!path.isEmpty()) w.host.saveFile(path, &w);
        return;
    }
    ShownList* list = w.currentList();
    if (!list) return;
    const QString temp = TempFolder + QStringLiteral("~tmpS.plt");
    if (writeTextLines(temp, listFileLines(*list)).ok) w.host.saveFile(temp, &w);
    QFile::remove(temp);
}

}  // namespace lists
