#include "lists/play_list.h"

#include <algorithm>

namespace lists {

QString PlayList::item(int index) const {
    if (index < 0 || index >= count()) return {};
    return items_.at(index);
}

void PlayList::select(int index) { selected_ = (index >= 0 && index < count()) ? index : -1; }

void PlayList::append(const QString& itemText) { items_.append(itemText); }

void PlayList::insertAfterSelection(const QString& itemText) {
    const int at = selected_ < 0 ? 0 : selected_ + 1;
    items_.insert(at, itemText);
    selected_ = at;
}

void PlayList::insertAt(int at, const QStringList& itemTexts) {
    at = std::clamp(at, 0, count());
    QStringList items = items_.mid(0, at);
    items.reserve(count() + itemTexts.size());
    items << itemTexts << items_.mid(at);
    items_ = std::move(items);
}

void PlayList::removeAt(int index) {
    if (index < 0 || index >= count()) return;
    items_.removeAt(index);
    if (selected_ >= count()) selected_ = count() - 1;
}

void PlayList::clear() {
    items_.clear();
    selected_ = -1;
}

void PlayList::setItems(const QStringList& items, int selected) {
    items_ = items;
    select(selected);
}

}  // namespace lists
