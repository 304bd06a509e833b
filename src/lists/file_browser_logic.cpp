#include "lists/file_browser_logic.h"

#include <QDir>
#include <QFileInfo>
#include <QStorageInfo>
#include <algorithm>

#include "common/paths.h"
#include "common/texts.h"

namespace lists {

namespace {

// File systems that hold no user files.
bool isPseudoFileSystem(const QByteArray& type) {
    static const QList<QByteArray> pseudo = {
        "proc",       "sysfs",    "devtmpfs",    "devpts",   "tmpfs",
        "cgroup",     "cgroup2",  "securityfs",  "pstore",   "debugfs",
        "tracefs",    "configfs", "fusectl",     "mqueue",   "hugetlbfs",
        "bpf",        "autofs",   "binfmt_misc", "nsfs",     "efivarfs",
        "rpc_pipefs", "ramfs",    "overlay",     "squashfs", "fuse.gvfsd-fuse",
        "fuse.portal"};
    return pseudo.contains(type);
}

bool contains(const QString& root, const QString& folder) {
    if (root == QLatin1String("/")) return folder.startsWith(QLatin1Char('/'));
    return folder == root || folder.startsWith(root + QLatin1Char('/'));
}

bool isListable(const QString& folder) {
    const QFileInfo fi(folder);
    return fi.isDir() && fi.isReadable() && fi.isExecutable();
}

}  // namespace

QStringList folderFiles(const QString& folder) {
    // The same listing the settings use to check a stored file index.
    return QDir(folder).entryList(QDir::Files, QDir::Name | QDir::IgnoreCase);
}

QString browserFolderForm(const QString& folder) {
    if (folder.isEmpty()) return {};
    return QDir::cleanPath(QDir(currentFolder()).absoluteFilePath(folder));
}

QStringList driveRoots() {
    QStringList roots{QStringLiteral("/")};
    QStringList volumes;
    for (const QStorageInfo& v : QStorageInfo::mountedVolumes()) {
        if (!v.isValid() || !v.isReady() || v.isReadOnly()) continue;
        if (isPseudoFileSystem(v.fileSystemType())) continue;
        const QString root = browserFolderForm(v.rootPath());
        if (!QFileInfo(root).isDir()) continue;  // a single file bound into place
        volumes << root;
    }
    volumes.sort();
    const QString home = browserFolderForm(QDir::homePath());
    for (const QString& r : volumes + QStringList{home})
        if (!r.isEmpty() && !roots.contains(r)) roots << r;
    return roots;
}

QString driveOf(const QString& folder, const QStringList& drives) {
    QString best;
    for (const QString& root : drives)
        if (contains(root, folder) && root.size() > best.size()) best = root;
    if (best.isEmpty() && folder.startsWith(QLatin1Char('/'))) best = QStringLiteral("/");
    return best;
}

std::vector<FolderEntry> folderBoxEntries(const QString& folder) {
    std::vector<FolderEntry> out;
    const QString f = browserFolderForm(folder);
    if (f.isEmpty()) return out;
    out.push_back({QStringLiteral("/"), QStringLiteral("/"), 0, f == QLatin1String("/")});
    QString path;
    int depth = 0;
    for (const QString& part : f.split(QLatin1Char('/'), Qt::SkipEmptyParts)) {
        path += QLatin1Char('/') + part;
        ++depth;
        out.push_back({path, part, depth, path == f});
    }
    const QStringList subs =
        QDir(f).entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name | QDir::IgnoreCase);
    for (const QString& name : subs) out.push_back({addSlash(f) + name, name, depth + 1, false});
    return out;
}

QString vanishedFolderText(const QString& folder) {
    return QStringLiteral("你想要瀏覽的目錄已經不存在！") + texts::kCrLf + texts::kCrLf + folder;
}

bool FileBrowserModel::setFolder(const QString& folder) {
    const QString f = browserFolderForm(folder);
    if (f.isEmpty() || !isListable(f)) return false;
    folder_ = f;
    // The drive box stays on its drive while the folder is on it (a drive may lie inside
    // another one, as the home folder lies inside "/").
    if (drive_.isEmpty() || !contains(drive_, f)) drive_ = driveOf(f, drives_);
    files_ = folderFiles(f);
    selected_ = files_.isEmpty() ? -1 : 0;
    return true;
}

bool FileBrowserModel::setDrive(const QString& root) {
    if (!setFolder(root)) return false;
    // The chosen root is the drive even where a longer root (the home folder) lies inside it.
    drive_ = browserFolderForm(root);
    return true;
}

void FileBrowserModel::refresh() {
    if (folder_.isEmpty() || !isListable(folder_)) return;
    const QString name = selected_ >= 0 ? files_.at(selected_) : QString();
    files_ = folderFiles(folder_);
    selected_ = name.isEmpty() ? -1 : int(files_.indexOf(name));
    if (selected_ < 0 && !files_.isEmpty()) selected_ = 0;
}

void FileBrowserModel::select(int index) {
    selected_ = (index >= 0 && index < files_.size()) ? index : -1;
}

QString FileBrowserModel::filePath(int index) const {
    const int i = index == -1 ? selected_ : index;
    if (i < 0 || i >= files_.size()) return {};
    return addSlash(fixDriveLetter(folder_)) + files_.at(i);
}

int FileBrowserModel::indexOfName(const QString& name) const {
    const QString wanted = name.toLower();
    for (int i = 0; i < files_.size(); ++i)
        if (files_.at(i).toLower() == wanted) return i;
    return -1;
}

bool FileBrowserModel::showFile(const QString& path) {
    const QFileInfo fi(browserFolderForm(path));
    if (!setFolder(fi.path())) return false;
    const int i = indexOfName(fi.fileName());
    if (i >= 0) selected_ = i;
    return true;
}

FolderClick FileBrowserModel::folderClicked(const QString& clicked, bool rightButton,
                                            const QString& home) {
    if (!QFileInfo(clicked).isDir()) {
        if (!setDrive(drive_)) {
            setFolder(home);
            drive_ = browserFolderForm(home);
        }
        return FolderClick::Vanished;
    }
    if (rightButton || !setFolder(clicked)) return FolderClick::Ignored;
    return FolderClick::Entered;
}

}  // namespace lists
