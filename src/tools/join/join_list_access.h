#pragma once
// What the join tool needs of the join list (lstMn2, which the list window owns); the
// application connects it.
#include <QStringList>
#include <functional>

namespace join {

struct JoinListAccess {
    std::function<QStringList()> paths;  // the items in list order (the order of joining)
    std::function<void(int)> select;     // selects item i (0-based)
};

}  // namespace join
