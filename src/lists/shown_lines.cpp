#include "lists/shown_lines.h"

#include <QListWidget>

namespace lists {

namespace {

bool holdsLines(const QListWidget& list, const QStringList& lines) {
    if (list.count() != lines.size()) return false;
    for (int i = 0; i < list.count(); ++i)
        if (list.item(i)->text() != lines[i]) return false;
    return true;
}

}  // namespace

void showLines(QListWidget& list, const QStringList& lines, int selected) {
    if (!holdsLines(list, lines)) {
        list.clear();
        list.addItems(lines);
    }
    list.setCurrentRow(selected);
    if (selected < 0) list.clearSelection();
}

}  // namespace lists
