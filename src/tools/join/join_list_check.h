#pragma once
// The join list's test before anything runs: one editable type, every file there.
#include <QString>
#include <QStringList>
#include <optional>

namespace join {

// The first item that is refused (0-based): its lower-case extension differs from the item
// before it, it is not an editable media file, or it does not exist. An empty list is
// refused as a whole (index nullopt with refused true).
struct ListCheck {
    bool refused = false;
    std::optional<int> item;  // the item to select
};
ListCheck checkJoinList(const QStringList& paths);

// The notice of a refused list.
QString refusedListText();

// The extension shared by the items, lower case.
QString joinExtension(const QStringList& paths);

}  // namespace join
