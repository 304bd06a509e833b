#pragma once
// Whole-file reads and writes for tests that compare files byte for byte.
#include <gtest/gtest.h>

#include <QByteArray>
#include <QFile>
#include <QString>

namespace testmedia {

inline QByteArray readBytes(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

inline void writeBytes(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

}  // namespace testmedia
