#include "common/paths.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

#include "common/file_object.h"
#include "common/host.h"

namespace {

QString& currentValue() {
    static QString value = addSlash(QDir::currentPath());
    return value;
}

}  // namespace

QString addSlash(const QString& path) {
    if (path.isEmpty() || path.endsWith(u'/')) return path;
    return path + u'/';
}

QString fixDriveLetter(const QString& path) {
    if (path.size() < 3 || path[1] != u':' || (path[2] != u'/' && path[2] != u'\\')) return path;
    const QChar c = path[0];
    if (!((c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z'))) return path;
    QString fixed = path;
    fixed[0] = c.toUpper();
    return fixed;
}

QString currentFolder() { return currentValue(); }

void changeToFolder(const QString& path) {
    QString folder = path;
    if (!folder.endsWith(u'/')) folder = addSlash(fso().GetParentFolderName(folder));
    if (folder.isEmpty()) return;
    folder = absoluteFromCurrent(folder);
    if (!QFileInfo(folder).isDir()) return;
    currentValue() = addSlash(QDir::cleanPath(folder));
}

QString absoluteFromCurrent(const QString& path) {
    if (path.isEmpty() || path.startsWith(u'/')) return path;
    return currentFolder() + path;
}

void removeFile(const QString& path, bool keepRunning) {
    if (path.isEmpty() || !fso().FileExists(path)) return;
    if (!keepRunning) appHost().closeRunFn(path);
    fso().DeleteFile(path);
    if (QCoreApplication::instance()) QCoreApplication::processEvents();
}

QString getSaveFolder(const QString& sourcePath) {
    AppHost& host = appHost();
    QString box = host.saveFolderBox();
    if (!box.isEmpty() && !fso().FolderExists(box)) {
        host.clearSaveFolderBox();
        box.clear();
    }
    // A folder typed without its "/" must still join with a file name.
    if (!box.isEmpty()) return addSlash(box);
    if (sourcePath.isEmpty()) return {};
    return addSlash(fso().GetParentFolderName(sourcePath));
}
