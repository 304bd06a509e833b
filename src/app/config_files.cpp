#include "app/config_files.h"

#include "common/text_file.h"
#include "common/texts.h"

namespace app {

std::optional<QStringList> readTextLines(const QString& path) {
    const TextReadResult read = readTextFile(path);
    if (!read.ok) return std::nullopt;
    return read.lines;
}

std::optional<SaveFailure> saveTextFiles(
    const std::vector<std::pair<QString, QStringList>>& files) {
    QList<TextFileBytes> bytes;
    for (const auto& [path, lines] : files) bytes.append({path, crlfLineBytes(lines)});
    const TextWriteResult r = replaceTextFiles(bytes);
    if (r.ok) return std::nullopt;
    return SaveFailure{r.path, r.reason};
}

QString saveFailureText(const SaveFailure& failure) {
    using texts::kCrLf;
    return QStringLiteral("無法儲存播放清單與其它組態設定！") + kCrLf + kCrLf + failure.path +
           kCrLf + failure.reason + kCrLf + kCrLf + QStringLiteral("原有的檔案保持不變。");
}

}  // namespace app
