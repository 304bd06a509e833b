#include "lists/shown_list.h"

#include <QSignalBlocker>

#include "items/item_text.h"
#include "items/line_format.h"
#include "lists/list_box.h"
#include "lists/list_ops.h"

namespace lists {

ShownList::ShownList(PlayList& model, ListBox& box, ListKind kind)
    : model_(model), box_(box), kind_(kind) {
    QObject::connect(&box_, &QListWidget::currentRowChanged, &box_, [this](int row) {
        if (!updating_) model_.select(row);
    });
    box_.toolTipFor = [this](int row) { return itemToolTip(itemPath(row)); };
    redraw();
}

QString ShownList::shownLine(const QString& itemText) const {
    if (kind_ == ListKind::JoinList) return itemText;
    return mdlLineFormat::itemDisplayLine(itemText).line;
}

void ShownList::syncSelectionToBox() {
    updating_ = true;
    box_.setCurrentRow(model_.selected());
    if (model_.selected() < 0) box_.clearSelection();
    updating_ = false;
}

void ShownList::select(int index) {
    model_.select(index);
    syncSelectionToBox();
}

QString ShownList::itemText(int index) const {
    return model_.item(index < 0 ? model_.selected() : index);
}

QString ShownList::itemPath(int index) const { return items::splitItemText(itemText(index)).path; }

QString ShownList::storedText(const QString& text) const {
    if (text.isEmpty()) return {};
    const items::ItemParts parts = items::splitItemText(text);
    return kind_ == ListKind::PlayList ? items::joinItemText(parts.path, parts.marks) : parts.path;
}

void ShownList::add(const QString& text, bool insertAfterSelection) {
    add(QStringList{text}, insertAfterSelection);
}

void ShownList::add(const QStringList& texts, bool insertAfterSelection) {
    QStringList stored, lines;
    stored.reserve(texts.size());
    lines.reserve(texts.size());
    for (const QString& t : texts) {
        const QString s = storedText(t);
        if (s.isEmpty()) continue;
        stored << s;
        lines << shownLine(s);
    }
    if (stored.isEmpty()) return;
    // After the selection (the front when nothing is selected), or at the end.
    const int at = insertAfterSelection ? model_.selected() + 1 : model_.count();
    model_.insertAt(at, stored);
    model_.select(at + int(stored.size()) - 1);
    updating_ = true;
    box_.insertItems(at, lines);
    updating_ = false;
    syncSelectionToBox();
}

void ShownList::refresh() {
    mdlLineFormat::setListExtent(box_, kind_ == ListKind::PlayList);
    if (model_.selected() >= 0)
        box_.scrollToItem(box_.item(model_.selected()), QAbstractItemView::PositionAtTop);
}

void ShownList::removeSelected() {
    int i = model_.selected();
    if (i < 0 || i >= model_.count()) return;
    model_.removeAt(i);
    updating_ = true;
    delete box_.takeItem(i);
    updating_ = false;
    if (i > model_.count() - 1) i = model_.count() - 1;
    select(i);
}

void ShownList::clear() {
    model_.clear();
    updating_ = true;
    box_.clear();
    updating_ = false;
}

void ShownList::move(int d) {
    const int i = model_.selected();
    const int j = i + d;
    if (i < 0 || j < 0 || j >= model_.count()) return;
    QStringList items = model_.items();
    items.swapItemsAt(i, j);
    model_.setItems(items, j);
    updating_ = true;
    box_.item(i)->setText(shownLine(items.at(i)));
    box_.item(j)->setText(shownLine(items.at(j)));
    updating_ = false;
    syncSelectionToBox();
}

void ShownList::sortByShownText() {
    QStringList keys;
    keys.reserve(model_.count());
    for (int i = 0; i < model_.count(); ++i) keys.append(box_.line(i));
    const QList<int> order = caselessOrder(keys);
    QStringList sorted;
    sorted.reserve(order.size());
    for (int k : order) sorted.append(model_.item(k));
    setItems(sorted, model_.selected());
}

void ShownList::shuffle() {
    QStringList items = model_.items();
    shuffleItems(items, listRandom());
    setItems(items, model_.selected());
}

void ShownList::reverse() {
    QStringList items = model_.items();
    std::reverse(items.begin(), items.end());
    setItems(items, model_.selected());
}

void ShownList::setItems(const QStringList& items, int selected) {
    model_.setItems(items, selected);
    redraw();
}

void ShownList::redrawIfFormatChanged() {
    if (kind_ == ListKind::PlayList && box_.tag() != QString::number(mdlLineFormat::lineFormat()))
        redraw();
}

void ShownList::redraw() {
    QStringList lines;
    lines.reserve(model_.count());
    for (const QString& t : model_.items()) lines.append(shownLine(t));
    updating_ = true;
    box_.setUpdatesEnabled(false);
    box_.clear();
    box_.addItems(lines);
    box_.setUpdatesEnabled(true);
    updating_ = false;
    if (kind_ == ListKind::PlayList) box_.setTag(QString::number(mdlLineFormat::lineFormat()));
    syncSelectionToBox();
    mdlLineFormat::setListExtent(box_, kind_ == ListKind::PlayList);
}

}  // namespace lists
