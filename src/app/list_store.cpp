#include "app/list_store.h"

#include "app/value_text.h"
#include "items/item_text.h"

namespace app {

namespace {

const QString kListWord = QStringLiteral("清單編號");

bool storable(const QString& item) {
    return !item.contains(QLatin1Char('\n')) && !item.contains(QLatin1Char('\r'));
}

}  // namespace

lists::PlayLists readListStore(const QStringList& lines) {
    lists::PlayLists out;
    if (lines.isEmpty()) return out;
    const auto shown = leadingWhole(lines[0], 0, lists::PlayLists::kCount - 1);
    out.shownLast = shown.value_or(0);

    qsizetype at = 1;
    while (at < lines.size()) {
        const QStringList fields = lines[at++].split(items::kItemSeparator);
        if (fields.size() < 4) break;
        const auto n = leadingWhole(fields[0], 0, lists::PlayLists::kCount - 1);
        if (!n) break;
        const double count = leadingNumber(fields[2]);
        lists::PlayList& list = out.list[size_t(*n)];
        QStringList items = list.items();
        for (double i = 0; i < count && at < lines.size(); ++i) items.append(lines[at++]);
        const int selected = leadingWhole(fields[3], -1, int(items.size()) - 1).value_or(-1);
        list.setItems(items, selected);
    }
    return out;
}

QStringList listStoreLines(const lists::PlayLists& lists) {
    QStringList out{QString::number(lists.shownLast)};
    for (int n = 0; n < lists::PlayLists::kCount; ++n) {
        const lists::PlayList& list = lists.list[size_t(n)];
        QStringList items;
        int selected = -1;
        for (int i = 0; i < list.count(); ++i) {
            if (!storable(list.item(i))) continue;
            if (i == list.selected()) selected = int(items.size());
            items.append(list.item(i));
        }
        out << QString::number(n) + items::kItemSeparator + kListWord + items::kItemSeparator +
                   QString::number(items.size()) + items::kItemSeparator +
                   QString::number(selected);
        out << items;
    }
    return out;
}

}  // namespace app
