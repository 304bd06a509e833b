#include "tools/done_report.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <cmath>

#include "common/paths.h"
#include "common/prompts.h"
#include "common/shell.h"
#include "common/texts.h"
#include "tools/tool_host.h"

namespace tools {

QString secondsText(double seconds) {
    // A hair over the half so that 12.345 (held as 12.34499...) rounds up as written.
    const long long hundredths = std::llround(std::fabs(seconds) * 100.0 + 1e-6);
    const long long whole = hundredths / 100;
    const QString frac = QStringLiteral("%1").arg(hundredths % 100, 2, 10, QLatin1Char('0'));
    QString text = (whole ? QString::number(whole) : QString()) + QLatin1Char('.') + frac;
    return seconds < 0 ? QLatin1Char('-') + text : text;
}

QString doneReportText(double seconds, bool stopped, const QString& note) {
    using texts::kCrLf;
    QString text = QStringLiteral("全部的檔案處理程序已經") +
                   (stopped ? QStringLiteral("被中止掉") : QStringLiteral("成功結束"));
    if (seconds > 0)
        text += kCrLf + QStringLiteral("總共使用的時間有 ") + secondsText(seconds) +
                QStringLiteral(" 秒");
    if (!note.isEmpty()) text += kCrLf + kCrLf + note;
    text += kCrLf + kCrLf + QStringLiteral("按下「確定」，可以前往檔案總管") + kCrLf +
            QStringLiteral("或本軟體的檔案列表，查看新檔案");
    return text;
}

void doneAfterSave(const QString& path, bool goStraightToList, double seconds, bool stopped,
                   const QString& note) {
    if (!QFileInfo::exists(path)) return;
    QCoreApplication::processEvents();
    changeToFolder(path);
    ToolHost& host = toolHost();
    if (goStraightToList) {
        host.selectInFileBrowser(path);
        return;
    }
    if (prompts::msgBox(doneReportText(seconds, stopped, note), prompts::Buttons::OkCancel) !=
        prompts::Answer::Ok)
        return;
    if (host.doneToFileList())
        host.selectInFileBrowser(path);
    else
        exploreSelect(path);
}

}  // namespace tools
