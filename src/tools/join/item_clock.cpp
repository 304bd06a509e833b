#include "tools/join/item_clock.h"

#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QRegularExpression>
#include <algorithm>
#include <limits>

namespace join {

tools::Command clockStartProbe(const save::Tools& t, const QStringList& items) {
    // No output: ffmpeg prints what it read of each input and refuses to go on.
    QStringList args{QStringLiteral("-hide_banner"), QStringLiteral("-nostdin")};
    for (const QString& item : items) args << QStringLiteral("-i") << tools::ffmpegFile(item);
    return tools::ffmpegProbe(t.ffmpeg, args);
}

std::vector<std::optional<double>> clockStarts(const QString& probeOutput, qsizetype count) {
    // "  Duration: 00:01:43.00, start: 99.976009, bitrate: ..." in each input's description.
    static const QRegularExpression start(QStringLiteral("Duration: .*, start: (-?[0-9.]+)"));
    std::vector<std::optional<double>> starts;
    for (int k = 0; k < count; ++k) {
        std::optional<double> found;
        for (const QString& line : save::inputDescription(probeOutput, k)) {
            const QRegularExpressionMatch m = start.match(line);
            bool ok = false;
            const double s = m.hasMatch() ? m.captured(1).toDouble(&ok) : 0;
            if (ok) {
                found = s;
                break;
            }
        }
        starts.push_back(found);
    }
    return starts;
}

tools::Command lengthProbe(const save::Tools& t, const QString& item) {
    return tools::ffmpegProbe(
        t.ffmpeg,
        {QStringLiteral("-hide_banner"), QStringLiteral("-nostdin"), QStringLiteral("-loglevel"),
         QStringLiteral("error"), QStringLiteral("-i"), tools::ffmpegFile(item),
         QStringLiteral("-map"), QStringLiteral("0:V?"), QStringLiteral("-map"),
         QStringLiteral("0:a?"), QStringLiteral("-c"), QStringLiteral("copy"), QStringLiteral("-f"),
         QStringLiteral("framecrc"), QStringLiteral("-")});
}

std::optional<double> contentSeconds(const QString& packetList) {
    // "#tb 0: 1/12800" gives a stream's time base; a packet line is
    // "stream, dts, pts, duration, size, crc".
    static const QRegularExpression timeBase(QStringLiteral("^#tb (\\d+): (\\d+)/(\\d+)$"));
    QHash<int, double> unit;
    std::optional<double> end;
    for (const QString& raw : packetList.split(QLatin1Char('\n'))) {
        const QString line = raw.trimmed();
        const QRegularExpressionMatch tb = timeBase.match(line);
        if (tb.hasMatch()) {
            const double den = tb.captured(3).toDouble();
            if (den > 0) unit.insert(tb.captured(1).toInt(), tb.captured(2).toDouble() / den);
            continue;
        }
        const QStringList f = line.split(QLatin1Char(','));
        if (f.size() != 6) continue;
        bool okStream = false, okPts = false, okDur = false;
        const int stream = f[0].trimmed().toInt(&okStream);
        const qint64 pts = f[2].trimmed().toLongLong(&okPts);
        const qint64 dur = f[3].trimmed().toLongLong(&okDur);
        if (!okStream || !okPts || !okDur || !unit.contains(stream)) continue;
        if (pts == std::numeric_limits<qint64>::min()) continue;  // a packet without a time
        const double e = static_cast<double>(pts + std::max<qint64>(dur, 0)) * unit.value(stream);
        end = end ? std::max(*end, e) : e;
    }
    return end;
}

QString concatListText(const QStringList& items, const std::vector<double>& lengths,
                       const QString& folder) {
    QString text;
    for (qsizetype i = 0; i < items.size(); ++i) {
        text += save::joinListText({items[i]}, folder);
        const size_t at = static_cast<size_t>(i);
        if (at < lengths.size() && lengths[at] > 0)
            text += QStringLiteral("duration %1\n").arg(lengths[at], 0, 'f', 6);
    }
    return text;
}

bool writeConcatList(const QString& listPath, const QStringList& items,
                     const std::vector<double>& lengths) {
    QFile f(listPath);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate)) return false;
    const QByteArray text =
        concatListText(items, lengths, QFileInfo(listPath).absolutePath()).toUtf8();
    return f.write(text) == text.size() && f.flush();
}

}  // namespace join
