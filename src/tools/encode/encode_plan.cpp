#include "tools/encode/encode_plan.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>

#include "common/texts.h"
#include "tools/job_frame.h"

namespace encode {
namespace {

using texts::kCrLf;

QString extOf(const QString& path) { return QFileInfo(path).suffix().toLower(); }

bool isMpg(const QString& path) {
    const QString e = extOf(path);
    return e == QLatin1String("mpg") || e == QLatin1String("mpeg");
}

bool samePath(const QString& a, const QString& b) {
    return QDir::cleanPath(a) == QDir::cleanPath(b) || tools::JobFrame::isOwnSource(a, b);
}

}  // namespace

Refusal refusal(const EncodeRequest& r, const QString& source, const QString& target) {
    if (source.isEmpty() || !QFileInfo(source).isFile()) return Refusal::MissingSource;
    if (samePath(target, source)) return Refusal::SameAsSource;
    if (videoBoxes(r.panel) == VideoBoxes::Used && isMpg(target) &&
        r.options.frameRate.toDouble() < 20)
        return Refusal::MpgFrameRate;
    return Refusal::None;
}

QString refusalText(Refusal r) {
    switch (r) {
        case Refusal::None:
            return {};
        case Refusal::MissingSource:
            return QStringLiteral("你所指定的來源檔案並不存在，或是") + kCrLf +
                   QStringLiteral("你選擇了不支援轉檔的多媒體格式！");
        case Refusal::SameAsSource:
            return QStringLiteral("你所指定的轉成檔案（目標檔案）與") + kCrLf +
                   QStringLiteral("與來源檔案是同一個，這是不允許的");
        case Refusal::MpgFrameRate:
            return QStringLiteral("你所指定的轉成檔案（目標檔案）是 MPG") + kCrLf +
                   QStringLiteral("此格式的楨速率，抱歉，不能小於數值 20");
    }
    return {};
}

QString confirmText(const QString& source, const QString& target) {
    return QStringLiteral("你所指定的來源檔案：") + kCrLf + source + kCrLf + kCrLf +
           QStringLiteral("將轉檔成為目標檔案：") + kCrLf + target + kCrLf + kCrLf +
           QStringLiteral("確定要「執行轉檔功能」？");
}

QStringList encodeArgs(const EncodeRequest& r, const QString& source, const QString& target) {
    const EncodeOptions& o = r.options;
    QStringList a{QStringLiteral("-hide_banner"), QStringLiteral("-nostdin"), QStringLiteral("-y"),
                  QStringLiteral("-loglevel"),    QStringLiteral("error"),    QStringLiteral("-i"),
                  tools::ffmpegFile(source)};
    if (soundOnly(r.panel))
        a << QStringLiteral("-vn");
    else if (extOf(target) == QLatin1String("wmv"))
        a << QStringLiteral("-c:v") << QStringLiteral("wmv2");
    if (videoBoxes(r.panel) == VideoBoxes::Used) {
        if (o.size != kKeepSize) a << QStringLiteral("-s") << o.size;
        a << QStringLiteral("-r") << o.frameRate;
        a << QStringLiteral("-b:v") << o.videoBitrate + QLatin1Char('k');
    }
    a << QStringLiteral("-ar") << o.samplingRate;
    a << QStringLiteral("-b:a") << o.audioBitrate + QLatin1Char('k');
    a << QStringLiteral("-ac") << QString::number(static_cast<int>(o.channels));
    a << tools::ffmpegFile(target);
    return a;
}

Command encodeCommand(const save::Tools& t, const EncodeRequest& r, const QString& source,
                      const QString& target, double expectedSeconds) {
    return tools::ffmpegCommand(t.ffmpeg, encodeArgs(r, source, target), expectedSeconds);
}

bool needsMetadata(const QString& target) { return extOf(target) == QLatin1String("flv"); }

double parseDuration(const QString& probeOutput) {
    static const QRegularExpression duration(
        QStringLiteral(R"(Duration:\s*(\d+):(\d\d):(\d\d(?:\.\d+)?))"));
    const QRegularExpressionMatch m = duration.match(probeOutput);
    if (!m.hasMatch()) return 0;
    return m.captured(1).toDouble() * 3600 + m.captured(2).toDouble() * 60 +
           m.captured(3).toDouble();
}

}  // namespace encode
