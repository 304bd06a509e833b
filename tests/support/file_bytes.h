#pragma once
// Whole-file reads and writes for tests that compare files byte for byte.
#include <gtest/gtest.h>

#include <QByteArray>
#include <QCryptographicHash>
#include <QFile>
#include <QString>

namespace testmedia {

inline QByteArray readBytes(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// A fingerprint to prove a source untouched by a job; empty for a file that cannot be read.
inline QByteArray md5Of(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) return {};
    return QCryptographicHash::hash(f.readAll(), QCryptographicHash::Md5);
}

inline void writeBytes(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

// A file of `bytes` filler bytes (empty by default).
inline void touch(const QString& path, int bytes = 0) { writeBytes(path, QByteArray(bytes, 'x')); }

}  // namespace testmedia
