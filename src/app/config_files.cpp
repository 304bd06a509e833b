#include "app/config_files.h"

#include <QFile>
#include <QSaveFile>
#include <memory>

#include "common/text_file.h"

namespace app {

std::optional<QStringList> readTextLines(const QString& path) {
    const TextReadResult read = readTextFile(path);
    if (!read.ok) return std::nullopt;
    return read.lines;
}

std::optional<SaveFailure> saveTextFiles(
    const std::vector<std::pair<QString, QStringList>>& files) {
    std::vector<std::unique_ptr<QSaveFile>> pending;
    for (const auto& [path, lines] : files) {
        auto out = std::make_unique<QSaveFile>(path);
        QByteArray bytes;
        for (const QString& line : lines) bytes += line.toUtf8() + "\r\n";
        if (!out->open(QIODevice::WriteOnly) || out->write(bytes) != bytes.size())
            return SaveFailure{path, out->errorString()};  // pending ones are discarded
        pending.push_back(std::move(out));
    }
    for (auto& out : pending) {
        if (!out->commit()) return SaveFailure{out->fileName(), out->errorString()};
    }
    return std::nullopt;
}

QString saveFailureText(const SaveFailure& failure) {
    return QStringLiteral("無法儲存播放清單與其它組態設定！\r\n\r\n") + failure.path +
           QStringLiteral("\r\n") + failure.reason + QStringLiteral("\r\n\r\n原有的檔案保持不變。");
}

}  // namespace app
