#include "app/command_line.h"

#include <QDir>
#include <QFileInfo>

#include "common/media_kinds.h"

namespace app {

QString commandText(const QStringList& arguments, const QString& workingFolder) {
    const QString text = arguments.join(QLatin1Char(' '));
    if (text.isEmpty() || isUrl(text)) return text;
    QString path = text;
    path.remove(QLatin1Char('"'));
    if (!QFileInfo(path).isRelative()) return text;
    const QString absolute = QDir(workingFolder).absoluteFilePath(path);
    return QFileInfo::exists(absolute) ? QDir::cleanPath(absolute) : text;
}

}  // namespace app
