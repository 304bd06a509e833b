#include "tools/join/join_list_check.h"

#include <QFileInfo>

#include "common/media_kinds.h"
#include "common/texts.h"

namespace join {

ListCheck checkJoinList(const QStringList& paths) {
    ListCheck r;
    if (paths.isEmpty()) {
        r.refused = true;
        return r;
    }
    QString previous;
    for (int i = 0; i < paths.size(); ++i) {
        const QString& p = paths[i];
        const QString ext = QFileInfo(p).suffix().toLower();
        const bool sameType = i == 0 || ext == previous;
        if (!sameType || !isEditableFile(p) || !QFileInfo(p).isFile()) {
            r.refused = true;
            r.item = i;
            return r;
        }
        previous = ext;
    }
    return r;
}

QString refusedListText() {
    using texts::kCrLf;
    return QStringLiteral("合併清單裡的檔案類型不一致，或是") + kCrLf +
           QStringLiteral("清單裡包含不支援合併的多媒體格式") + kCrLf +
           QStringLiteral("或是，清單裡包含了不存在的檔案！") + kCrLf + kCrLf +
           QStringLiteral("此合併功能，僅支援同類型的檔案");
}

QString joinExtension(const QStringList& paths) {
    return paths.isEmpty() ? QString() : QFileInfo(paths.first()).suffix().toLower();
}

}  // namespace join
