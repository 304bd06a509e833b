#pragma once
// Text files: written as UTF-8 with CR LF line ends, replaced atomically (a failed write
// keeps the old file); read as UTF-8, or as CP950 (Big5) when the bytes are not valid UTF-8
// (files from older installs), with CR LF or LF line ends.
#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

struct TextWriteResult {
    bool ok = false;
    QString error;   // what went wrong, for the user ("path: reason"); empty when ok
    QString path;    // the file that could not be written
    QString reason;  // the system's reason
    explicit operator bool() const { return ok; }
};

// The bytes of a text file: UTF-8 with CR LF.
// Every line end of text (LF, CR LF) turned into CR LF; nothing is added at the end.
QByteArray crlfTextBytes(const QString& text);
// Each line followed by CR LF; the lines themselves are taken as they are.
QByteArray crlfLineBytes(const QStringList& lines);

struct TextFileBytes {
    QString path;
    QByteArray bytes;
};
// Replaces the files atomically: each is written beside its target and none is put in place
// until all were written in full, so a failed write keeps every old file. Returns the first
// failure.
TextWriteResult replaceTextFiles(const QList<TextFileBytes>& files);

// Writes text as crlfTextBytes gives it.
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
