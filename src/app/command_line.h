#pragma once
// The command line of Lumba.FLV: paths or addresses to open, no switches.
#include <QString>
#include <QStringList>

namespace app {

// What the command line asks to open, in order. One argument, or arguments that together name
// an existing file (a name with blanks given without quotes), is one path; otherwise each
// argument is one (a file manager's selection). A relative path that names an existing file
// is made absolute against workingFolder, as the running instance that may receive it has a
// working folder of its own; marks after "∥" are kept.
QStringList commandPaths(const QStringList& arguments, const QString& workingFolder);

}  // namespace app
