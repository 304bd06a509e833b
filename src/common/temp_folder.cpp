#include "common/temp_folder.h"

#include <unistd.h>

#include <QFile>
#include <string>

#include "tempfolder/private_folder.h"

namespace {

QString folderFor(const tempfolder::FolderEnv& env) {
    return QFile::decodeName(QByteArray::fromStdString(tempfolder::privateFolder(env)));
}

}  // namespace

QString privateTempFolderFrom(const QByteArray& xdgRuntimeDir, const QByteArray& tmpDir) {
    // An empty value reads as unset, as in the shared rule.
    return folderFor(
        {xdgRuntimeDir.constData(), tmpDir.constData(), static_cast<unsigned>(::getuid())});
}

QString privateTempFolder() { return folderFor(tempfolder::currentEnv()); }
