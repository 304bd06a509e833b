#pragma once
// CP950 (Big5 as Windows writes it) through the C library's iconv.
#include <QByteArray>
#include <QString>

// Bytes that are not CP950 become U+FFFD.
QString decodeCp950(const QByteArray& bytes);
// Characters CP950 cannot hold become "?".
QByteArray encodeCp950(const QString& text);
