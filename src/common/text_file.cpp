#include "common/text_file.h"

#include <QFile>
#include <QSaveFile>
#include <QStringDecoder>

#include "common/cp950.h"

namespace {

TextWriteResult failed(const QString& path, const QString& why) {
    return {false, path + QStringLiteral(": ") + why};
}

}  // namespace

TextWriteResult writeTextFile(const QString& path, const QString& text) {
    QString crlf = text;
    crlf.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    crlf.replace(u'\n', QStringLiteral("\r\n"));
    const QByteArray bytes = crlf.toUtf8();

    // QSaveFile writes beside the target and renames over it only when everything was
    // written, so a full disk or a crash leaves the old file as it was.
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) return failed(path, file.errorString());
    if (file.write(bytes) != bytes.size()) {
        const QString why = file.errorString();
        file.cancelWriting();
        return failed(path, why);
    }
    if (!file.commit()) return failed(path, file.errorString());
    return {true, {}};
}

TextWriteResult writeTextLines(const QString& path, const QStringList& lines) {
    QString text;
    for (const QString& line : lines) text += line + u'\n';
    return writeTextFile(path, text);
}

QString decodeText(const QByteArray& bytes, bool* legacy) {
    if (legacy) *legacy = false;
    QByteArray data = bytes;
    if (data.startsWith("\xEF\xBB\xBF")) data.remove(0, 3);
    QStringDecoder utf8(QStringDecoder::Utf8);
    const QString text = utf8(data);
    if (!utf8.hasError()) return text;
    if (legacy) *legacy = true;
    return decodeCp950(data);
}

QStringList splitLines(const QString& text) {
    if (text.isEmpty()) return {};
    QStringList lines = text.split(u'\n');
    if (text.endsWith(u'\n')) lines.removeLast();
    for (QString& line : lines)
        if (line.endsWith(u'\r')) line.chop(1);
    return lines;
}

TextReadResult readTextFile(const QString& path) {
    TextReadResult r;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        r.error = path + QStringLiteral(": ") + file.errorString();
        return r;
    }
    r.text = decodeText(file.readAll(), &r.legacy);
    r.lines = splitLines(r.text);
    r.ok = true;
    return r;
}
