#pragma once
// The list store "List.ini": the number of the list shown last, then one block per play
// list: a header n∥清單編號∥count∥selected followed by count item lines.
#include <QStringList>

#include "lists/play_list.h"

namespace app {

// Reads the blocks in file order, each adding to the end of its list. Reading stops at a
// header that names no list; a block cut short by the end of the file keeps what it has.
lists::PlayLists readListStore(const QStringList& lines);

// Header and items of both lists. An item holding a line break cannot be stored on one line
// and is left out, so the counts always match the lines that follow.
QStringList listStoreLines(const lists::PlayLists& lists);

}  // namespace app
