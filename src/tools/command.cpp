#include "tools/command.h"

namespace tools {
namespace {

QString quoted(const QString& arg) {
    if (!arg.isEmpty() && !arg.contains(QLatin1Char(' ')) && !arg.contains(QLatin1Char('"')) &&
        !arg.contains(QLatin1Char('\t')))
        return arg;
    QString q = arg;
    q.replace(QLatin1Char('"'), QLatin1String("\\\""));
    return QLatin1Char('"') + q + QLatin1Char('"');
}

}  // namespace

QStringList Command::effectiveArgs() const {
    if (!ffmpeg) return args;
    // Global options: they may stand before everything else.
    QStringList all{QStringLiteral("-progress"), QStringLiteral("pipe:1"),
                    QStringLiteral("-nostats")};
    all += args;
    return all;
}

QString Command::text() const {
    QStringList parts{quoted(program)};
    for (const QString& a : args) parts << quoted(a);
    return parts.join(QLatin1Char(' '));
}

QString ffmpegFile(const QString& path) { return QStringLiteral("file:") + path; }

Command ffmpegCommand(const QString& ffmpegProgram, const QStringList& args, double expectedSeconds,
                      Progress progress) {
    Command c;
    c.program = ffmpegProgram;
    c.args = args;
    c.ffmpeg = progress == Progress::Shown;
    c.expectedSeconds = expectedSeconds;
    return c;
}

Command ffmpegProbe(const QString& ffmpegProgram, const QStringList& args) {
    return ffmpegCommand(ffmpegProgram, args, 0, Progress::None);
}

}  // namespace tools
