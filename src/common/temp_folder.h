#pragma once
// The private temporary folder as the player uses it: the shared rule of
// tempfolder/private_folder.h with Qt's strings. Tool files with fixed names are written there
// and executed, so a folder another local user can write to or replace would let them plant
// a program.
#include <QByteArray>
#include <QString>

// The private folder of this process's environment, created when missing, with a trailing
// "/"; "" when its base folder does not exist or the folder is not safely the user's own.
QString privateTempFolder();

// The same with the two environment values given (empty: unset).
QString privateTempFolderFrom(const QByteArray& xdgRuntimeDir, const QByteArray& tmpDir);
