#include "common/dialog_folders.h"

#include <QDir>
#include <QFileInfo>

#include "common/paths.h"

DialogFolders& dialogFolders() {
    static DialogFolders folders;
    return folders;
}

QString mediaDialogStart(DialogFolders& folders) {
    if (folders.media.isEmpty()) folders.media = currentFolder();
    return folders.media;
}

QString listDialogStart(const DialogFolders& folders) {
    return folders.lists.isEmpty() ? addSlash(QDir::homePath()) : folders.lists;
}

void listFileUsed(const QString& path, DialogFolders& folders) {
    folders.lists = addSlash(QFileInfo(path).absolutePath());
}
