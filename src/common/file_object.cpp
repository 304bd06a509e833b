#include "common/file_object.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include "common/paths.h"
#include "common/temp_folder.h"
#include "common/text_file.h"

namespace {

bool hasWildcard(const QString& name) { return name.contains(u'*') || name.contains(u'?'); }

// The trimmed path made absolute, split into its folder (ending in "/") and file name.
struct Target {
    QString folder, name, full;
};

Target target(const QString& path) {
    const PathParts parts = splitPath(path);
    Target t;
    if (parts.fileName.isEmpty()) return t;
    t.folder = parts.parent.isEmpty() ? currentFolder() : absoluteFromCurrent(parts.parent);
    t.name = parts.fileName;
    t.full = t.folder + t.name;
    return t;
}

// Files (not folders) of folder whose names match pattern.
QStringList matchingFiles(const QString& folder, const QString& pattern) {
    QStringList found;
    const QDir dir(folder);
    const QStringList names = dir.entryList(QDir::Files | QDir::Hidden | QDir::System);
    for (const QString& n : names)
        if (wildcardMatch(pattern, n)) found << folder + n;
    return found;
}

}  // namespace

FileObject& fso() {
    static FileObject instance;
    return instance;
}

bool FileObject::FileExists(const QString& path) const {
    const Target t = target(path);
    if (t.name.isEmpty()) return false;
    const QFileInfo fi(t.full);
    if (fi.exists() && !fi.isDir()) return true;
    return hasWildcard(t.name) && !matchingFiles(t.folder, t.name).isEmpty();
}

bool FileObject::FolderExists(const QString& path) const {
    const QString p = path.trimmed();
    if (p.isEmpty()) return false;
    return QFileInfo(absoluteFromCurrent(p)).isDir();
}

QString FileObject::GetBaseName(const QString& path) const { return splitPath(path).base; }
QString FileObject::GetExtensionName(const QString& path) const {
    return splitPath(path).extension;
}
QString FileObject::GetFileName(const QString& path) const { return splitPath(path).fileName; }
QString FileObject::GetParentFolderName(const QString& path) const {
    return splitPath(path).parent;
}
QString FileObject::GetDriveName(const QString& path) const { return splitPath(path).drive; }

QString FileObject::GetSpecialFolder(int kind) const {
    switch (kind) {
        case 0:
            return QStringLiteral("/usr");
        case 1:
            return QStringLiteral("/usr/bin");
        case 2:
            return privateTempFolder();
        default:
            return {};
    }
}

QString FileObject::ShortPath(const QString& path) const {
    const QString p = path.trimmed();
    if (p.isEmpty() || !QFileInfo::exists(absoluteFromCurrent(p))) return {};
    return p;
}

int FileObject::DeleteFile(const QString& path) const {
    const Target t = target(path);
    if (t.name.isEmpty()) return 0;
    QStringList victims;
    const QFileInfo fi(t.full);
    if ((fi.exists() || fi.isSymLink()) && !fi.isDir())
        victims << t.full;
    else if (hasWildcard(t.name))
        victims = matchingFiles(t.folder, t.name);
    int deleted = 0;
    for (const QString& v : victims) deleted += QFile::remove(v);
    return deleted;
}

bool FileObject::CreateTextFile(const QString& path, const QString& text) const {
    const Target t = target(path);
    if (t.name.isEmpty()) return false;
    return writeTextFile(t.full, text + u'\n').ok;
}
