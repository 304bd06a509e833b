#pragma once
// Scratch folders and small scripts for the tool tests: real child processes, no fakes.
#include <QDir>
#include <QFile>
#include <QString>
#include <QTemporaryDir>
#include <memory>

#include "common/host.h"
#include "common/shell.h"
#include "recording_shell.h"

namespace tooltest {

// The application the runner's event loops need (a QApplication on the offscreen platform).
void ensureApp();

// Writes an executable /bin/sh script into dir and returns its path.
inline QString writeScript(const QString& dir, const QString& name, const QString& body) {
    const QString path = QDir(dir).filePath(name);
    QFile f(path);
    f.open(QIODevice::WriteOnly | QIODevice::Truncate);
    f.write("#!/bin/sh\n");
    f.write(body.toUtf8());
    f.write("\n");
    f.close();
    f.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    return path;
}

inline void writeFile(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    f.open(QIODevice::WriteOnly | QIODevice::Truncate);
    f.write(bytes);
}

inline QByteArray readFile(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

using TestShell = RecordingShell;

// A player stand-in that records the files it was asked to release.
struct TestAppHost : AppHost {
    QStringList released;
    void closeRunFn(const QString& p) override { released << p; }
};

// Folder holding the built programs.
QString binDir();

}  // namespace tooltest
