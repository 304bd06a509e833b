#pragma once
// Text files: written as UTF-8 with CR LF line ends, replaced atomically (a failed write
// keeps the old file); read as UTF-8, or as CP950 (Big5) when the bytes are not valid UTF-8
// (files from older installs), with CR LF or LF line ends.
#include <QString>
#include <QStringList>

struct TextWriteResult {
    bool ok = false;
    QString error;  // what went wrong, for the user; empty when ok
    explicit operator bool() const { return ok; }
};

// Writes text with every line end (LF, CR LF) turned into CR LF. Nothing is added at the end.
TextWriteResult writeTextFile(const QString& path, const QString& text);
// Writes each line followed by CR LF.
TextWriteResult writeTextLines(const QString& path, const QStringList& lines);

struct TextReadResult {
    bool ok = false;
    QString error;
    QString text;         // decoded, line ends as in the file
    QStringList lines;    // split at CR LF or LF; a final line end makes no empty last line
    bool legacy = false;  // decoded as CP950
};
TextReadResult readTextFile(const QString& path);

// Decoding of raw bytes as readTextFile does it (a UTF-8 byte-order mark is dropped).
QString decodeText(const QByteArray& bytes, bool* legacy = nullptr);
// Splits text into lines at CR LF or LF.
QStringList splitLines(const QString& text);
