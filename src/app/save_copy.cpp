#include "app/save_copy.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include "common/dialog_folders.h"
#include "common/file_filters.h"
#include "common/prompts.h"
#include "lists/list_formats.h"
#include "tools/done_report.h"

namespace app {

QString saveFileFilter(const QString& ext) {
    return ext == QLatin1String(lists::kOwnListExtension) ? lists::ownListFilter()
                                                          : formatFilter(ext);
}

bool copyReplacing(const QString& source, const QString& target) {
    const QFileInfo from(source), to(target);
    if (!from.isFile()) return false;
    if (to.exists() && from.canonicalFilePath() == to.canonicalFilePath()) return true;
    QFile in(source);
    if (!in.open(QIODevice::ReadOnly)) return false;
    QSaveFile out(target);
    if (!out.open(QIODevice::WriteOnly)) return false;
    QByteArray block;
    while (!(block = in.read(1 << 20)).isEmpty())
        if (out.write(block) != block.size()) {
            out.cancelWriting();
            return false;
        }
    if (in.error() != QFile::NoError) {
        out.cancelWriting();
        return false;
    }
    return out.commit();
}

void saveFile(const QString& path, QWidget* owner) {
    if (path.isEmpty()) return;
    const QFileInfo fi(path);
    const QString ext = fi.suffix().toLower();
    prompts::FileDialog d;
    d.kind = prompts::FileDialog::Save;
    d.owner = owner;
    d.initialFolder = mediaDialogStart();
    d.qtFilter = saveFileFilter(ext);
    d.defaultExt = ext;
    d.fileName = fi.fileName();
    const QString target = prompts::current().file(d).paths.value(0);
    if (target.isEmpty()) return;
    if (!copyReplacing(path, target)) return;
    tools::doneAfterSave(target, false, 0, false);
}

}  // namespace app
