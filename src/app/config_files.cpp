#include "app/config_files.h"

#include <QFile>
#include <QSaveFile>
#include <QStringDecoder>
#include <memory>

namespace app {

std::optional<QStringList> readTextLines(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return std::nullopt;
    const QByteArray bytes = file.readAll();
    QString text;
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    text = utf8.decode(bytes);
    if (utf8.hasError()) {
        // Files from older installs are in the Traditional Chinese ANSI code page.
        QStringDecoder big5("Big5");
        if (big5.isValid()) text = big5.decode(bytes);
    }
    if (text.startsWith(QChar(0xFEFF))) text.remove(0, 1);
    text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    QStringList lines = text.split(QLatin1Char('\n'));
    if (!lines.isEmpty() && lines.last().isEmpty()) lines.removeLast();
    return lines;
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
