#pragma once
// What the list buttons do to the current list: adding files and list files, removing,
// moving, reordering and saving. Each takes the window for its current list, host and menus.
#include <QString>
#include <QStringList>

namespace lists {

class frmList;
class ShownList;

// Adds files taken from the last to the first, inserted after the selection unless the
// always-to-end flag is on; one refresh at the end.
void addFiles(frmList& w, const QStringList& files);
// The items of a play list file (list_formats.h), added like files; a notice when it holds
// none. False when the name is not a play list file.
bool importListFile(frmList& w, const QString& path);
// Writes the current list to path: an .m3u8 (or .m3u) for other players, else a .plt.
bool saveListFile(frmList& w, const QString& path);

void mbAdd_Click(frmList& w, int index);
void mbDel_Click(frmList& w, int index);
void mbMove_Click(frmList& w, int index);
void mbSortItem_Click(frmList& w);
void mbRndItem_Click(frmList& w);
void mbRevItem_Click(frmList& w);
void mbSave_Click(frmList& w, int index);

// The lines the whole list is saved with: stored item texts (with marks) of a play list,
// paths of the join list.
QStringList listFileLines(const ShownList& list);

}  // namespace lists
