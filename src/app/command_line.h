#pragma once
// The command line of Lumba.FLV: one optional path or address, taken whole.
#include <QString>
#include <QStringList>

namespace app {

// The arguments after the program name joined by blanks; a relative path that names an
// existing file is made absolute against workingFolder (the running instance that may
// receive it has a working folder of its own).
QString commandText(const QStringList& arguments, const QString& workingFolder);

}  // namespace app
