#pragma once
// Path helpers and the program's current folder.
#include <QString>

// Appends "/" unless the path is empty or already ends with it.
QString addSlash(const QString& path);
// Upper-cases the drive letter of a path of the form "x:/..." or "x:\..."; POSIX paths
// ("a:clip.flv" is a file name) and addresses are unchanged.
QString fixDriveLetter(const QString& path);

// The current folder the program keeps (ends in "/"). It is not the process's working
// folder: child processes get it as theirs. Starts as the working folder at start-up.
QString currentFolder();
// Makes path (a folder ending in "/", else the parent folder of path) the current folder
// when it exists; otherwise nothing changes.
void changeToFolder(const QString& path);
// path itself when absolute, else currentFolder() + path.
QString absoluteFromCurrent(const QString& path);

// When a file matches path: unless keepRunning, asks the player to release it
// (AppHost::closeRunFn); deletes it (wildcards allowed); lets pending events run.
void removeFile(const QString& path, bool keepRunning = false);
// The list window's save-folder box (cleared when it names a missing folder), else the
// parent folder of sourcePath with "/", else "".
QString getSaveFolder(const QString& sourcePath);
