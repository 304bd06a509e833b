#include "tools/runner.h"

#include <signal.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QEventLoop>
#include <QPointer>
#include <QProcess>
#include <QTimer>
#include <chrono>

#include "common/paths.h"
#include "tools/memory_log.h"
#include "tools/progress.h"

namespace tools {

bool AbortRequested = false;
double JobStart = 0;

double monotonicSeconds() {
    using namespace std::chrono;
    return duration<double>(steady_clock::now().time_since_epoch()).count();
}

namespace {

RunObserver* gObserver = nullptr;
QPointer<QProcess> gRunning;
QTimer* gKillTimer = nullptr;

// Ends the child and everything it started: it leads its own process group.
void signalGroup(QProcess* p, int sig) {
    const qint64 pid = p->processId();
    if (pid > 0) ::kill(static_cast<pid_t>(-pid), sig);
}

constexpr int kKillAfterMs = 1000;

}  // namespace

void setRunObserver(RunObserver* o) { gObserver = o; }

bool commandRunning() { return !gRunning.isNull(); }

void requestStop() {
    AbortRequested = true;
    QProcess* p = gRunning.data();
    if (!p || p->state() == QProcess::NotRunning) return;
    signalGroup(p, SIGTERM);
    if (!gKillTimer) {
        gKillTimer = new QTimer(p);
        gKillTimer->setSingleShot(true);
        QObject::connect(gKillTimer, &QTimer::timeout, p, [p] { signalGroup(p, SIGKILL); });
        gKillTimer->start(kKillAfterMs);
    }
}

qint64 runningProcessId() {
    QProcess* p = gRunning.data();
    return p ? p->processId() : 0;
}

CmdResult runCommand(const Command& c) {
    if (gObserver) gObserver->commandStarted(c);
    CmdResult result;
    if (AbortRequested) {
        // A stop before the command started: it does not run at all.
        AbortRequested = false;
        if (gObserver) gObserver->commandEnded();
        return result;
    }
    QProcess proc;
    proc.setProgram(c.program);
    proc.setArguments(c.effectiveArgs());
    QString folder = c.folder;
    if (folder.isEmpty()) folder = currentFolder();
    if (!folder.isEmpty()) proc.setWorkingDirectory(folder);
    proc.setStandardInputFile(QProcess::nullDevice());
    proc.setProcessChannelMode(c.readsProgress() ? QProcess::SeparateChannels
                                                 : QProcess::MergedChannels);
    proc.setChildProcessModifier([] { ::setpgid(0, 0); });
    // Progress comes on standard output; messages are read once the command has ended.
    MemoryLog messages;
    const bool messagesInMemory = c.readsProgress() && messages.valid();
    if (messagesInMemory) proc.setStandardErrorFile(messages.path());

    QByteArray bytes;
    ProgressParser progress(c.readsProgress() ? c.expectedSeconds : 0,
                            c.readsProgress() ? c.expectedBytes : 0);
    QEventLoop loop;
    QObject::connect(&proc, &QProcess::readyReadStandardOutput, &loop, [&] {
        const QByteArray chunk = proc.readAllStandardOutput();
        if (!c.readsProgress()) {
            bytes += chunk;
        } else if (progress.feed(chunk) && gObserver) {
            gObserver->progress(progress.percent());
        }
    });
    QObject::connect(&proc, &QProcess::readyReadStandardError, &loop,
                     [&] { bytes += proc.readAllStandardError(); });
    QObject::connect(&proc, &QProcess::finished, &loop, &QEventLoop::quit);

    proc.start();
    if (proc.waitForStarted(-1)) {
        gRunning = &proc;
        if (gObserver) gObserver->progress(c.measured() ? 0 : -1);
        if (AbortRequested) requestStop();
        if (proc.state() != QProcess::NotRunning) loop.exec();
        gRunning = nullptr;
        delete gKillTimer;  // child of proc; gone with it anyway, but not twice
        gKillTimer = nullptr;
        if (c.readsProgress()) {
            bytes += messagesInMemory ? messages.contents() : proc.readAllStandardError();
            progress.feed(proc.readAllStandardOutput());
            result.frames = progress.frames();
        } else {
            bytes += proc.readAllStandardOutput();
        }
        result.output = QString::fromLocal8Bit(bytes);
        const bool normal = proc.exitStatus() == QProcess::NormalExit;
        result.ending = normal ? Ending::Exited : Ending::Crashed;
        result.exitCode = normal ? proc.exitCode() : -1;
    } else {
        result.ending = Ending::FailedToStart;
    }
    AbortRequested = false;
    if (gObserver) gObserver->commandEnded();
    return result;
}

QString getCmdOutput(const Command& c) { return runCommand(c).output; }

bool runCmd(const Command& c) { return runCommand(c).succeeded(); }

}  // namespace tools
