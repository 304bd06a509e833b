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
    for (qsizetype i = 0; i < listed.size(); ++i)
        if (listed[i] != items.value(i)) files << listed[i];
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
    if (!p.tagLevel()) {
        p.list = p.folder + save::kJoinListName;
        for (qsizetype i = 0; i < p.items.size(); ++i) {
            const QString& item = p.items[i];
            const bool breaks =
                item.contains(QLatin1Char('\n')) || item.contains(QLatin1Char('\r'));
            p.listed << (breaks ? p.folder + QStringLiteral("~tmpSJoinL%1.%2")
                                                 .arg(i + 1, 3, 10, QLatin1Char('0'))
                                                 .arg(p.ext)
                                : item);
        }
    }
    p.seconds = seconds;
    return p;
}

std::vector<std::vector<std::size_t>> leftOut(const std::vector<save::LeadingPictures>& items) {
    std::vector<std::vector<std::size_t>> out(items.size());
    for (std::size_t k = 0; k < items.size() && items[k].pictures > 0; ++k)
        out[k] = items[k].hidden;
    return out;
}

QStringList leftOutFilter(const std::vector<save::LeadingPictures>& items) {
    QStringList runs;
    std::size_t before = 0;  // the pictures of the items before
    const std::vector<std::vector<std::size_t>> out = leftOut(items);
    for (std::size_t k = 0; k < items.size(); ++k) {
        const std::vector<std::size_t>& h = out[k];
        for (std::size_t i = 0; i < h.size();) {
            std::size_t j = i;  // a run of places that follow one another
            while (j + 1 < h.size() && h[j + 1] == h[j] + 1) ++j;
            runs << QStringLiteral("between(n\\,%1\\,%2)").arg(before + h[i]).arg(before + h[j]);
            i = j + 1;
        }
        before += items[k].pictures;
    }
    if (runs.isEmpty()) return {};
    return {QStringLiteral("-bsf:v"), QStringLiteral("noise=drop=") + runs.join(QLatin1Char('+'))};
}

tools::Command joinStep(const JoinPlan& p, const save::Tools& t, bool reencodeAudio,
                        const QStringList& videoFilter) {
    if (p.tagLevel()) return save::flvJoinCommand(t, p.items, p.joined, p.seconds);
    return save::joinCommand(t, p.list, p.joined, p.ext, p.seconds, reencodeAudio, videoFilter);
}

}  // namespace join
