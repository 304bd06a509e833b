// Measures the processor time this program spends while one tool command runs: through the
// runner (event loop wait), or with --poll through a wait that polls without sleeping, the
// way a runner that peeks at the child between event passes would. Used by bench/tools_cpu.sh.
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <cstdio>
#include <cstring>

#include "tools/runner.h"

namespace {

double cpuSeconds() {
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return double(u.ru_utime.tv_sec + u.ru_stime.tv_sec) +
           double(u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e6;
}

void pollWait(const QString& seconds) {
    QProcess p;
    p.setProgram(QStringLiteral("/bin/sleep"));
    p.setArguments({seconds});
    p.start();
    p.waitForStarted();
    while (p.state() != QProcess::NotRunning) {
        (void)p.readAll();
        QCoreApplication::processEvents();
    }
}

}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const bool poll = argc > 1 && std::strcmp(argv[1], "--poll") == 0;
    const QString seconds = QStringLiteral("5");
    const double before = cpuSeconds();
    QElapsedTimer wall;
    wall.start();
    if (poll) {
        pollWait(seconds);
    } else {
        tools::Command c;
        c.program = QStringLiteral("/bin/sleep");
        c.args = {seconds};
        c.folder = QStringLiteral("/");
        tools::runCmd(c);
    }
    std::printf("%s: wall %.2f s, processor %.3f s\n", poll ? "busy poll" : "runner",
                wall.elapsed() / 1000.0, cpuSeconds() - before);
    return 0;
}
