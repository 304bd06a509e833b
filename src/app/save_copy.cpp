#include "app/save_copy.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include "common/comm_dialog.h"
#include "tools/done_report.h"

namespace app {

QString saveFileFilter(const QString& ext) {
    const QString description = ext == QStringLiteral("plt")
                                    ? QStringLiteral("預設清單檔")
                                    : ext.toUpper() + QStringLiteral(" 檔案格式");
    return description + QStringLiteral("(*.") + ext + QStringLiteral(")|*.") + ext;
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
    CommDialog& cd = commDialog();
    cd.hwndOwner = owner;
    cd.setFilter(saveFileFilter(ext));
    cd.setFilterIndex(1);
    cd.DefaultExt = ext;
    cd.FileName = fi.fileName();
    const QString target = cd.ShowSave();
    if (target.isEmpty()) return;
    if (!copyReplacing(path, target)) return;
    tools::doneAfterSave(target, false, 0, false);
}

}  // namespace app
