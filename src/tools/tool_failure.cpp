#include "tools/tool_failure.h"

#include <QRegularExpression>
#include <QStringList>

namespace tools {
namespace {

// strerror(ENOSPC) and strerror(EDQUOT): the tools run without a locale, so in English.
bool saysDiskFull(const QString& output) {
    return output.contains(QLatin1String("No space left on device")) ||
           output.contains(QLatin1String("Disk quota exceeded"));
}

// flvmdi's diagnostic line: "flvmdi: PATH: E108 detail".
std::optional<ToolFailure> flvmdiLine(const QString& output) {
    static const QRegularExpression re(QStringLiteral("^flvmdi: .*?: (E\\d{3})( .*)?$"),
                                       QRegularExpression::MultilineOption);
    const QRegularExpressionMatch m = re.match(output);
    if (!m.hasMatch()) return std::nullopt;
    const std::optional<flv::DiagCode> code = flv::diagCodeFromId(m.captured(1).toStdString());
    if (!code) return std::nullopt;
    ToolFailure f;
    f.cause = *code == flv::DiagCode::NoSpace ? FailureCause::DiskFull : FailureCause::FlvmdiDiag;
    f.diag = code;
    f.line = (m.captured(1) + m.captured(2)).trimmed();
    return f;
}

// ffmpeg at level error: its first line names the cause; "Conversion failed!" and the like
// only follow it. The "[muxer @ 0x…] " context is no help to a user.
QString firstErrorLine(const QString& output) {
    static const QRegularExpression context(QStringLiteral("^\\[[^\\]]* @ 0x[0-9a-fA-F]+\\] "));
    // A run at a more talkative level tags each line with its level: only errors say why.
    static const QRegularExpression level(
        QStringLiteral("^\\[(panic|fatal|error|warning|info|verbose|debug|trace)\\] "));
    for (QString line : output.split(QLatin1Char('\n'))) {
        line = line.trimmed();
        line.remove(context);
        const QRegularExpressionMatch tag = level.match(line);
        if (tag.hasMatch()) {
            const QString l = tag.captured(1);
            if (l != QLatin1String("panic") && l != QLatin1String("fatal") &&
                l != QLatin1String("error"))
                continue;
            line = line.mid(tag.capturedLength());
        }
        if (line.isEmpty() || line == QLatin1String("Conversion failed!")) continue;
        // A long line (a path, a dump) is cut so the message box stays readable.
        constexpr int kMax = 200;
        return line.size() > kMax ? line.left(kMax) + QStringLiteral("…") : line;
    }
    return {};
}

}  // namespace

ToolFailure readFailure(const QString& output) {
    ToolFailure f;
    if (const std::optional<ToolFailure> flvmdi = flvmdiLine(output)) {
        f = *flvmdi;
    } else {
        f.line = firstErrorLine(output);
        if (!f.line.isEmpty()) f.cause = FailureCause::ToolLine;
    }
    if (saysDiskFull(output)) f.cause = FailureCause::DiskFull;
    return f;
}

}  // namespace tools
