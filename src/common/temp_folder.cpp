#include "common/temp_folder.h"

#include <sys/stat.h>
#include <unistd.h>

#include <QFile>
#include <cerrno>

namespace {

bool isFolder(const QByteArray& path) {
    struct stat st;
    return !path.isEmpty() && ::stat(path.constData(), &st) == 0 && S_ISDIR(st.st_mode);
}

QByteArray withoutTrailingSlashes(QByteArray p) {
    while (p.size() > 1 && p.endsWith('/')) p.chop(1);
    return p;
}

}  // namespace

QString privateTempFolderFrom(const QByteArray& xdgRuntimeDir, const QByteArray& tmpDir) {
    QByteArray folder;
    if (isFolder(xdgRuntimeDir)) {
        folder = withoutTrailingSlashes(xdgRuntimeDir) + "/Lumba.FLV";
    } else {
        const QByteArray base = tmpDir.isEmpty() ? QByteArray("/tmp") : tmpDir;
        if (!isFolder(base)) return {};
        folder = withoutTrailingSlashes(base) + "/Lumba.FLV-" + QByteArray::number(::getuid());
    }
    if (folder.startsWith("//")) folder.remove(0, 1);
    if (::mkdir(folder.constData(), 0700) != 0 && errno != EEXIST) return {};
    // lstat: a symbolic link planted under our name must not be followed.
    struct stat st;
    if (::lstat(folder.constData(), &st) != 0) return {};
    if (!S_ISDIR(st.st_mode) || st.st_uid != ::geteuid() || (st.st_mode & S_IWOTH)) return {};
    return QFile::decodeName(folder) + u'/';
}

QString privateTempFolder() {
    return privateTempFolderFrom(qgetenv("XDG_RUNTIME_DIR"), qgetenv("TMPDIR"));
}
