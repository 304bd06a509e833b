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

bool runPackage(const QString& word) {
    const QString program = programFolder() + QLatin1String(kPackageProgramName);
    if (!QFileInfo(program).isExecutable()) return false;
    QProcess proc;
    proc.setProgram(program);
    proc.setArguments({word});
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
    // The package program exits non-zero when it could not write the set (its reason is on
    // standard error, which the player's own error output receives).
    return proc.exitStatus() == QProcess::NormalExit && proc.exitCode() == 0;
}

}  // namespace

ToolPaths toolPaths() {
    const QString t = withSlash(TempFolder);
    if (t.isEmpty()) return {};
    return {t + QLatin1String(kCaptureClipName), t + QLatin1String(kMencoderName),
            t + QLatin1String(kFfmpegName), t + QLatin1String(kFlvmdiName)};
}

ToolSet editTools(ToolKind kind) {
    switch (kind) {
        case ToolKind::Flv:
            return ToolSet::Edit1;
        case ToolKind::Mpeg:
            return ToolSet::Edit2;
        case ToolKind::Other:
            break;
    }
    return ToolSet::Edit3;
}

ToolSet fixTools(ToolKind kind) {
    switch (kind) {
        case ToolKind::Flv:
            return ToolSet::Fix1;
        case ToolKind::Mpeg:
            return ToolSet::Fix2;
        case ToolKind::Other:
            break;
    }
    return ToolSet::Fix3;
}

QString toolSetWord(ToolSet set) {
    switch (set) {
        case ToolSet::Edit1:
            return QStringLiteral("Edit1");
        case ToolSet::Edit2:
            return QStringLiteral("Edit2");
        case ToolSet::Edit3:
            return QStringLiteral("Edit3");
        case ToolSet::Fix1:
            return QStringLiteral("Fix1");
        case ToolSet::Fix2:
            return QStringLiteral("Fix2");
        case ToolSet::Fix3:
            return QStringLiteral("Fix3");
        case ToolSet::Snap:
            return QStringLiteral("Snap");
        case ToolSet::Encode:
            return QStringLiteral("Encode");
        case ToolSet::CaptureClip:
            break;
    }
    return QStringLiteral("CapMCI");
}

bool deployResources(ToolSet set) {
    processPendingEvents();
    return runPackage(toolSetWord(set));
}

void removeResources(Deployed which) {
    processPendingEvents();
    const ToolPaths paths = toolPaths();
    if (which != Deployed::CaptureClip) {
        removeIfPresent(paths.mencoder);
        removeIfPresent(paths.ffmpeg);
        removeIfPresent(paths.flvmdi);
    }
    if (which != Deployed::Tools) {
        if (QFileInfo::exists(paths.captureClip)) appHost().closeRunFn(paths.captureClip);
        removeIfPresent(paths.captureClip);
    }
    processPendingEvents();
}

}  // namespace tools
