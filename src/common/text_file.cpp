#include "common/text_file.h"

#include <QFile>
#include <QSaveFile>
#include <QStringDecoder>
#include <memory>
#include <vector>

#include "common/cp950.h"
#include "common/texts.h"

namespace {

TextWriteResult failed(const QString& path, const QString& why) {
    return {false, path + QStringLiteral(": ") + why, path, why};
}

}  // namespace

QByteArray crlfTextBytes(const QString& text) {
    QString crlf = text;
    crlf.replace(texts::kCrLf, QStringLiteral("\n"));
    crlf.replace(u'\n', texts::kCrLf);
    return crlf.toUtf8();
}

QByteArray crlfLineBytes(const QStringList& lines) {
    const QByteArray crlf = texts::kCrLf.toUtf8();
    QByteArray bytes;
    for (const QString& line : lines) bytes += line.toUtf8() + crlf;
    return bytes;
}

TextWriteResult replaceTextFiles(const QList<TextFileBytes>& files) {
    // QSaveFile writes beside the target and renames over it only on commit; one that is
    // destroyed uncommitted removes what it wrote, so an early return keeps the old files.
    std::vector<std::unique_ptr<QSaveFile>> pending;
    for (const TextFileBytes& f : files) {
        auto out = std::make_unique<QSaveFile>(f.path);
        if (!out->open(QIODevice::WriteOnly) || out->write(f.bytes) != f.bytes.size())
            return failed(f.path, out->errorString());
        pending.push_back(std::move(out));
    }
    for (auto& out : pending)
        if (!out->commit()) return failed(out->fileName(), out->errorString());
    return {true, {}, {}, {}};
}

TextWriteResult writeTextFile(const QString& path, const QString& text) {
    return replaceTextFiles({{path, crlfTextBytes(text)}});
}

TextWriteResult writeTextLines(const QString& path, const QStringList& lines) {
    return replaceTextFiles({{path, crlfLineBytes(lines)}});
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
