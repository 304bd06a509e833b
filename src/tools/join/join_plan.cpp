#include "tools/join/join_plan.h"

#include <QFileInfo>

namespace join {

QString proposedName(const QString& firstPath) {
    const QFileInfo fi(firstPath);
    return fi.completeBaseName() + QStringLiteral("_merge.") + fi.suffix().toLower();
}

QStringList JoinPlan::touchedFiles() const {
    QStringList files{output, joined};
    if (!list.isEmpty()) files << list;
    return files;
}

JoinPlan makeJoinPlan(const QStringList& items, const QString& output, double seconds) {
    JoinPlan p;
    for (const QString& i : items) p.items << QFileInfo(i).absoluteFilePath();
    p.ext = p.items.isEmpty() ? QString() : QFileInfo(p.items.first()).suffix().toLower();
    p.kind = tools::toolKind(p.ext);
    const QFileInfo out(output);
    p.output = out.absoluteFilePath();
    p.folder = out.absolutePath();
    if (!p.folder.endsWith(QLatin1Char('/'))) p.folder += QLatin1Char('/');
    p.joined = p.folder + save::joinName(p.ext);
    if (!p.tagLevel()) p.list = p.folder + save::kJoinListName;
    p.seconds = seconds;
    return p;
}

tools::Command joinStep(const JoinPlan& p, const save::Tools& t, bool reencodeAudio) {
    if (p.tagLevel()) return save::flvJoinCommand(t, p.items, p.joined, p.seconds);
    return save::joinCommand(t, p.list, p.joined, p.ext, p.seconds, reencodeAudio);
}

}  // namespace join
