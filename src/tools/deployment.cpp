#include "tools/deployment.h"

#include <QCoreApplication>
#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTimer>

#include "common/globals.h"
#include "common/host.h"

namespace tools {
namespace {

QString withSlash(QString folder) {
    if (!folder.isEmpty() && !folder.endsWith(QLatin1Char('/'))) folder += QLatin1Char('/');
    return folder;
}

QString programFolder() {
    return withSlash(ProgramFolder.isEmpty() ? QCoreApplication::applicationDirPath()
                                             : ProgramFolder);
}

void processPendingEvents() {
    if (QCoreApplication::instance()) QCoreApplication::processEvents();
}

// A file is removed only when something is there; a symbolic link is removed, not followed.
void removeIfPresent(const QString& path) {
    if (path.isEmpty()) return;
    QFileInfo info(path);
    if (info.exists() || info.isSymLink()) QFile::remove(path);
}

// The package program writes a few megabytes; a minute means it hangs.
constexpr int kPackageTimeoutMs = 60000;

bool runPackage(const QString& what) {
    const QString program = programFolder() + QLatin1String(kPackageProgramName);
    if (!QFileInfo(program).isExecutable()) return false;
    QProcess proc;
    proc.setProgram(program);
    proc.setArguments({what});
    proc.setProcessChannelMode(QProcess::ForwardedChannels);
    proc.setStandardInputFile(QProcess::nullDevice());
    // Wait in an event loop so the windows keep painting while the files are written.
    QEventLoop loop;
    bool ended = false;
    QObject::connect(&proc, &QProcess::finished, &loop, [&] {
        ended = true;
        loop.quit();
    });
    QObject::connect(&proc, &QProcess::errorOccurred, &loop, [&](QProcess::ProcessError e) {
        if (e == QProcess::FailedToStart) loop.quit();
    });
    QTimer timeout;
    timeout.setSingleShot(true);
    QObject::connect(&timeout, &QTimer::timeout, &loop, &QEventLoop::quit);
    proc.start();
    if (!proc.waitForStarted(5000)) return false;
    if (proc.state() != QProcess::NotRunning) {
        timeout.start(kPackageTimeoutMs);
        loop.exec(QEventLoop::ExcludeUserInputEvents);
    } else {
        ended = true;
    }
    if (!ended) {
        proc.kill();
        proc.waitForFinished(1000);
        return false;
    }
    return proc.exitStatus() == QProcess::NormalExit;
}

}  // namespace

ToolPaths toolPaths() {
    const QString t = withSlash(TempFolder);
    if (t.isEmpty()) return {};
    return {t + QLatin1String(kCaptureClipName), t + QLatin1String(kMencoderName),
            t + QLatin1String(kFfmpegName), t + QLatin1String(kFlvmdiName)};
}

bool dealMyResource(const QString& what, bool create) {
    processPendingEvents();
    const ToolPaths paths = toolPaths();
    if (create) return runPackage(what);

    const bool all = what == QLatin1String("All");
    if (all || what == QLatin1String("notCapMCI")) {
        removeIfPresent(paths.mencoder);
        removeIfPresent(paths.ffmpeg);
        removeIfPresent(paths.flvmdi);
    }
    if (all || what == QLatin1String("CapMCI")) {
        if (QFileInfo::exists(paths.captureClip)) appHost().closeRunFn(paths.captureClip);
        removeIfPresent(paths.captureClip);
    }
    processPendingEvents();
    return true;
}

}  // namespace tools
