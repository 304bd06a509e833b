#include "tools/fix/fix_plan.h"

#include <QDir>
#include <QFileInfo>

#include "common/texts.h"

namespace fix {

using texts::kCrLf;

QString tempName(const QString& ext) { return QStringLiteral("~fix~tmpSP.") + ext; }

QString proposedName(const QString& source) {
    const QFileInfo info(source);
    return info.completeBaseName() + QStringLiteral("_fix.") + info.suffix().toLower();
}

QStringList FixPlan::touchedFiles() const {
    QStringList files{output};
    if (!repairInto.isEmpty()) files << QDir(QFileInfo(output).absolutePath()).filePath(repairInto);
    return files;
}

FixPlan makeFixPlan(const QString& source, const QString& output) {
    FixPlan p;
    p.source = source;
    p.output = output;
    p.ext = QFileInfo(source).suffix().toLower();
    p.kind = tools::toolKind(p.ext);
    p.toolSet = tools::fixTools(p.kind);
    if (p.kind == tools::ToolKind::Flv) {
        const QString temp = tempName(p.ext);
        p.repairInto = QFileInfo(output).fileName() == temp ? output : temp;
    }
    return p;
}

Command repairCommand(const save::Tools& t, const QString& source, const QString& out) {
    Command c;
    c.program = t.flvmdi;
    c.args = QStringList{QStringLiteral("--repair"), source, out};
    c.progressLines = true;
    return c;
}

bool holdsCovers(const QString& ext) {
    const QString e = ext.toLower();
    return e == QLatin1String("mp4") || e == QLatin1String("m4a");
}

Command remuxCommand(const save::Tools& t, const QString& source, const QString& output,
                     const QString& ext, Audio audio, Covers covers) {
    QStringList a{QStringLiteral("-hide_banner"), QStringLiteral("-nostdin"), QStringLiteral("-y"),
                  QStringLiteral("-loglevel"),    QStringLiteral("error"),    QStringLiteral("-i"),
                  tools::ffmpegFile(source)};
    // "V" leaves attached pictures out, "v" takes them along.
    const bool withCovers = covers == Covers::Kept && holdsCovers(ext);
    a << QStringLiteral("-map") << (withCovers ? QStringLiteral("0:v?") : QStringLiteral("0:V?"))
      << QStringLiteral("-map") << QStringLiteral("0:a?");
    if (audio == Audio::Copy) {
        a << QStringLiteral("-c") << QStringLiteral("copy");
    } else {
        a << QStringLiteral("-c:v") << QStringLiteral("copy") << QStringLiteral("-c:a")
          << QStringLiteral("libmp3lame") << QStringLiteral("-b:a") << QStringLiteral("64k");
    }
    const QString mux = save::muxerFor(ext);
    if (!mux.isEmpty()) a << QStringLiteral("-f") << mux;
    a << tools::ffmpegFile(output);
    return tools::ffmpegCommand(t.ffmpeg, a);
}

QString notFoundText() {
    return QStringLiteral("你所指定處理的檔案並不存在，或是") + kCrLf +
           QStringLiteral("你選擇了不支援修復的多媒體格式！");
}

QString ownSourceText(const QString& source) {
    return QStringLiteral("「修復」的新檔案不能取代正在處理的原始檔案：") + kCrLf + source + kCrLf +
           kCrLf + QStringLiteral("請選擇其他的檔案名稱或資料夾");
}

QString descriptionText() {
    return QStringLiteral(
        "如果指定的 FLV 無法播放，或是播放時間不正確，或是無法跳轉，或是 Meta Data "
        "有毀損，你可以「執行修復 FLV」來解決這些問題，讓你把此 FLV "
        "再度放在網路上時，可以正常播放。此修復，讓你另存新檔成另一個 FLV 檔案。");
}

}  // namespace fix
