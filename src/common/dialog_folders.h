#pragma once
// The folders file dialogs start in, remembered between dialogs for this run only. Each
// dialog otherwise starts from what its caller gives it; nothing else carries over.
#include <QString>

struct DialogFolders {
    // Where the dialogs for media files start (open, add, browse, save a copy). Start-up sets
    // it to the save folder; a confirmed picture save moves it to that picture's folder.
    // Empty: the program's current folder, taken at the first such dialog and then kept.
    QString media;
    // The folder of the play list file last opened or saved; empty: none yet.
    QString lists;
};

// The program's one set.
DialogFolders& dialogFolders();

// Where the next media-file dialog starts (see DialogFolders::media), ending in "/".
QString mediaDialogStart(DialogFolders& folders = dialogFolders());
// Where the next list-file dialog starts: the last list file's folder, else the home folder.
QString listDialogStart(const DialogFolders& folders = dialogFolders());
// A list file was opened or saved at path.
void listFileUsed(const QString& path, DialogFolders& folders = dialogFolders());
