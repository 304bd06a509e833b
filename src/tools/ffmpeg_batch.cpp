#include "tools/ffmpeg_batch.h"

#include <QRegularExpression>
#include <algorithm>

namespace tools {
namespace {

// The options every run of a job begins with, "-loglevel" taking a value.
qsizetype globalOptionCount(const QStringList& args) {
    qsizetype i = 0;
    while (i < args.size()) {
        const QString& a = args[i];
        if (a == QLatin1String("-hide_banner") || a == QLatin1String("-nostdin") ||
            a == QLatin1String("-y"))
            ++i;
        else if (a == QLatin1String("-loglevel") || a == QLatin1String("-v"))
            i += 2;
        else
            break;
    }
    return std::min(i, args.size());
}

}  // namespace

Command batchRuns(const std::vector<Command>& runs, BatchLog log) {
    if (runs.empty()) return {};
    Command batch = runs.front();
    const qsizetype head = globalOptionCount(batch.args);
    batch.args = batch.args.mid(0, head);
    if (log == BatchLog::Stats) {
        const qsizetype level = batch.args.indexOf(QStringLiteral("-loglevel"));
        if (level >= 0)
            batch.args[level + 1] = QStringLiteral("level+verbose");
        else
            batch.args << QStringLiteral("-loglevel") << QStringLiteral("level+verbose");
    }
    batch.expectedSeconds = 0;
    for (size_t k = 0; k < runs.size(); ++k) {
        const QStringList& a = runs[k].args;
        for (qsizetype i = globalOptionCount(a); i < a.size(); ++i) {
            batch.args << a[i];
            if (a[i] == QLatin1String("-map") && i + 1 < a.size()) {
                QString map = a[++i];
                if (map.startsWith(QLatin1String("0:")) || map == QLatin1String("0"))
                    map = QString::number(k) + map.mid(1);
                batch.args << map;
            }
        }
        batch.expectedSeconds = std::max(batch.expectedSeconds, runs[k].expectedSeconds);
    }
    return batch;
}

std::vector<OutputStats> readOutputStats(const QString& output, int count) {
    // "Output file #1 (file:…):" then "  Output stream #1:0 (video): 50 packets muxed (…"
    static const QRegularExpression stream(
        QStringLiteral(R"(Output stream #(\d+):\d+ \((\w+)\): (\d+) packets muxed)"));
    std::vector<OutputStats> stats(static_cast<size_t>(std::max(0, count)));
    const QStringList lines = output.split(QLatin1Char('\n'));
    for (const QString& line : lines) {
        const QRegularExpressionMatch m = stream.match(line);
        if (!m.hasMatch()) continue;
        const int file = m.captured(1).toInt();
        if (file < 0 || file >= count) continue;
        OutputStats& s = stats[static_cast<size_t>(file)];
        const QString kind = m.captured(2);
        const qint64 packets = m.captured(3).toLongLong();
        if (kind == QLatin1String("video")) s.videoPackets += packets;
        if (kind == QLatin1String("audio")) s.audioPackets += packets;
        s.kinds << kind;
    }
    for (OutputStats& s : stats) s.kinds.sort();
    return stats;
}

}  // namespace tools
